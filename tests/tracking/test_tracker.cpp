// The tracker on drawn frames: set-up failures, the new-frame rule, the
// confidence rule, the automatic threshold search, poses and the overlay.
#include "SquareTracker.h"
#include "SingleMarker.h"

#include "TrackerScene.h"

#include "vxt/MarkerInfo.h"

#include <gtest/gtest.h>

#include <osg/io_utils>

#include <sys/stat.h>

namespace
{
class Tracker : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::mkdir((folder / "Data").c_str(), 0755);
        tracker = new SquareTracker;
        image = new osg::Image;
    }
    void InitTracker()
    {
        ASSERT_TRUE(tracker->init(TrackerScene::kWidth, TrackerScene::kHeight, "MANUAL_LOAD", scene.CameraFile()));
        tracker->setUserThreshold(100);
        tracker->setImageSource(image.get());
    }
    int Add(int pattern)
    {
        const double centre[2] = {0.0, 0.0};
        return tracker->addSingleMarker(scene.PatternFile(pattern), 80.0, centre);
    }
    // Renders twice so the image's modified count is past 1, then updates.
    void Show()
    {
        scene.Render(*image);
        if (image->getModifiedCount() == 1) image->dirty();
        tracker->update();
    }

    TestFolder folder;
    ScopedCurrentFolder inFolder{folder.Path()};
    TrackerScene scene{folder};
    osg::ref_ptr<SquareTracker> tracker;
    osg::ref_ptr<osg::Image> image;
};

TEST_F(Tracker, AMissingCameraFileFailsInitAndMarkersAreRefusedWithoutEndingTheProgram)
{
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(tracker->init(640, 480, "MANUAL_LOAD", "Data/none.dat"));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Error creating tracker: Tracker::init : Error: Can't load camera parameters from 'Data/none.dat'.\n");
    EXPECT_EQ(Add(0), -1);
    EXPECT_EQ(tracker->getMarkerCount(), 0);
    const std::string log = TestFolder::ReadFile(folder / "Data/messageLog.txt");
    EXPECT_NE(log.find("SquareTracker::addSingleMarker() : detection handle is empty, please run init() function "
                       "before!"),
              std::string::npos)
        << log;
    tracker->update();  // no image, no detector: nothing happens
    tracker->update();
    const std::string after = TestFolder::ReadFile(folder / "Data/messageLog.txt");
    const std::string missing = "Tracker::update : No connected image source for the tracker.";
    ASSERT_NE(after.find(missing), std::string::npos) << after;
    EXPECT_EQ(after.find(missing, after.find(missing) + 1), std::string::npos) << "said once: " << after;
}

TEST_F(Tracker, AnUnreadablePatternIsReportedAndTakesNoIndex)
{
    InitTracker();
    EXPECT_EQ(Add(0), 0);
    const double centre[2] = {0.0, 0.0};
    EXPECT_EQ(tracker->addSingleMarker(folder / "missing.patt", 80.0, centre), -1);
    EXPECT_EQ(Add(1), 1);
    EXPECT_NE(TestFolder::ReadFile(folder / "Data/messageLog.txt")
                  .find("Tracker::addSingleMarker(): Warning : Could not init singleMarker " + (folder / "missing.patt")),
              std::string::npos);
}

TEST_F(Tracker, SettersClampAndTheLabelNamesTheCore)
{
    InitTracker();
    tracker->setUserThreshold(300);
    EXPECT_EQ(tracker->getUserThreshold(), 255);
    EXPECT_EQ(tracker->getThreshold(), 255);
    tracker->setUserThreshold(-4);
    EXPECT_EQ(tracker->getThreshold(), 0);
    tracker->setMaxAutoSteps(-3);
    EXPECT_EQ(tracker->getMaxAutoSteps(), 0);
    tracker->setAutoStepSize(99);
    EXPECT_EQ(tracker->getAutoStepSize(), 20);
    EXPECT_EQ(tracker->getLabel(), "VexaTrack-1.0.0");
    tracker->setPatternDetectionMode(7);  // refused by the core
    EXPECT_EQ(tracker->getPatternDetectionMode(), 0);
}

TEST_F(Tracker, OnlyNewFramesAreAnalysedAndAFreshImageIsNot)
{
    InitTracker();
    ASSERT_EQ(Add(0), 0);
    scene.Place(0, TrackerScene::PoseAt(0, 0, 600));
    scene.Render(*image);
    image->setModifiedCount(1);  // as a freshly set image
    tracker->update();
    EXPECT_FALSE(tracker->getMarker(0)->isValid());  // count 1: never analysed
    image->dirty();
    tracker->update();
    EXPECT_TRUE(tracker->getMarker(0)->isValid());
    // The picture changes but its count does not: the old result stands.
    scene.Clear();
    const unsigned count = image->getModifiedCount();
    scene.Render(*image);
    image->setModifiedCount(count);
    tracker->update();
    EXPECT_TRUE(tracker->getMarker(0)->isValid());
    image->dirty();
    tracker->update();
    EXPECT_FALSE(tracker->getMarker(0)->isValid());
}

TEST(TrackerConfidence, TheBestResultAboveTheBarWins)
{
    auto result = [](int id, double cf) {
        vxt::MarkerInfo m;
        m.id = id;
        m.cf = cf;
        return m;
    };
    struct Case
    {
        std::vector<vxt::MarkerInfo> results;
        int expected;  // index, -1 none
    };
    const Case cases[] = {
        {{result(0, 0.85), result(0, 0.9)}, 1},
        {{result(0, 0.9), result(0, 0.85)}, 0},
        {{result(0, 0.8), result(0, 0.75)}, -1},   // equal to the bar is not above it
        {{result(1, 0.99), result(0, 0.81)}, 1},   // other patterns do not count
        {{result(0, 0.9), result(0, 0.9)}, 0},     // the first of equals
        {{}, -1},
    };
    for (const Case& c : cases)
    {
        const vxt::MarkerInfo* chosen =
            SquareTracker::ChooseSingleResult(c.results.data(), static_cast<int>(c.results.size()), 0, 0.8);
        if (c.expected < 0)
            EXPECT_EQ(chosen, nullptr);
        else
            EXPECT_EQ(chosen, &c.results[static_cast<size_t>(c.expected)]);
    }
}

TEST(TrackerSearch, ThresholdsStepFromBelowTheLastSuccess)
{
    EXPECT_EQ(SquareTracker::SearchThresholds(90, 4, 5), (std::vector<int>{75, 80, 85, 90, 95, 100, 105, 110}));
    EXPECT_EQ(SquareTracker::SearchThresholds(20, 2, 10), (std::vector<int>{20, 30, 40, 50}));
    EXPECT_EQ(SquareTracker::SearchThresholds(235, 1, 20), (std::vector<int>{235, 240}));
    EXPECT_TRUE(SquareTracker::SearchThresholds(90, 0, 5).empty());
}

TEST_F(Tracker, TheSearchFindsAThresholdAndKeepsIt)
{
    InitTracker();
    ASSERT_EQ(Add(0), 0);
    tracker->SetAdaptiveThreshold(false);  // one threshold for the frame:
    tracker->setUserThreshold(3);          // nothing is that dark, no square at all
    tracker->setUseAuto(true);
    scene.Place(0, TrackerScene::PoseAt(0, 0, 600));
    Show();
    // First pass at 3 fails; the next pass, at 75, finds the marker.
    EXPECT_TRUE(tracker->getMarker(0)->isValid());
    EXPECT_EQ(tracker->getAutoThreshold(), 75);
    EXPECT_EQ(tracker->getThreshold(), 75);
    EXPECT_EQ(tracker->getUserThreshold(), 3);
}

TEST_F(Tracker, AFailedSearchRestoresTheUserThreshold)
{
    InitTracker();
    ASSERT_EQ(Add(0), 0);
    tracker->setUserThreshold(120);
    tracker->setUseAuto(true);
    Show();  // no marker in view
    EXPECT_FALSE(tracker->getMarker(0)->isValid());
    EXPECT_EQ(tracker->getThreshold(), 120);
    EXPECT_EQ(tracker->getAutoThreshold(), 90);
}

TEST_F(Tracker, PosesMatchTheDrawnMarkers)
{
    InitTracker();
    for (int i = 0; i < 3; ++i) ASSERT_EQ(Add(i), i);
    const vxt::Pose34 poses[3] = {TrackerScene::PoseAt(-120, -40, 700, 20, 10),
                                  TrackerScene::PoseAt(110, 60, 600, -35, 200),
                                  TrackerScene::PoseAt(0, 90, 900, 45, 95)};
    for (int i = 0; i < 3; ++i) scene.Place(i, poses[i]);
    Show();
    for (int i = 0; i < 3; ++i)
    {
        BaseMarker* marker = tracker->getMarker(i);
        ASSERT_TRUE(marker->isValid()) << i;
        EXPECT_GT(marker->getConfidence(), 0.8);
        const osg::Matrixd expected = TrackerScene::Modelview(poses[i]);
        const osg::Vec3d t = marker->getTransform().getTrans(), te = expected.getTrans();
        EXPECT_LT((t - te).length() / te.length(), 0.005) << i << ": " << t << " vs " << te;
        const osg::Vec3d axis = osg::Vec3d(0, 0, 1) * marker->getTransform() - t;
        const osg::Vec3d axisExpected = osg::Vec3d(0, 0, 1) * expected - te;
        EXPECT_GT(axis * axisExpected, std::cos(1.0 * M_PI / 180.0)) << i;
    }
    ASSERT_NE(tracker->GetTargetMarker(), nullptr);
}

TEST_F(Tracker, ContinuousPoseOnlyWhileTheMarkerStaysClose)
{
    InitTracker();
    ASSERT_EQ(Add(0), 0);
    auto* marker = static_cast<SingleMarker*>(tracker->getMarker(0));
    scene.Place(0, TrackerScene::PoseAt(0, 0, 600));
    Show();
    EXPECT_FALSE(marker->usedContinuousPose());  // first sighting
    scene.Clear();
    scene.Place(0, TrackerScene::PoseAt(2, 0, 600));  // about 2.3 px
    Show();
    EXPECT_TRUE(marker->usedContinuousPose());
    EXPECT_LE(marker->getDisplacement(), 10.0);
    scene.Clear();
    scene.Place(0, TrackerScene::PoseAt(60, 0, 600));  // about 70 px
    Show();
    EXPECT_FALSE(marker->usedContinuousPose());
    EXPECT_GT(marker->getDisplacement(), 10.0);
    scene.Clear();
    Show();
    EXPECT_FALSE(marker->isValid());
    scene.Place(0, TrackerScene::PoseAt(60, 0, 600));
    Show();
    EXPECT_FALSE(marker->usedContinuousPose());  // after a frame without it
}

TEST_F(Tracker, OverlayOutlinesTheLargestSquareInOpenGLCoordinates)
{
    InitTracker();
    osg::ref_ptr<osg::Node> layer = tracker->BuildDebugLayer(osg::Vec2f(640.f, 480.f));
    EXPECT_EQ(tracker->BuildDebugLayer(osg::Vec2f(640.f, 480.f)), tracker->GetDebugLayer());
    EXPECT_EQ(tracker->GetDebugLayer()->getNodeMask(), 0u);
    tracker->ToggleDebugView();
    EXPECT_EQ(tracker->GetDebugLayer()->getNodeMask(), ~0u);
    scene.Place(0, TrackerScene::PoseAt(-100, 0, 900));
    scene.Place(1, TrackerScene::PoseAt(100, 0, 500));
    Show();
    const vxt::MarkerInfo* target = tracker->GetTargetMarker();
    ASSERT_NE(target, nullptr);
    for (int i = 0; i < tracker->GetResultCount(); ++i) EXPECT_GE(target->area, tracker->GetResults()[i].area);
    const std::vector<osg::Vec2f> corners = tracker->GetOsgSPMarkerVecs(*target);
    EXPECT_FLOAT_EQ(corners[0].y(), 480.f - static_cast<float>(target->vertex[0][1]));
}

TEST_F(Tracker, SavingTheTargetPatternWritesAFileTheTrackerReadsBack)
{
    InitTracker();
    scene.Place(2, TrackerScene::PoseAt(0, 0, 500));
    Show();
    ASSERT_NE(tracker->GetTargetMarker(), nullptr);
    ::setenv("VEXAMARK_NONINTERACTIVE", "1", 1);
    ::setenv("VEXAMARK_SAVE_AS", (folder / "saved").c_str(), 1);
    EXPECT_TRUE(tracker->SaveTargetPatt());
    ::unsetenv("VEXAMARK_SAVE_AS");
    ASSERT_TRUE(TestFolder::Exists(folder / "saved.patt"));
    const double centre[2] = {0.0, 0.0};
    const int id = tracker->addSingleMarker(folder / "saved.patt", 80.0, centre);
    ASSERT_EQ(id, 0);
    image->dirty();
    tracker->update();
    EXPECT_TRUE(tracker->getMarker(id)->isValid());
}

TEST(TrackerPixelFormats, CodesFollowTheImageFormat)
{
    struct Case
    {
        GLenum format, type;
        int code;
    };
    const Case cases[] = {{GL_RGB, GL_UNSIGNED_BYTE, 1},  {GL_BGR, GL_UNSIGNED_BYTE, 2},
                          {GL_RGBA, GL_UNSIGNED_BYTE, 3}, {GL_BGRA, GL_UNSIGNED_BYTE, 4},
                          {0x8000, GL_UNSIGNED_BYTE, 5},  {GL_LUMINANCE, GL_UNSIGNED_BYTE, 6},
                          {GL_BGRA, GL_UNSIGNED_INT_8_8_8_8, 7}, {0x85B9, 0x85BA, 8},
                          {0x8757, 0x85BB, 9},            {GL_RGB, GL_FLOAT, 0}};
    static unsigned char pixels[4 * 4 * 4];
    for (const Case& c : cases)
    {
        osg::ref_ptr<osg::Image> image = new osg::Image;
        image->setImage(4, 4, 1, GL_RGBA, c.format, c.type, pixels, osg::Image::NO_DELETE);
        EXPECT_EQ(SquareTracker::getCorePixelFormatForImage(image.get()), c.code) << c.format << " " << c.type;
    }
    osg::ref_ptr<osg::Image> empty = new osg::Image;
    EXPECT_EQ(SquareTracker::getCorePixelFormatForImage(empty.get()), 0);
    EXPECT_EQ(SquareTracker::getCorePixelFormatForImage(nullptr), 0);
}

TEST_F(Tracker, UndistortionMeshIsTwentyStripsOfFortyTwoVertices)
{
    InitTracker();
    osg::ref_ptr<osg::Geometry> mesh = new osg::Geometry;
    tracker->createUndistortedMesh(640, 480, 1.f, 1.f, *mesh);
    ASSERT_EQ(mesh->getNumPrimitiveSets(), 20u);
    const auto* vertices = static_cast<const osg::Vec3Array*>(mesh->getVertexArray());
    ASSERT_EQ(vertices->size(), 840u);
    // Without distortion the grid maps onto itself.
    EXPECT_FLOAT_EQ((*vertices)[2].x(), 32.f);
    EXPECT_FLOAT_EQ((*vertices)[3].y(), 24.f);
    const auto* tex = static_cast<const osg::Vec2Array*>(mesh->getTexCoordArray(0));
    EXPECT_FLOAT_EQ((*tex)[1].y(), 0.95f);
}
}
