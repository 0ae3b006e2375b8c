#pragma once
// What a tracked marker tells its bound content object (and, through it,
// each entity) every frame: visibility events, the pose and its change, and
// how long the marker has been seen or lost.

#include <osg/Matrixd>
#include <osg/Vec3f>

struct MarkerState
{
    bool visible = false;
    bool appearedNow = false;     // first update after being invisible
    bool reappeared = false;      // back after a long loss (or forced)
    bool disappearedNow = false;  // first update after being visible
    bool lostLong = true;
    const osg::Matrixd* matrix = nullptr;          // current pose; owned by the marker
    const osg::Matrixd* previousMatrix = nullptr;  // pose at the previous update
    osg::Vec3f previousPosition;  // translation at the previous update
    osg::Vec3f movement;          // translation change since the previous update
    float visibleTime = 0.f;      // seconds
    float invisibleTime = 0.f;    // seconds
};
