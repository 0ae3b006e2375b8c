// The tracker at its defaults on footage rendered by the footage synthesiser
// (its own renderer, not the core's) under hard picture conditions: noise,
// blur, a strong lighting gradient, 30-pixel markers and all of them at once,
// and grey frames of markers whose patterns were trained from colour
// pictures. Each condition must reach the detection rate it reached when it
// was measured, with no false marker. The markers are the four built-in
// designs the demo does not use; their patterns are trained by vexamark-marker.
#include "SquareTracker.h"

#include "CommandLine.h"
#include "SceneReader.h"
#include "SynthRun.h"
#include "TestFolder.h"

#include <osg/Image>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace
{
const char* const kDesigns[4] = {"glyph-r", "glyph-k", "steps", "quad"};
const int kFrames = 12;

struct Condition
{
    const char* name;
    const char* settings;  // vexamark-synth settings
    bool grey;             // every channel carries the luminance (a monochrome camera)
    double minRate;        // detection rate reached when measured
};

struct Tally
{
    int visible = 0, found = 0, falseMarkers = 0;
};

std::vector<std::string> Words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

bool MakeScene(const Condition& c, vxsynth::SynthScene& scene, std::string& error)
{
    std::string args = std::string("--size 640 480 --seed 7 --frames ") + std::to_string(kFrames) + " " + c.settings;
    for (int i = 0; i < 4; ++i) args += std::string(" --marker m") + std::to_string(i) + "=design:" + kDesigns[i];
    vxtools::CommandLine cl;
    return cl.parse(Words(args), vxsynth::SceneReader::arity(), error) &&
           vxsynth::SceneReader::apply(cl, scene, error);
}

// Copies a rendered picture into the tracker's RGB image, grey if asked.
void Load(const vxtools::Image& picture, bool grey, osg::Image& image)
{
    std::memcpy(image.data(), picture.data().data(), picture.data().size());
    if (grey)
        for (size_t i = 0; i + 2 < picture.data().size(); i += 3)
        {
            unsigned char* p = image.data() + i;
            p[0] = p[1] = p[2] = static_cast<unsigned char>((77 * p[0] + 150 * p[1] + 29 * p[2] + 128) >> 8);
        }
    image.dirty();
    image.dirty();  // never the "fresh image" count of 1
}

// A valid marker counts when its truth is visible and its corners' centre
// lies within 30 % of the side of the true centre; any other is false.
void Score(SquareTracker& tracker, const std::vector<vxsynth::TruthTable::Row>& rows, Tally& tally)
{
    for (size_t i = 0; i < rows.size(); ++i)
    {
        const auto& t = rows[i];
        tally.visible += t.visible ? 1 : 0;
        BaseMarker* marker = tracker.getMarker(static_cast<int>(i));
        if (!marker->isValid()) continue;
        double tx = 0, ty = 0, mx = 0, my = 0;
        for (int k = 0; k < 4; ++k)
        {
            tx += 0.25 * t.corners[k][0];
            ty += 0.25 * t.corners[k][1];
            mx += 0.25 * marker->getCorners()[static_cast<size_t>(k)].x();
            my += 0.25 * marker->getCorners()[static_cast<size_t>(k)].y();
        }
        const double side = std::hypot(t.corners[1][0] - t.corners[0][0], t.corners[1][1] - t.corners[0][1]);
        if (t.visible && std::hypot(tx - mx, ty - my) < 0.3 * side)
            ++tally.found;
        else
            ++tally.falseMarkers;
    }
}

class TrackerConditions : public ::testing::TestWithParam<Condition>
{
};

TEST_P(TrackerConditions, FindsTheMarkersAtTheDefaultsWithNothingFalse)
{
    const Condition& c = GetParam();
    TestFolder folder;
    folder.CopyWorkingFolder();
    ScopedCurrentFolder inFolder(folder.Path());
    osg::ref_ptr<SquareTracker> tracker = new SquareTracker;
    ASSERT_TRUE(tracker->init(640, 480, "MANUAL_LOAD", "Data/camera_para.dat"));
    const double centre[2] = {0.0, 0.0};
    for (const char* design : kDesigns)
    {
        const std::string patt = folder / (std::string(design) + ".patt");
        const std::string command = std::string(VEXAMARK_MARKER_EXE) + " pattern design:" + design + " '" + patt + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        ASSERT_GE(tracker->addSingleMarker(patt, 80.0, centre), 0);
    }
    vxsynth::SynthScene scene;
    std::string error;
    ASSERT_TRUE(MakeScene(c, scene, error)) << error;
    vxsynth::SynthRun run(scene);
    ASSERT_TRUE(run.prepare(error)) << error;
    osg::ref_ptr<osg::Image> image = new osg::Image;
    image->allocateImage(640, 480, 1, GL_RGB, GL_UNSIGNED_BYTE);
    tracker->setImageSource(image.get());

    Tally tally;
    vxtools::Image picture;
    std::vector<vxsynth::TruthTable::Row> rows;
    for (int frame = 0; frame < kFrames; ++frame)
    {
        run.renderFrame(frame, picture, rows);
        ASSERT_EQ(picture.width(), 640);
        Load(picture, c.grey, *image);
        tracker->update();
        Score(*tracker, rows, tally);
    }
    ::testing::Test::RecordProperty("found", std::to_string(tally.found) + " of " + std::to_string(tally.visible));
    ASSERT_GT(tally.visible, kFrames * 3);
    EXPECT_GE(static_cast<double>(tally.found) / tally.visible, c.minRate) << tally.found << " of " << tally.visible;
    EXPECT_EQ(tally.falseMarkers, 0);
}

const char* const kLight = "--lighting 0.15 1.15 180";

INSTANTIATE_TEST_SUITE_P(
    Footage, TrackerConditions,
    ::testing::Values(Condition{"clean", "", false, 1.0}, Condition{"noise", "--noise 8", false, 1.0},
                      Condition{"blur", "--blur 1.5", false, 1.0}, Condition{"light", kLight, false, 1.0},
                      Condition{"small", "--marker-px 30", false, 1.0},
                      Condition{"combined", "--marker-px 30 --noise 8 --blur 1.5 --lighting 0.15 1.15 180", false,
                                0.95},
                      Condition{"grey", "", true, 1.0}),
    [](const ::testing::TestParamInfo<Condition>& info) { return std::string(info.param.name); });
}
