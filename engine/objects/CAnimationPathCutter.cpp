#include "CAnimationPathCutter.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <iterator>

namespace
{
const double kRoundingFrames = 1e-3;  // a remainder shorter than this is rounding

CAnimationPathCutter::Segments cutEqually(const osg::AnimationPath& path, int count, double length)
{
    CAnimationPathCutter::Segments segments;
    const double first = path.getFirstTime();
    const double last = path.getLastTime();
    for (int k = 0; k < count; ++k)
    {
        const double from = first + k * length;
        const double to = (k == count - 1) ? last : std::min(last, first + (k + 1) * length);
        segments.push_back(CAnimationPathCutter::Piece(path, from, to));
    }
    return segments;
}
}

osg::AnimationPath::ControlPoint CAnimationPathCutter::PoseAt(const osg::AnimationPath& path, double time)
{
    const osg::AnimationPath::TimeControlPointMap& points = path.getTimeControlPointMap();
    assert(!points.empty() && "PoseAt: the path has no control point");
    auto after = points.lower_bound(time);
    if (after == points.end()) return points.rbegin()->second;
    if (after == points.begin() || after->first == time) return after->second;
    auto before = std::prev(after);
    const double span = after->first - before->first;
    osg::AnimationPath::ControlPoint pose;
    pose.interpolate((time - before->first) / span, before->second, after->second);
    return pose;
}

osg::AnimationPath* CAnimationPathCutter::Piece(const osg::AnimationPath& path, double from, double to)
{
    osg::AnimationPath* piece = new osg::AnimationPath;
    piece->setLoopMode(path.getLoopMode());
    if (path.empty()) return piece;
    piece->insert(0.0, PoseAt(path, from));
    const osg::AnimationPath::TimeControlPointMap& points = path.getTimeControlPointMap();
    for (auto it = points.upper_bound(from); it != points.end() && it->first < to; ++it)
        piece->insert(it->first - from, it->second);
    if (to > from) piece->insert(to - from, PoseAt(path, to));
    return piece;
}

CAnimationPathCutter::Segments CAnimationPathCutter::ByFrames(const osg::AnimationPath& path, int framesPerSegment,
                                                              double framesPerSecond)
{
    assert(framesPerSegment > 0 && "ByFrames: frames per segment must be positive");
    assert(framesPerSecond > 0.0 && "ByFrames: frames per second must be positive");
    if (path.empty() || framesPerSegment <= 0 || framesPerSecond <= 0.0) return {};
    const double frames = (path.getLastTime() - path.getFirstTime()) * framesPerSecond;
    const int count = std::max(1, int(std::ceil((frames - kRoundingFrames) / framesPerSegment)));
    return cutEqually(path, count, framesPerSegment / framesPerSecond);
}

CAnimationPathCutter::Segments CAnimationPathCutter::IntoCount(const osg::AnimationPath& path, int count)
{
    assert(count > 0 && "IntoCount: the segment count must be positive");
    if (path.empty() || count <= 0) return {};
    return cutEqually(path, count, (path.getLastTime() - path.getFirstTime()) / count);
}
