#pragma once
// Cuts a keyframed animation path into consecutive segments, each a path of
// its own whose times start at 0.
//
// A segment holds the pose at its start and at its end (interpolated between
// the path's control points when no control point falls there) and every
// control point in between, so playing the segments one after another moves
// the node exactly as the whole path does. The loop mode of the path is
// copied to every segment.
//
// By length (frames per segment at a frame rate): a path of L seconds gives
// ceil(L / segment) segments, the last one shorter when L is not a multiple
// of the segment length (a remainder below a thousandth of a frame is
// rounding and makes no segment of its own); a path shorter than one segment,
// or a path of a single control point, gives one segment.
// By count: the path's length is shared equally among the segments.
//
// The input path is not changed; the caller owns the returned paths.

#include <osg/AnimationPath>
#include <osg/ref_ptr>

#include <vector>

class CAnimationPathCutter
{
public:
    using Segments = std::vector<osg::ref_ptr<osg::AnimationPath>>;

    /// Segments of `framesPerSegment` frames at `framesPerSecond`; both must
    /// be positive. An empty path gives no segment.
    static Segments ByFrames(const osg::AnimationPath& path, int framesPerSegment, double framesPerSecond);
    /// `count` equal segments; count must be positive. An empty path gives no segment.
    static Segments IntoCount(const osg::AnimationPath& path, int count);

    /// The segment of `path` from `from` to `to` seconds (path time), its
    /// times moved to start at 0.
    static osg::AnimationPath* Piece(const osg::AnimationPath& path, double from, double to);
    /// The pose at `time`, interpolated between the neighbouring control
    /// points; before the first or after the last the end pose. Ignores the
    /// loop mode (the end time gives the last pose, not the first).
    static osg::AnimationPath::ControlPoint PoseAt(const osg::AnimationPath& path, double time);
};
