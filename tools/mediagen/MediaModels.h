#pragma once
// The models of the media demo.

#include <osg/Node>

namespace mediamodels
{
/// A small bright comet on the transform named "Comet", circling the model's
/// origin 45 mm out and 50 mm up once every three seconds while bobbing, so
/// a particle trail that follows "Comet" draws a ring.
osg::Node* Comet();
/// A 4:3 screen 96 mm wide standing upright 60 mm behind the card's centre
/// (parallel to the x-z plane, its bottom edge 10 mm up), texture coordinates 0..1 with the picture's bottom
/// at t = 0, and a dark stand below it: a model to show a video material on.
osg::Node* Screen();
}
