// Cutting a keyframed path into segments: how many, how long, and that the
// segments played one after the other pass through the same poses as the path.
#include "AnimatedModel.h"
#include "CAnimationPathCutter.h"

#include <gtest/gtest.h>

namespace
{
struct CutCase
{
    const char* what;
    int pathFrames;      // the path's length in frames at 30 fps
    int framesPerSegment;
    double fps;
    int segments;
    double lastSeconds;  // length of the last segment
};

class PathCutting : public ::testing::TestWithParam<CutCase>
{
};

TEST_P(PathCutting, GivesTheSegmentCountAndLengths)
{
    const CutCase& c = GetParam();
    osg::ref_ptr<osg::AnimationPath> path = AnimatedModel::FramePath(c.pathFrames);
    const CAnimationPathCutter::Segments segments = CAnimationPathCutter::ByFrames(*path, c.framesPerSegment, c.fps);
    ASSERT_EQ(int(segments.size()), c.segments) << c.what;
    const double full = c.framesPerSegment / c.fps;
    for (size_t i = 0; i + 1 < segments.size(); ++i)
    {
        EXPECT_DOUBLE_EQ(segments[i]->getFirstTime(), 0.0) << c.what << ", segment " << i;
        EXPECT_NEAR(segments[i]->getLastTime(), full, 1e-9) << c.what << ", segment " << i;
    }
    EXPECT_NEAR(segments.back()->getLastTime(), c.lastSeconds, 1e-9) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, PathCutting,
    ::testing::Values(CutCase{"a multiple of the segment", 90, 30, 30.0, 3, 1.0},
                      CutCase{"ten frames over three segments", 100, 30, 30.0, 4, 10 / 30.0},
                      CutCase{"one frame over", 31, 30, 30.0, 2, 1 / 30.0},
                      CutCase{"shorter than one segment", 20, 30, 30.0, 1, 20 / 30.0},
                      CutCase{"exactly one segment", 30, 30, 30.0, 1, 1.0},
                      CutCase{"counted at another rate", 90, 30, 15.0, 2, 1.0},
                      CutCase{"one frame per segment", 4, 1, 30.0, 4, 1 / 30.0}));

TEST(PathPieces, PlayedInTurnTheyShowThePathsPoses)
{
    // Keys every 7 frames, so segment ends fall between control points.
    osg::ref_ptr<osg::AnimationPath> path = new osg::AnimationPath;
    for (int frame = 0; frame <= 70; frame += 7)
        path->insert(frame / 30.0, osg::AnimationPath::ControlPoint(osg::Vec3d(frame, 2 * frame, 0)));
    const CAnimationPathCutter::Segments segments = CAnimationPathCutter::ByFrames(*path, 25, 30.0);
    ASSERT_EQ(segments.size(), 3u);
    for (int frame = 0; frame <= 70; ++frame)
    {
        const size_t index = std::min<size_t>(size_t(frame / 25), 2);
        const double local = (frame - 25.0 * index) / 30.0;
        osg::AnimationPath::ControlPoint pose;
        ASSERT_TRUE(segments[index]->getInterpolatedControlPoint(local, pose));
        EXPECT_NEAR(pose.getPosition().x(), frame, 1e-6) << "frame " << frame;
        EXPECT_NEAR(pose.getPosition().y(), 2 * frame, 1e-6) << "frame " << frame;
    }
    // Each segment ends where the next begins.
    for (size_t i = 0; i + 1 < segments.size(); ++i)
        EXPECT_NEAR(segments[i]->getTimeControlPointMap().rbegin()->second.getPosition().x(),
                    segments[i + 1]->getTimeControlPointMap().begin()->second.getPosition().x(), 1e-6);
}

TEST(PathPieces, ASingleKeyIsOneSegmentAndAnEmptyPathNone)
{
    osg::ref_ptr<osg::AnimationPath> single = new osg::AnimationPath;
    single->insert(2.0, osg::AnimationPath::ControlPoint(osg::Vec3d(5, 0, 0)));
    const CAnimationPathCutter::Segments one = CAnimationPathCutter::ByFrames(*single, 10, 30.0);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0]->getTimeControlPointMap().size(), 1u);
    EXPECT_DOUBLE_EQ(one[0]->getFirstTime(), 0.0);
    EXPECT_DOUBLE_EQ(one[0]->getTimeControlPointMap().begin()->second.getPosition().x(), 5.0);

    osg::ref_ptr<osg::AnimationPath> empty = new osg::AnimationPath;
    EXPECT_TRUE(CAnimationPathCutter::ByFrames(*empty, 10, 30.0).empty());
    EXPECT_TRUE(CAnimationPathCutter::IntoCount(*empty, 3).empty());
}

TEST(PathPieces, ALoopingPathsLastSegmentEndsOnItsLastPose)
{
    // A looping path asked for its end time answers with its first pose; the
    // cut must not.
    osg::ref_ptr<osg::AnimationPath> path = AnimatedModel::FramePath(60);
    path->setLoopMode(osg::AnimationPath::LOOP);
    const CAnimationPathCutter::Segments segments = CAnimationPathCutter::ByFrames(*path, 30, 30.0);
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_DOUBLE_EQ(segments[1]->getTimeControlPointMap().rbegin()->second.getPosition().x(), 60.0);
    EXPECT_EQ(segments[1]->getLoopMode(), osg::AnimationPath::LOOP);
}

TEST(PathPieces, CountSharesTheLengthEqually)
{
    osg::ref_ptr<osg::AnimationPath> path = AnimatedModel::FramePath(90);
    const CAnimationPathCutter::Segments segments = CAnimationPathCutter::IntoCount(*path, 4);
    ASSERT_EQ(segments.size(), 4u);
    for (const auto& segment : segments) EXPECT_NEAR(segment->getLastTime(), 0.75, 1e-9);
    EXPECT_NEAR(segments[3]->getTimeControlPointMap().begin()->second.getPosition().x(), 67.5, 1e-6);
}
}
