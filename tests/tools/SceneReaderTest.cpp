// Scene descriptions: files and options read into the scene, and bad settings named
// with their file and line.

#include <gtest/gtest.h>

#include "SceneReader.h"
#include "ToolTestSupport.h"

using namespace vxsynth;

namespace {

TEST(SceneReader, FileSettingsAndMarkers) {
    vxtest::TempDir dir;
    vxtest::writeFile(dir.file("scene.txt"),
                      "# two markers\n"
                      "size 320 240\r\nframes 12   # short\nfps 30\nseed 99\n"
                      "intrinsics 400 410 161 119\ndistortion -0.1 0.01 0 0 0\n"
                      "marker a=pics/a.png width=60 tilt=70 distance=300:500 path=orbit\n"
                      "marker b=design:quad,px=30,box=full\n"
                      "lighting 0.3 1.0 90\nnoise 8\nblur 1.5\nshutter 0.5\noccluders 2\nbackground cloth\n");
    SynthScene s;
    std::string error;
    ASSERT_TRUE(SceneReader::readFile(dir.file("scene.txt"), s, error)) << error;
    EXPECT_EQ(s.width, 320);
    EXPECT_EQ(s.frames, 12);
    EXPECT_EQ(s.seed, 99u);
    EXPECT_DOUBLE_EQ(s.camera.fy, 410);
    EXPECT_DOUBLE_EQ(s.camera.cx, 161);
    EXPECT_DOUBLE_EQ(s.camera.k1, -0.1);
    ASSERT_EQ(s.markers.size(), 2u);
    EXPECT_EQ(s.markers[0].source, dir.path() + "/pics/a.png");  // relative to the scene file
    EXPECT_DOUBLE_EQ(s.markers[0].widthMm, 60);
    EXPECT_DOUBLE_EQ(s.markers[0].tiltMaxDeg, 70);
    EXPECT_DOUBLE_EQ(s.markers[0].distMax, 500);
    EXPECT_EQ(s.markers[0].path, "orbit");
    EXPECT_EQ(s.markers[1].source, "design:quad");
    EXPECT_DOUBLE_EQ(s.markers[1].markerPx, 30);
    EXPECT_DOUBLE_EQ(s.lightMin, 0.3);
    EXPECT_EQ(s.occluders, 2);
    EXPECT_EQ(s.background, "cloth");
}

TEST(SceneReader, BadLinesAreNamedWithFileAndLine) {
    vxtest::TempDir dir;
    const std::string f = dir.file("bad.txt");
    struct Case {
        std::string line, message;
    };
    const Case cases[] = {
        {"size 640", "size expects 2 value(s), found 1"},
        {"size 640 x", "--size expects a number in 16..8192, found 'x'"},
        {"frames 2.5", "--frames expects a whole number, found '2.5'"},
        {"noise -1", "--noise expects a number in 0..128, found '-1'"},
        {"tilt 90", "--tilt expects a number in 0..85, found '90'"},
        {"colour red", "unknown setting 'colour'"},
        {"background marble", "--background expects wood, cloth or flat, found 'marble'"},
        {"marker a.png", "marker expects NAME=PICTURE[,key=value...], found 'a.png'"},
        {"marker a=x.png tilt", "marker setting expects key=value, found 'tilt'"},
        {"marker a=x.png hue=3", "unknown marker setting 'hue' (expected width, card, box, distance, tilt, spin, px or path)"},
        {"marker a=x.png distance=500:300", "distance expects MIN:MAX with 10 <= MIN <= MAX <= 1e+06, found '500:300'"},
        {"marker a=x.png path=zigzag", "path expects drift, orbit, sweep or still, found 'zigzag'"},
        {"distance 900 300", "--distance expects a number in 900..1e+06, found '300'"},
    };
    for (const Case& c : cases) {
        vxtest::writeFile(f, "size 320 240\n" + c.line + "\n");
        SynthScene s;
        std::string error;
        EXPECT_FALSE(SceneReader::readFile(f, s, error)) << c.line;
        EXPECT_EQ(error, f + ":2: " + c.message);
    }
    SynthScene s;
    std::string error;
    EXPECT_FALSE(SceneReader::readFile(dir.file("none.txt"), s, error));
    EXPECT_EQ(error, "cannot open scene file '" + dir.file("none.txt") + "'");
}

TEST(SceneReader, DemoPresetIsFourBuiltInMarkers) {
    SynthScene s;
    std::string error;
    ASSERT_TRUE(SceneReader::applyPreset("demo", s, error));
    EXPECT_EQ(s.markers.size(), 4u);
    EXPECT_EQ(s.frames / s.fps, 10.0);
    EXPECT_EQ(s.width, 640);
    EXPECT_FALSE(SceneReader::applyPreset("party", s, error));
    EXPECT_EQ(error, "unknown preset 'party' (expected demo)");
}

}  // namespace
