#pragma once
// The keyframed demo figure "hopper": a round body with a head, two arms and
// two feet, whose animation paths (osg::AnimationPathCallback on its
// transforms) run 90 frames at 30 frames per second in three parts of 30
// frames each:
//   frames  0-30  it jumps in from above with a turn and lands,
//   frames 30-60  it idles: breathes and sways, ending where it began,
//   frames 60-90  it waves its right arm.
// Units are millimetres in the marker's frame, standing on z = 0.

#include <osg/Node>

namespace hopper
{
const int kFramesPerPart = 30;
const int kParts = 3;
const double kFramesPerSecond = 30.0;

osg::Node* Build();
}
