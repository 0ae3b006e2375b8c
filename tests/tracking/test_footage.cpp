// The tracker through the engine's interface on footage from the footage
// synthesiser (a renderer independent of the detection core), against its
// ground truth: markers found, poses right, nothing false.
#include "SingleMarker.h"
#include "SquareTracker.h"

#include "MediaFileReader.h"
#include "FootageTruth.h"
#include "TestFolder.h"

#include "vxt/CameraParams.h"
#include "vxt/Detector.h"
#include "vxt/MarkerInfo.h"
#include "vxt/PatternSet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

namespace
{
using Truth = FootageTruth;

double median(std::vector<double> v)
{
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

TEST(TrackerOnFootage, TheDemoFootageIsTrackedWithTheRightPoses)
{
    TestFolder folder;
    folder.CopyWorkingFolder();
    ScopedCurrentFolder inFolder(folder.Path());
    vexa::media::MediaFileReader reader;
    ASSERT_TRUE(reader.open("Videos/demo.mp4")) << reader.lastError();
    const int w = reader.info().width, h = reader.info().height;
    const auto truth = FootageTruth::Read("Videos/demo.csv");
    ASSERT_FALSE(truth.empty());

    osg::ref_ptr<SquareTracker> tracker = new SquareTracker;
    ASSERT_TRUE(tracker->init(w, h, "MANUAL_LOAD", "Data/camera_para.dat"));
    const std::vector<std::string> names = {"corvane", "glyph-f", "arrow", "sail"};
    const double centre[2] = {0.0, 0.0};
    for (const std::string& name : names) ASSERT_GE(tracker->addSingleMarker("Data/" + name + ".patt", 80.0, centre), 0);
    tracker->setUserThreshold(100);
    osg::ref_ptr<osg::Image> image = new osg::Image;
    image->allocateImage(w, h, 1, GL_BGRA, GL_UNSIGNED_BYTE);
    tracker->setImageSource(image.get());

    int seen = 0, found = 0, falseMarkers = 0;
    std::vector<double> translationErrors, angleErrors;  // % of distance, degrees
    for (int frame = 0; frame < static_cast<int>(truth.size()); ++frame)
    {
        ASSERT_EQ(reader.readNextFrame(image->data(), w * 4), vexa::media::MediaFileReader::ReadResult::Frame);
        image->dirty();
        image->dirty();  // never the "fresh image" count of 1
        tracker->update();
        for (size_t i = 0; i < names.size(); ++i)
        {
            const Truth& t = truth.at(frame).at(names[i]);
            BaseMarker* marker = tracker->getMarker(static_cast<int>(i));
            if (!t.visible) continue;
            ++seen;
            if (!marker->isValid()) continue;
            ++found;
            // The tracker's modelview: camera y and z point the other way.
            const osg::Matrixd& m = marker->getTransform();
            const osg::Vec3d position(m(3, 0), -m(3, 1), -m(3, 2));
            const osg::Vec3d expected(t.t[0], t.t[1], t.t[2]);
            translationErrors.push_back(100.0 * (position - expected).length() / expected.length());
            // Angle between the measured and the true marker normal (the card's z axis).
            const osg::Vec3d normal(m(2, 0), -m(2, 1), -m(2, 2));
            const osg::Vec3d trueNormal(t.r[0][2], t.r[1][2], t.r[2][2]);
            const double c = std::clamp(normal * trueNormal / (normal.length() * trueNormal.length()), -1.0, 1.0);
            angleErrors.push_back(std::acos(c) * 180.0 / M_PI);
        }
        // Any identified square must be one of the visible markers.
        for (int r = 0; r < tracker->GetResultCount(); ++r)
            if (tracker->GetResults()[r].id >= 0 && tracker->GetResults()[r].cf > tracker->GetTol())
            {
                const std::string& name = names[static_cast<size_t>(tracker->GetResults()[r].id)];
                if (!truth.at(frame).at(name).visible) ++falseMarkers;
            }
    }
    ::testing::Test::RecordProperty("found", std::to_string(found) + " of " + std::to_string(seen));
    ::testing::Test::RecordProperty("median_translation_error_percent", std::to_string(median(translationErrors)));
    ::testing::Test::RecordProperty("median_normal_error_degrees", std::to_string(median(angleErrors)));
    ASSERT_GT(seen, 500);
    EXPECT_GE(static_cast<double>(found) / seen, 0.99) << found << " of " << seen;
    EXPECT_EQ(falseMarkers, 0);
    EXPECT_LE(median(translationErrors), 0.5);
    EXPECT_LE(median(angleErrors), 1.0);
}

void ExpectSameResults(const vxt::MarkerInfo* a, int countA, const vxt::MarkerInfo* b, int countB,
                       const std::string& what)
{
    ASSERT_EQ(countA, countB) << what;
    for (int i = 0; i < countA; ++i)
    {
        EXPECT_EQ(a[i].area, b[i].area) << what << " result " << i;
        EXPECT_EQ(a[i].id, b[i].id) << what << " result " << i;
        EXPECT_EQ(a[i].dir, b[i].dir) << what << " result " << i;
        EXPECT_EQ(a[i].cf, b[i].cf) << what << " result " << i;
        for (int k = 0; k < 4; ++k)
            for (int c = 0; c < 2; ++c) EXPECT_EQ(a[i].vertex[k][c], b[i].vertex[k][c]) << what << " result " << i;
    }
}

TEST(TrackerOnFootage, TheThresholdSearchSeesWhatAFullDetectionAtItsThresholdSees)
{
    TestFolder folder;
    folder.CopyWorkingFolder();
    ScopedCurrentFolder inFolder(folder.Path());
    vexa::media::MediaFileReader reader;
    ASSERT_TRUE(reader.open("Videos/demo.mp4")) << reader.lastError();
    const int w = reader.info().width, h = reader.info().height;

    osg::ref_ptr<SquareTracker> tracker = new SquareTracker;
    ASSERT_TRUE(tracker->init(w, h, "MANUAL_LOAD", "Data/camera_para.dat"));
    // A detector of our own beside the tracker's, with the same patterns
    // loaded in the same order (so the same ids) and the same settings.
    vxt::CameraParams camera;
    ASSERT_TRUE(camera.load("Data/camera_para.dat").ok());
    vxt::Detector full(camera.rescaled(w, h));
    vxt::PatternSet patterns;
    full.attachPatternSet(&patterns);
    // One threshold for the frame, so a threshold of 3 finds nothing and
    // the search runs.
    tracker->SetAdaptiveThreshold(false);
    full.setAdaptiveThreshold(false);
    const double centre[2] = {0.0, 0.0};
    for (const char* name : {"corvane", "glyph-f", "arrow", "sail"})
    {
        const std::string file = std::string("Data/") + name + ".patt";
        const int id = tracker->addSingleMarker(file, 80.0, centre);
        ASSERT_GE(id, 0);
        ASSERT_EQ(patterns.load(file), static_cast<SingleMarker*>(tracker->getMarker(id))->getPatternID());
    }
    tracker->setUseAuto(true);
    osg::ref_ptr<osg::Image> image = new osg::Image;
    image->allocateImage(w, h, 1, GL_BGRA, GL_UNSIGNED_BYTE);
    tracker->setImageSource(image.get());
    vxt::ImageView view;
    view.data = image->data();
    view.width = w;
    view.height = h;
    view.format = static_cast<vxt::PixelFormat>(SquareTracker::getCorePixelFormatForImage(image.get()));

    int compared = 0;
    std::map<int, int> thresholds;  // where the searches ended, how often
    for (int frame = 0; frame < 150; ++frame)
    {
        if (reader.readNextFrame(image->data(), w * 4) != vexa::media::MediaFileReader::ReadResult::Frame) break;
        image->dirty();
        image->dirty();
        // Nothing is darker than 3: the first pass finds nothing and the
        // search re-detects the frame at its other thresholds.
        tracker->setUserThreshold(3);
        tracker->update();
        bool found = false;
        for (int i = 0; i < tracker->getMarkerCount(); ++i) found = found || tracker->getMarker(i)->isValid();
        if (!found) continue;
        ASSERT_NE(tracker->getThreshold(), 3);
        ASSERT_TRUE(full.setThreshold(tracker->getThreshold()));
        ASSERT_TRUE(full.detect(view).ok());
        ExpectSameResults(tracker->GetResults(), tracker->GetResultCount(), full.markers(), full.markerCount(),
                          "frame " + std::to_string(frame) + " threshold " + std::to_string(tracker->getThreshold()));
        if (::testing::Test::HasFailure()) return;
        ++compared;
        ++thresholds[tracker->getThreshold()];
    }
    EXPECT_GT(compared, 100);
    EXPECT_GE(thresholds.size(), 2u);  // the search moved with the footage
}
}
