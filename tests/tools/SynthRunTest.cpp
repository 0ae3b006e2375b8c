// Whole clips: the same seed gives the same pixels and truth, the truth CSV is well
// formed and agrees with the pictures (corner order as printed, projection of the
// pose, visibility and occlusion).

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "Homography.h"
#include "PngFile.h"
#include "PrintedMarker.h"
#include "SynthRun.h"
#include "ToolTestSupport.h"

using namespace vxsynth;

namespace {

SynthScene smallScene(uint64_t seed) {
    SynthScene s;
    s.width = 320;
    s.height = 240;
    s.frames = 4;
    s.seed = seed;
    s.noiseSigma = 6;
    s.blurSigma = 0.8;
    s.shutter = 0.5;
    s.lightMin = 0.5;
    s.tiltMaxDeg = 60;
    s.camera.fx = s.camera.fy = 350;
    for (const char* n : {"quad", "sail"}) {
        MarkerSpec m;
        m.name = n;
        m.source = std::string("design:") + n;
        s.markers.push_back(m);
    }
    return s;
}

std::vector<std::vector<std::string>> parseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        rows.emplace_back();
        std::istringstream cells(line);
        for (std::string c; std::getline(cells, c, ',');) rows.back().push_back(c);
    }
    return rows;
}

TEST(SynthRun, SameSeedSamePicturesAndTruth) {
    vxtest::TempDir a, b, c;
    std::string error;
    for (auto* dir : {&a, &b}) {
        SynthScene scene = smallScene(7);
        scene.threads = dir == &a ? 1 : 3;  // threads share the rows, never change a pixel
        SynthRun run(scene);
        ASSERT_TRUE(run.prepare(error)) << error;
        ASSERT_TRUE(run.run({"", dir->path(), dir->file("t.csv"), true}, error)) << error;
    }
    SynthRun other(smallScene(8));
    ASSERT_TRUE(other.prepare(error)) << error;
    ASSERT_TRUE(other.run({"", c.path(), c.file("t.csv"), true}, error)) << error;
    for (int f = 0; f < 4; ++f) {
        const std::string name = "frame_00000" + std::to_string(f) + ".png";
        EXPECT_EQ(vxtest::readFile(a.file(name)), vxtest::readFile(b.file(name))) << name;
        EXPECT_NE(vxtest::readFile(a.file(name)), vxtest::readFile(c.file(name))) << name;
    }
    EXPECT_EQ(vxtest::readFile(a.file("t.csv")), vxtest::readFile(b.file("t.csv")));
    EXPECT_NE(vxtest::readFile(a.file("t.csv")), vxtest::readFile(c.file("t.csv")));
}

TEST(SynthRun, CsvRowsAreTheProjectionOfTheirPose) {
    vxtest::TempDir dir;
    std::string error;
    SynthScene scene = smallScene(3);
    SynthRun run(scene);
    ASSERT_TRUE(run.prepare(error)) << error;
    ASSERT_TRUE(run.run({"", "", dir.file("t.csv"), true}, error)) << error;
    const auto rows = parseCsv(vxtest::readFile(dir.file("t.csv")));
    ASSERT_EQ(rows.size(), 1u + 4 * 2);
    ASSERT_EQ(rows[0].size(), 24u);
    EXPECT_EQ(rows[0][0], "frame");
    EXPECT_EQ(rows[0][23], "occluded");
    for (size_t r = 1; r < rows.size(); ++r) {
        ASSERT_EQ(rows[r].size(), 24u);
        EXPECT_EQ(rows[r][0], std::to_string((r - 1) / 2));
        EXPECT_EQ(rows[r][1], r % 2 ? "quad" : "sail");
        Pose p;
        for (int i = 0; i < 9; ++i) p.R[i] = std::stod(rows[r][11 + i]);
        for (int i = 0; i < 3; ++i) p.t[i] = std::stod(rows[r][20 + i]);
        double rtr = 0;  // R is a rotation: first row has unit length, det sign positive
        for (int i = 0; i < 3; ++i) rtr += p.R[i] * p.R[i];
        EXPECT_NEAR(rtr, 1.0, 1e-8);
        const double corners[4][3] = {{-40, 40, 0}, {40, 40, 0}, {40, -40, 0}, {-40, -40, 0}};
        for (int k = 0; k < 4; ++k) {
            double c[3];
            p.apply(corners[k], c);
            EXPECT_NEAR(350 * c[0] / c[2] + 160, std::stod(rows[r][3 + 2 * k]), 1e-5);
            EXPECT_NEAR(350 * c[1] / c[2] + 120, std::stod(rows[r][4 + 2 * k]), 1e-5);
        }
        EXPECT_GT(p.t[2], 0);
        // The marker's z axis (third column of R) points back toward the camera.
        EXPECT_LT(p.R[2] * p.t[0] + p.R[5] * p.t[1] + p.R[8] * p.t[2], 0);
    }
}

TEST(SynthRun, CornerOrderFollowsThePrintedPicture) {
    vxtest::TempDir dir;
    vxtools::Image inner(64, 64, 255);
    inner.fillRect(0, 0, 32, 32, 220, 0, 0);  // red quarter at the printed top-left
    std::string error;
    ASSERT_TRUE(vxtools::PngFile::write(dir.file("m.png"), vxtools::PrintedMarker::compose(inner, 256), error,
                                        vxtools::PrintedMarker::textChunks(256)));
    SynthScene s;
    s.frames = 6;
    s.fps = 1;  // far apart in time: several spins and tilts
    s.spinDegPerS = 120;
    s.tiltMaxDeg = 60;
    MarkerSpec m;
    m.name = "red";
    m.source = dir.file("m.png");
    s.markers.push_back(m);
    SynthRun run(s);
    ASSERT_TRUE(run.prepare(error)) << error;
    vxtools::Image pic;
    std::vector<TruthTable::Row> rows;
    for (int f = 0; f < s.frames; ++f) {
        run.renderFrame(f, pic, rows);
        ASSERT_EQ(rows.size(), 1u);
        const double unit[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        vxtools::Homography h;
        ASSERT_TRUE(vxtools::Homography::fromQuad(unit, rows[0].corners, h));
        auto colour = [&](double a, double b) {
            double u, v;
            h.apply(a, b, u, v);
            return pic.pixel(int(u), int(v));
        };
        EXPECT_GT(colour(0.375, 0.375)[0], 120) << "frame " << f;  // red quarter of the inner picture
        EXPECT_LT(colour(0.375, 0.375)[1], 60) << "frame " << f;
        EXPECT_GT(colour(0.625, 0.625)[1], 120) << "frame " << f;  // white bottom-right quarter
        EXPECT_LT(colour(0.12, 0.5)[0], 60) << "frame " << f;      // black border
    }
}

TEST(SynthRun, VisibilityFollowsFrameAndOccluders) {
    SynthScene s = smallScene(5);
    s.frames = 21;
    s.fps = 5;  // four seconds: the occluder comes and goes
    s.markers.resize(1);
    s.markers[0].path = "sweep";  // crosses the picture from outside to outside
    s.occluders = 1;
    s.occlusionLimit = 0.05;
    SynthRun run(s);
    std::string error;
    ASSERT_TRUE(run.prepare(error)) << error;
    vxtools::Image pic;
    std::vector<TruthTable::Row> rows;
    int visible = 0, occluded = 0;
    for (int f = 0; f < s.frames; ++f) {
        run.renderFrame(f, pic, rows);
        const auto& r = rows[0];
        bool inside = true;
        for (const auto& c : r.corners) inside = inside && c[0] >= 1 && c[0] <= 319 && c[1] >= 1 && c[1] <= 239;
        EXPECT_EQ(r.visible, inside && r.occluded <= 0.05) << "frame " << f;
        if (f == 0 || f == s.frames - 1) {
            EXPECT_FALSE(r.visible);
        }
        visible += r.visible;
        occluded += r.occluded > 0;
    }
    EXPECT_GT(visible, 0);
    EXPECT_GT(occluded, 0);
}

TEST(SynthRun, OtherMarkerPicturesFollowTheSamePoses) {
    // A benchmark renders its own markers and foreign ones (no quiet zone, box=full)
    // with one seed and compares detectors on the same poses.
    vxtest::TempDir dir;
    vxtools::Image foreign(6, 6, 0);  // a 6 x 6 cell tag: black border, a few white cells
    foreign.set(2, 2, 255, 255, 255);
    foreign.set(3, 2, 255, 255, 255);
    foreign.set(2, 3, 255, 255, 255);
    std::string error;
    ASSERT_TRUE(vxtools::PngFile::write(dir.file("tag.png"), foreign, error));
    std::vector<std::vector<TruthTable::Row>> truth;
    for (const std::string& source : {std::string("design:quad"), dir.file("tag.png")}) {
        SynthScene s = smallScene(21);
        s.markers[0].source = source;
        s.markers[0].box = source[0] == '/' ? "full" : "auto";
        s.occluders = 1;
        SynthRun run(s);
        ASSERT_TRUE(run.prepare(error)) << error;
        vxtools::Image pic;
        truth.emplace_back();
        for (int f = 0; f < s.frames; ++f) {
            std::vector<TruthTable::Row> rows;
            run.renderFrame(f, pic, rows);
            truth.back().insert(truth.back().end(), rows.begin(), rows.end());
        }
    }
    ASSERT_EQ(truth[0].size(), truth[1].size());
    for (size_t i = 0; i < truth[0].size(); ++i) {
        for (int k = 0; k < 3; ++k) EXPECT_DOUBLE_EQ(truth[0][i].pose.t[k], truth[1][i].pose.t[k]);
        for (int k = 0; k < 4; ++k) EXPECT_DOUBLE_EQ(truth[0][i].corners[k][0], truth[1][i].corners[k][0]);
        EXPECT_EQ(truth[0][i].visible, truth[1][i].visible);
        EXPECT_DOUBLE_EQ(truth[0][i].occluded, truth[1][i].occluded);
    }
}

TEST(SynthRun, BadMarkerPicturesAreReported) {
    vxtest::TempDir dir;
    vxtest::writeFile(dir.file("white.png"), "");
    std::string error;
    ASSERT_TRUE(vxtools::PngFile::write(dir.file("white.png"), vxtools::Image(32, 32, 255), error));
    ASSERT_TRUE(vxtools::PngFile::write(dir.file("badbox.png"), vxtools::Image(32, 32, 0), error,
                                        {{vxtools::PrintedMarker::kBoxKey, "8 eight 16"}}));
    vxtools::Image wide(64, 32, 255);
    wide.fillRect(0, 0, 64, 32, 0, 0, 0);
    ASSERT_TRUE(vxtools::PngFile::write(dir.file("wide.png"), wide, error));
    struct Case {
        std::string source, box, message;
    };
    const Case cases[] = {
        {dir.file("none.png"), "auto", "marker 'm': cannot open '" + dir.file("none.png") + "': No such file or directory"},
        {dir.file("white.png"), "auto",
         "marker 'm': the picture has no dark marker border (expected a black square; give box=full or box=X:Y:SIDE)"},
        {dir.file("wide.png"), "auto",
         "marker 'm': the dark area of the picture is 64x32 pixels (expected a square marker; give box=X:Y:SIDE)"},
        {dir.file("wide.png"), "40:0:32", "marker 'm': marker box 40:0:32 lies outside the 64x32 picture"},
        {dir.file("badbox.png"), "auto", "marker 'm': the picture's marker box '8 eight 16' is malformed (expected X Y SIDE)"},
        {"design:nothing", "auto", "marker 'm': unknown design 'nothing' (expected one of:"},
    };
    for (const Case& c : cases) {
        SynthScene s;
        MarkerSpec m;
        m.name = "m";
        m.source = c.source;
        m.box = c.box;
        s.markers.push_back(m);
        SynthRun run(s);
        error.clear();
        EXPECT_FALSE(run.prepare(error));
        EXPECT_EQ(error.rfind(c.message, 0), 0u) << error;
    }
}

}  // namespace
