// Markers between detections and the scene: corner displacement, multi-marker
// reference and confidence, the pose filter, and the node that follows a marker.
#include "MarkerTransform.h"
#include "MultiMarker.h"
#include "SingleMarker.h"
#include "SquareTracker.h"
#include "TransformFilterCallback.h"

#include "TrackerScene.h"

#include "vxt/MarkerInfo.h"
#include "vxt/PoseEstimator.h"

#include <osg/io_utils>

#include <gtest/gtest.h>

#include <osg/Geode>
#include <osgUtil/UpdateVisitor>

#include <sys/stat.h>

namespace
{
// A marker whose validity and type the test decides.
class StubMarker : public BaseMarker
{
public:
    explicit StubMarker(bool valid) { m_valid = valid; }
    int getType() const override { return 2; }
    void setActive(bool a) override { m_active = a; }
    void releasePatterns() override {}
    void SetValid(bool v) { m_valid = v; }
};

osg::Matrixd at(double x, double y, double z)
{
    return osg::Matrixd::translate(x, y, z);
}

TEST(CornerDisplacement, RootOfSummedSquaresQuarteredFromEachFirstCorner)
{
    std::vector<osg::Vec2f> previous = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    const double same[4][2] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_DOUBLE_EQ(BaseMarker::CornerDisplacement(previous, 0, same, 0), 0.0);
    EXPECT_DOUBLE_EQ(BaseMarker::CornerDisplacement(previous, -1, same, 0), 0.0);
    const double moved[4][2] = {{3, 4}, {13, 4}, {13, 14}, {3, 14}};  // each corner 5 px away
    EXPECT_DOUBLE_EQ(BaseMarker::CornerDisplacement(previous, 0, moved, 0), std::sqrt(4 * 25.0) * 0.25);
    // The same square seen with its corners listed from another start.
    const double rotated[4][2] = {{10, 0}, {10, 10}, {0, 10}, {0, 0}};
    EXPECT_DOUBLE_EQ(BaseMarker::CornerDisplacement(previous, 0, rotated, 3), 0.0);
}

TEST(PoseFilter, AJumpIsIgnoredNineTimesAndTheTenthIsAccepted)
{
    osg::ref_ptr<StubMarker> marker = new StubMarker(true);
    osg::ref_ptr<TransformFilterCallback> filter = new TransformFilterCallback;
    filter->EnableJumpRejection(true);
    filter->SetJumpDistance(1000.f);
    filter->EnableRotationSmoothing(false);
    filter->SetTranslationSmoothing(1.f);
    marker->setFilterCallback(filter.get());
    // A fresh filter measures from the origin: 1500 mm away is a jump.
    for (int i = 1; i <= 9; ++i)
    {
        marker->updateTransform(at(0, 0, -1500));
        EXPECT_TRUE(marker->getTransform().isIdentity()) << i;
        EXPECT_EQ(filter->GetJumpCount(), i);
    }
    marker->updateTransform(at(0, 0, -1500));
    EXPECT_DOUBLE_EQ(marker->getTransform().getTrans().z(), -1500.0);
    EXPECT_EQ(filter->GetJumpCount(), 0);
    // Small moves are followed at once, also without any turn.
    marker->updateTransform(at(10, 0, -1500));
    EXPECT_DOUBLE_EQ(marker->getTransform().getTrans().x(), 10.0);
    EXPECT_EQ(filter->GetOrientationCount(), 0);
}

TEST(PoseFilter, ATurnAwayFromTheReferenceAxisIsIgnoredForAWhile)
{
    osg::ref_ptr<StubMarker> marker = new StubMarker(true);
    osg::ref_ptr<TransformFilterCallback> filter = new TransformFilterCallback;
    filter->EnableRotationSmoothing(false);
    filter->SetTranslationSmoothing(1.f);
    marker->setFilterCallback(filter.get());
    marker->updateTransform(at(0, 0, -500));
    // Turned 90 degrees about x: the marker axis now points elsewhere.
    const osg::Matrixd turned = osg::Matrixd::rotate(osg::PI_2, osg::X_AXIS) * at(0, 0, -500);
    for (int i = 1; i <= 9; ++i)
    {
        marker->updateTransform(turned);
        EXPECT_EQ(filter->GetOrientationCount(), i);
        EXPECT_TRUE(marker->getTransform().getRotate().zeroRotation()) << i;
    }
    marker->updateTransform(turned);
    EXPECT_EQ(filter->GetOrientationCount(), 0);
    EXPECT_FALSE(marker->getTransform().getRotate().zeroRotation());
}

TEST(PoseFilter, TranslationSmoothingMovesPartWayEachFrame)
{
    osg::ref_ptr<StubMarker> marker = new StubMarker(true);
    osg::ref_ptr<TransformFilterCallback> filter = new TransformFilterCallback;
    filter->SetTranslationSmoothing(0.5f);
    marker->setFilterCallback(filter.get());
    marker->updateTransform(at(0, 0, -400));
    EXPECT_NEAR(marker->getTransform().getTrans().z(), -200.0, 1e-4);
    marker->updateTransform(at(0, 0, -400));
    EXPECT_NEAR(marker->getTransform().getTrans().z(), -300.0, 1e-4);
}

TEST(PoseFilter, WithoutTranslationSmoothingTheTranslationIsKept)
{
    osg::ref_ptr<StubMarker> marker = new StubMarker(true);
    osg::ref_ptr<TransformFilterCallback> filter = new TransformFilterCallback;
    filter->EnableTranslationSmoothing(false);
    marker->setFilterCallback(filter.get());
    marker->updateTransform(at(5, 6, -700));
    EXPECT_EQ(marker->getTransform().getTrans(), osg::Vec3d(5, 6, -700));
}

TEST(PoseFilter, AnInvalidMarkerKeepsItsTransform)
{
    osg::ref_ptr<StubMarker> marker = new StubMarker(false);
    marker->updateTransform(at(1, 2, 3));
    EXPECT_TRUE(marker->getTransform().isIdentity());
    marker->SetValid(true);
    marker->updateTransform(at(1, 2, 3));  // no filter: copied as is
    EXPECT_EQ(marker->getTransform().getTrans(), osg::Vec3d(1, 2, 3));
}

TEST(MarkerTransformNode, ContentIsHiddenWhileTheMarkerIsNotFound)
{
    osg::ref_ptr<StubMarker> marker = new StubMarker(false);
    osg::ref_ptr<MarkerTransform> node = new MarkerTransform(marker.get());
    node->addChild(new osg::Geode);
    osg::ref_ptr<osg::Group> root = new osg::Group;
    root->addChild(node.get());
    osgUtil::UpdateVisitor update;
    for (int frame = 0; frame < 2; ++frame)
    {
        marker->SetValid(false);
        root->accept(update);
        EXPECT_EQ(node->getNodeMask(), 0u);
        marker->SetValid(true);
        marker->updateTransform(at(0, 0, -500));
        root->accept(update);  // a hidden node is still visited
        EXPECT_EQ(node->getNodeMask(), ~0u);
        EXPECT_EQ(node->getMatrix().getTrans(), osg::Vec3d(0, 0, -500));
    }
    EXPECT_STREQ(node->className(), "MarkerTransform");
}

TEST(MarkerTransformNode, WithoutAMarkerItNeverMovesOrHides)
{
    ::testing::internal::CaptureStderr();
    osg::ref_ptr<MarkerTransform> node = new MarkerTransform(nullptr);
    ::testing::internal::GetCapturedStderr();
    osg::ref_ptr<osg::Group> root = new osg::Group;
    root->addChild(node.get());
    osgUtil::UpdateVisitor update;
    root->accept(update);
    EXPECT_EQ(node->getNodeMask(), ~0u);
    EXPECT_TRUE(node->getMatrix().isIdentity());
}

class MultiMarkerScene : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::mkdir((folder / "Data").c_str(), 0755);
        tracker = new SquareTracker;
        ASSERT_TRUE(tracker->init(640, 480, "MANUAL_LOAD", scene.CameraFile()));
        image = new osg::Image;
        tracker->setImageSource(image.get());
        // Three squares of 60 mm in a row, 100 mm apart, on one card.
        TestFolder::WriteFile(folder / "multi.dat",
                              "<MULTI_MARKER>\n"
                              "    <VERSION> 1\n"
                              "    <MARKER>\n        <PATTERN> marker0.patt\n        <WIDTH> 60\n"
                              "        <CENTER> 0 0\n        <PLACEMENT> 1 0 0 -100 0 1 0 0 0 0 1 0\n    </MARKER>\n"
                              "    <MARKER>\n        <PATTERN> marker1.patt\n        <WIDTH> 60\n"
                              "        <CENTER> 0 0\n        <PLACEMENT> 1 0 0 0 0 1 0 0 0 0 1 0\n    </MARKER>\n"
                              "    <MARKER>\n        <PATTERN> marker2.patt\n        <WIDTH> 60\n"
                              "        <CENTER> 0 0\n        <PLACEMENT> 1 0 0 100 0 1 0 0 0 0 1 0\n    </MARKER>\n"
                              "</MULTI_MARKER>\n");
    }
    TestFolder folder;
    ScopedCurrentFolder inFolder{folder.Path()};
    TrackerScene scene{folder};
    osg::ref_ptr<SquareTracker> tracker;
    osg::ref_ptr<osg::Image> image;
};

TEST_F(MultiMarkerScene, TheLargestSeenSubMarkerCarriesThePoseAndConfidenceIsTheMean)
{
    const int index = tracker->addMultiMarker(folder / "multi.dat");
    ASSERT_EQ(index, 0) << TestFolder::ReadFile(folder / "Data/messageLog.txt");
    auto* multi = static_cast<MultiMarker*>(tracker->getMarker(index));
    ASSERT_EQ(multi->getSubMarkerCount(), 3);
    // The card's origin at the middle square; the left square is left out of
    // view by drawing only two, the right one nearer (larger).
    const vxt::Pose34 card = TrackerScene::PoseAt(0, 0, 700, 25);
    vxt::Pose34 offset, right;
    offset.m[0][3] = 100.0;
    vxt::poseMul(card, offset, right);
    scene.Place(1, card, 60.0);
    scene.Place(2, right, 60.0);
    scene.Render(*image);
    image->dirty();
    tracker->update();
    ASSERT_TRUE(multi->isValid());
    EXPECT_FALSE(multi->subMarkerSeen(0));
    EXPECT_TRUE(multi->subMarkerSeen(1));
    EXPECT_TRUE(multi->subMarkerSeen(2));
    const vxt::MarkerInfo* results = tracker->GetResults();
    double area[3] = {0, 0, 0}, cf[3] = {0, 0, 0};
    for (int i = 0; i < tracker->GetResultCount(); ++i)
        if (results[i].id >= 0)
        {
            area[results[i].id] = results[i].area;
            cf[results[i].id] = results[i].cf;
        }
    EXPECT_EQ(multi->getReferenceSubMarker(), area[2] > area[1] ? 2 : 1);
    EXPECT_NEAR(multi->getConfidence(), (cf[1] + cf[2]) / 2.0, 1e-9);
    const osg::Vec3d t = multi->getTransform().getTrans();
    const osg::Vec3d expected = TrackerScene::Modelview(card).getTrans();
    EXPECT_LT((t - expected).length() / expected.length(), 0.01) << t << " vs " << expected;
}

TEST_F(MultiMarkerScene, AnUnreadableConfigurationIsRefused)
{
    TestFolder::WriteFile(folder / "broken.dat", "<MULTI_MARKER>\n    <MARKER>\n        <PATTERN> none.patt\n");
    EXPECT_EQ(tracker->addMultiMarker(folder / "broken.dat"), -1);
    EXPECT_EQ(tracker->addMultiMarker(folder / "absent.dat"), -1);
    EXPECT_EQ(tracker->getMarkerCount(), 0);
}

// A detection record of a square of `width` mm at `pose`, identified as
// pattern `id`, as the detector reports it (the scene's camera has no lens
// distortion).
vxt::MarkerInfo Sighting(const vxt::CameraParams& camera, const vxt::Pose34& pose, double width, int id, int area)
{
    vxt::MarkerInfo m;
    m.id = id;
    m.cf = 0.9;
    m.area = area;
    const double h = width / 2.0;
    const double corners[4][3] = {{-h, h, 0}, {h, h, 0}, {h, -h, 0}, {-h, -h, 0}};
    for (int k = 0; k < 4; ++k)
    {
        double p[3];
        vxt::poseApply(pose, corners[k], p);
        m.vertex[k][0] = camera.fx() * p[0] / p[2] + camera.cx();
        m.vertex[k][1] = camera.fy() * p[1] / p[2] + camera.cy();
        m.pos[0] += m.vertex[k][0] / 4.0;
        m.pos[1] += m.vertex[k][1] / 4.0;
    }
    return m;
}

// Detection records whose corners hold no square.
struct Degenerate
{
    const char* name;
    void (*make)(vxt::MarkerInfo&);
};
const Degenerate kDegenerate[] = {
    {"corners at the centre", [](vxt::MarkerInfo& m) {
         for (auto& v : m.vertex) v[0] = m.pos[0], v[1] = m.pos[1];
     }},
    {"corners on the diagonal", [](vxt::MarkerInfo& m) {
         for (int k : {1, 3})
             for (int c = 0; c < 2; ++c) m.vertex[k][c] = m.vertex[0][c] + (k / 3.0 + 0.1) * (m.vertex[2][c] - m.vertex[0][c]);
     }},
    {"two corners coincide", [](vxt::MarkerInfo& m) { m.vertex[3][0] = m.vertex[0][0], m.vertex[3][1] = m.vertex[0][1]; }},
};

// The pose filter as the content sets it up for every marker.
osg::ref_ptr<TransformFilterCallback> ContentFilter()
{
    osg::ref_ptr<TransformFilterCallback> filter = new TransformFilterCallback;
    filter->EnableRotationSmoothing(true);
    filter->SetRotationSmoothing(0.95f);
    filter->EnableTranslationSmoothing(true);
    filter->SetTranslationSmoothing(0.999f);
    filter->EnableJumpRejection(true);
    filter->SetJumpDistance(1000.0f);
    return filter;
}

double RelativeTranslationError(const osg::Matrixd& m, const vxt::Pose34& pose)
{
    const osg::Vec3d expected = TrackerScene::Modelview(pose).getTrans();
    return (m.getTrans() - expected).length() / expected.length();
}

TEST_F(MultiMarkerScene, ASingleMarkerWhoseSquareGivesNoPoseIsNotFoundAndKeepsItsTransform)
{
    const double centre[2] = {0.0, 0.0};
    ASSERT_EQ(tracker->addSingleMarker(scene.PatternFile(0), 80.0, centre), 0);
    auto* marker = static_cast<SingleMarker*>(tracker->getMarker(0));
    osg::ref_ptr<TransformFilterCallback> filter = ContentFilter();
    marker->setFilterCallback(filter.get());
    const vxt::PoseEstimator pose(scene.Camera());
    const vxt::Pose34 at = TrackerScene::PoseAt(30, -20, 600, 20);
    const vxt::MarkerInfo good = Sighting(scene.Camera(), at, 80.0, marker->getPatternID(), 12000);
    for (const Degenerate& d : kDegenerate)
    {
        marker->update(&good, &pose);
        ASSERT_TRUE(marker->isValid()) << d.name;
        const osg::Matrixd transform = marker->getTransform();
        const std::vector<osg::Vec2f> corners = marker->getCorners();
        const double confidence = marker->getConfidence();
        vxt::MarkerInfo bad = good;
        bad.cf = 0.95;
        d.make(bad);
        marker->update(&bad, &pose);
        EXPECT_FALSE(marker->isValid()) << d.name;
        EXPECT_EQ(marker->getTransform(), transform) << d.name;  // not pulled toward the camera
        EXPECT_EQ(marker->getCorners(), corners) << d.name;
        EXPECT_EQ(marker->getConfidence(), confidence) << d.name;
        // The next sighting is estimated afresh and lands on the card.
        marker->update(&good, &pose);
        EXPECT_TRUE(marker->isValid()) << d.name;
        EXPECT_FALSE(marker->usedContinuousPose()) << d.name;
        EXPECT_LT(RelativeTranslationError(marker->getTransform(), at), 0.01) << d.name;
    }
}

TEST_F(MultiMarkerScene, AMultiMarkerWhoseReferenceSquareGivesNoPoseIsNotFoundAndKeepsItsTransform)
{
    ASSERT_EQ(tracker->addMultiMarker(folder / "multi.dat"), 0);
    auto* multi = static_cast<MultiMarker*>(tracker->getMarker(0));
    osg::ref_ptr<TransformFilterCallback> filter = ContentFilter();
    multi->setFilterCallback(filter.get());
    const vxt::PoseEstimator pose(scene.Camera());
    // The card's origin at the middle square (pattern 1); the right one
    // (pattern 2) is the larger sighting, so it carries the pose.
    const vxt::Pose34 card = TrackerScene::PoseAt(0, 0, 700, 25);
    vxt::Pose34 offset, right;
    offset.m[0][3] = 100.0;
    vxt::poseMul(card, offset, right);
    const vxt::MarkerInfo good[2] = {Sighting(scene.Camera(), card, 60.0, 1, 4000),
                                     Sighting(scene.Camera(), right, 60.0, 2, 5000)};
    for (const Degenerate& d : kDegenerate)
    {
        multi->update(&pose, good, 2);
        ASSERT_TRUE(multi->isValid()) << d.name;
        ASSERT_EQ(multi->getReferenceSubMarker(), 2);
        const osg::Matrixd transform = multi->getTransform();
        const std::vector<osg::Vec2f> corners = multi->getCorners();
        vxt::MarkerInfo bad[2] = {good[0], good[1]};
        d.make(bad[1]);
        multi->update(&pose, bad, 2);
        EXPECT_FALSE(multi->isValid()) << d.name;
        EXPECT_EQ(multi->getTransform(), transform) << d.name;
        EXPECT_EQ(multi->getCorners(), corners) << d.name;
        EXPECT_EQ(multi->getReferenceSubMarker(), 2) << d.name;
        EXPECT_TRUE(multi->subMarkerSeen(1)) << d.name;
        EXPECT_FALSE(multi->subMarkerSeen(2)) << d.name;  // its next sighting is estimated afresh
        multi->update(&pose, good, 2);
        EXPECT_TRUE(multi->isValid()) << d.name;
        EXPECT_LT(RelativeTranslationError(multi->getTransform(), card), 0.01) << d.name;
    }
}
}
