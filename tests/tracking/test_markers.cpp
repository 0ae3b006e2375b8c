// Markers between detections and the scene: corner displacement, multi-marker
// reference and confidence, the pose filter, and the node that follows a marker.
#include "MarkerTransform.h"
#include "MultiMarker.h"
#include "SingleMarker.h"
#include "SquareTracker.h"
#include "TransformFilterCallback.h"

#include "TrackerScene.h"

#include "vxt/MarkerInfo.h"

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
}
