// Round trips of the camera parameter, pattern and multi-marker files, and
// the files' exact layout.
#include <gtest/gtest.h>

#include <cmath>

#include "TestScene.h"
#include "vxt/CameraParams.h"
#include "vxt/MultiMarkerConfig.h"
#include "vxt/PatternImage.h"
#include "vxt/PatternSet.h"

using namespace vxttest;

TEST(CameraFile, RoundTripKeepsEveryValue) {
    TempDir dir;
    vxt::CameraParams c(1280, 720, 1012.345678901, 1009.87654321, 641.2345, 359.8765);
    c.setDistortion(-0.2834567, 0.0912345, 0.00123456, -0.000654321, -0.0123456);
    ASSERT_TRUE(c.save(dir.file("camera_para.dat")).ok());
    vxt::CameraParams r;
    ASSERT_TRUE(r.load(dir.file("camera_para.dat")).ok());
    EXPECT_EQ(r.width(), 1280);
    EXPECT_EQ(r.height(), 720);
    EXPECT_NEAR(r.fx(), c.fx(), 1e-6);
    EXPECT_NEAR(r.fy(), c.fy(), 1e-6);
    EXPECT_NEAR(r.cx(), c.cx(), 1e-6);
    EXPECT_NEAR(r.cy(), c.cy(), 1e-6);
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(r.distortion()[i], c.distortion()[i], 1e-10);
    // Saving twice gives the same file.
    ASSERT_TRUE(r.save(dir.file("again.dat")).ok());
    EXPECT_EQ(readFile(dir.file("again.dat")), readFile(dir.file("camera_para.dat")));
}

TEST(CameraFile, LayoutIsATagFile) {
    TempDir dir;
    vxt::CameraParams c(640, 480, 700, 700, 320, 240);
    ASSERT_TRUE(c.save(dir.file("c.dat")).ok());
    EXPECT_EQ(readFile(dir.file("c.dat")),
              "<CAMERA_PARAM> \n"
              "    <VERSION> 1 \n"
              "    <SIZE> 640 480 \n"
              "    <FX> 700 \n"
              "    <FY> 700 \n"
              "    <CX> 320 \n"
              "    <CY> 240 \n"
              "    <DISTORTION> 0 0 0 0 0 \n"
              "</CAMERA_PARAM> \n");
}

TEST(CameraFile, HandWrittenFileWithCommentsAndCommasReads) {
    TempDir dir;
    dir.write("c.dat",
              "# webcam, calibrated by hand\n"
              "<CAMERA_PARAM>\n"
              "  <SIZE> 640, 480   # pixels\n"
              "  <FX> 650.5\n  <FY> 651\n  <CX> 330\n  <CY> 250\n"
              "  <UNKNOWN_TAG> 1 2 3\n"
              "</CAMERA_PARAM>\n"
              "$ everything after the dollar line is ignored\n"
              "<FX> nonsense\n");
    vxt::CameraParams c;
    ASSERT_TRUE(c.load(dir.file("c.dat")).ok());
    EXPECT_EQ(c.width(), 640);
    EXPECT_DOUBLE_EQ(c.fx(), 650.5);
    EXPECT_FALSE(c.hasDistortion());
}

TEST(CameraFile, RescaleAndProjection) {
    vxt::CameraParams c(640, 480, 700, 700, 320, 240);
    vxt::CameraParams r = c.rescaled(1280, 960);
    EXPECT_EQ(r.width(), 1280);
    EXPECT_DOUBLE_EQ(r.fx(), 1400);
    EXPECT_DOUBLE_EQ(r.cx(), 640);
    double p[16];
    c.projectionMatrix(10, 8000, p);
    EXPECT_DOUBLE_EQ(p[0], 2 * 700 / 640.0);
    EXPECT_DOUBLE_EQ(p[5], 2 * 700 / 480.0);
    EXPECT_DOUBLE_EQ(p[8], 0.0);  // centred principal point
    EXPECT_DOUBLE_EQ(p[9], 0.0);
    EXPECT_DOUBLE_EQ(p[10], -(8000.0 + 10) / (8000 - 10));
    EXPECT_DOUBLE_EQ(p[11], -1.0);
    EXPECT_DOUBLE_EQ(p[14], -2.0 * 8000 * 10 / (8000 - 10));
    EXPECT_DOUBLE_EQ(p[15], 0.0);
}

TEST(PatternFile, RoundTripAndLoadIntoASet) {
    TempDir dir;
    vxt::PatternImage img = vxtbench::makeTestPattern(5);
    ASSERT_TRUE(img.save(dir.file("a.patt")).ok());
    vxt::PatternImage back;
    ASSERT_TRUE(back.load(dir.file("a.patt")).ok());
    for (int i = 0; i < vxt::PatternImage::kBytes; ++i) ASSERT_EQ(back.rgb()[i], img.rgb()[i]);
    std::string text = readFile(dir.file("a.patt"));
    EXPECT_EQ(text.rfind("<PATTERN> \n    <VERSION> 1 \n    <SIZE> 16 \n    <ROW> ", 0), 0u);
    vxt::PatternSet set;
    vxt::Status why;
    EXPECT_EQ(set.load(dir.file("a.patt"), &why), 0);
    EXPECT_TRUE(why.ok());
    EXPECT_TRUE(set.isActive(0));
}

TEST(PatternFile, SavedFromADetectedSquareMatchesItAgain) {
    TempDir dir;
    TestPatterns pats(2);
    vxtbench::FrameRenderer r(640, 480);
    r.fill(200);
    double corners[4][2];
    vxtbench::squareCorners(300, 220, 160, 123, corners);  // rotated: the saved picture must be upright
    r.drawMarker(pats.images[1], corners, vxtbench::MarkerStyle());
    std::vector<std::uint8_t> px;
    r.toFormat(vxt::PixelFormat::BGR, px);
    vxt::Detector d(640, 480);
    d.attachPatternSet(&pats.set);
    ASSERT_TRUE(d.detect(px.data()).ok());
    ASSERT_EQ(d.markerCount(), 1);
    vxt::ImageView f{px.data(), 640, 480, 0, vxt::PixelFormat::BGR};
    ASSERT_TRUE(vxt::Detector::savePattern(f, d.markers()[0], dir.file("saved.patt")).ok());
    vxt::PatternSet only;
    ASSERT_EQ(only.load(dir.file("saved.patt")), 0);
    d.attachPatternSet(&only);
    ASSERT_TRUE(d.detect(px.data()).ok());
    ASSERT_EQ(d.markerCount(), 1);
    EXPECT_EQ(d.markers()[0].id, 0);
    EXPECT_GT(d.markers()[0].cf, 0.95);
    // The saved picture is upright: the same direction as the original.
    d.attachPatternSet(&pats.set);
    ASSERT_TRUE(d.detect(px.data()).ok());
    int dirOriginal = d.markers()[0].dir;
    d.attachPatternSet(&only);
    ASSERT_TRUE(d.detect(px.data()).ok());
    EXPECT_EQ(d.markers()[0].dir, dirOriginal);
    // No file name: a clear failure, nothing written.
    EXPECT_EQ(vxt::Detector::savePattern(f, d.markers()[0], "").message(), "no pattern file name given");
}

TEST(MultiMarkerFile, RoundTripLoadsPatternsBesideTheFile) {
    TempDir dir;
    vxt::PatternSet set;
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(vxtbench::makeTestPattern(10 + i).save(dir.file("m" + std::to_string(i) + ".patt")).ok());
    vxt::MultiMarkerConfig cfg;
    for (int i = 0; i < 3; ++i) {
        vxt::Pose34 place = vxtbench::makePose(0, 0, 0, 0, 0, 0);
        // A rotation about the board's z axis and an offset, as on a real board.
        double a = 0.3 * i, c = std::cos(a), s = std::sin(a);
        place.m[0][0] = c; place.m[0][1] = -s; place.m[0][2] = 0;
        place.m[1][0] = s; place.m[1][1] = c;  place.m[1][2] = 0;
        place.m[2][0] = 0; place.m[2][1] = 0;  place.m[2][2] = 1;
        place.m[0][3] = 100.0 * i;
        place.m[1][3] = -35.5 * i;
        place.m[2][3] = 0;
        const double centre[2] = {1.5 * i, -2.25};
        ASSERT_TRUE(cfg.addSubMarker("m" + std::to_string(i) + ".patt", -1, 40.0 + i, centre, place));
    }
    ASSERT_TRUE(cfg.save(dir.file("board.dat")).ok());
    vxt::MultiMarkerConfig back;
    ASSERT_TRUE(back.load(dir.file("board.dat"), set).ok());
    ASSERT_EQ(back.count(), 3);
    EXPECT_EQ(set.count(), 3);
    for (int i = 0; i < 3; ++i) {
        const auto& a = cfg.subMarkers()[i];
        const auto& b = back.subMarkers()[i];
        EXPECT_EQ(b.patternFile, a.patternFile);
        EXPECT_TRUE(set.isLoaded(b.patternId));
        EXPECT_DOUBLE_EQ(b.width, a.width);
        EXPECT_DOUBLE_EQ(b.centre[0], a.centre[0]);
        EXPECT_DOUBLE_EQ(b.centre[1], a.centre[1]);
        for (int r = 0; r < 3; ++r)
            for (int k = 0; k < 4; ++k) {
                EXPECT_NEAR(b.placement.m[r][k], a.placement.m[r][k], 1e-9);
                EXPECT_NEAR(b.inversePlacement.m[r][k], a.inversePlacement.m[r][k], 1e-9);
            }
    }
    back.release(set);
    EXPECT_EQ(set.count(), 0);
    EXPECT_EQ(back.count(), 0);
}
