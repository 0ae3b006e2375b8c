#pragma once
// Small keyframed models for the animation tests, and an update traversal at
// a chosen time, as the engine runs it each frame.

#include <osg/AnimationPath>
#include <osg/Group>
#include <osg/MatrixTransform>
#include <osg/ref_ptr>

#include <vector>

namespace AnimatedModel
{
/// A path keyed at every frame from 0 to `frames` at 30 frames per second
/// whose position is (frame, offset, 0): the x coordinate tells the path time
/// in frames.
osg::AnimationPath* FramePath(int frames, double offset = 0.0);

/// A transform named `name` moved by a plain osg::AnimationPathCallback on `path`.
osg::MatrixTransform* Animated(const char* name, osg::AnimationPath* path);

/// A group of transforms whose paths are `frames[i]` frames long (offset i).
osg::Group* Model(const std::vector<int>& frames);

/// One update traversal of `root` at `seconds` (the frame's reference time).
void UpdateAt(osg::Node* root, double seconds, unsigned frameNumber = 0);

/// The x coordinate of a transform's translation (the path frame it shows).
double X(osg::Node* transform);
}
