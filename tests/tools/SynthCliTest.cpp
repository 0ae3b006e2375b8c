// vexamark-synth as a user runs it: outputs on disk, and bad command lines, scene
// files and pictures answered with one clear line and a non-zero exit status.

#include <gtest/gtest.h>

#include "ToolTestSupport.h"

namespace {

const std::string kTool = VEXAMARK_SYNTH_EXE;

TEST(SynthCli, WritesFramesVideoAndTruth) {
    vxtest::TempDir dir;
    vxtest::writeFile(dir.file("scene.txt"), "size 160 120\nframes 3\nmarker a=design:arrow\n");
    const auto r = vxtest::runCommand(kTool + " --scene " + dir.file("scene.txt") + " --png-dir " +
                                      dir.file("frames") + " --out " + dir.file("clip.mp4") + " --quiet");
#ifndef VEXAMARK_TOOLS_HAVE_MEDIA
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.output,
              "vexamark-synth: error: video output is not available in this build (no media layer); use --png-dir DIR\n");
    GTEST_SKIP() << "no media layer in this build";
#endif
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "");
    EXPECT_EQ(vxtest::readFile(dir.file("frames/frame_000002.png")).substr(1, 3), "PNG");
    EXPECT_EQ(vxtest::readFile(dir.file("frames/frame_000003.png")), "");
    EXPECT_GT(vxtest::readFile(dir.file("clip.mp4")).size(), 1000u);
    const std::string csv = vxtest::readFile(dir.file("clip.csv"));  // next to the video by default
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 4);
}

TEST(SynthCli, BadInputsGiveClearMessages) {
    vxtest::TempDir dir;
    const std::string d = dir.path() + "/";
    vxtest::writeFile(d + "scene.txt", "size 160 120\nspeed fast\n");
    vxtest::writeFile(d + "cut.png", "\x89PNG\r\n\x1a\n\x00\x00\x00\x0dIHDR");
    const std::string m = " --marker a=design:quad";
    struct Case {
        std::string args;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {m, 2, "vexamark-synth: error: no output given (expected --out VIDEO, --png-dir DIR or --csv FILE)"},
        {"--csv " + d + "t.csv", 1,
         "vexamark-synth: error: no markers in the scene (expected at least one --marker NAME=PICTURE or a preset)"},
        {m + " --noise loud --csv " + d + "t.csv", 2,
         "vexamark-synth: error: --noise expects a number in 0..128, found 'loud'"},
        {m + " --size 641 480 --out " + d + "v.mp4", 2,
         "vexamark-synth: error: video output needs an even picture size, found 641x480"},
        {m + " --wobble 3", 2, "vexamark-synth: error: unknown option '--wobble'"},
        {m + " --lighting 1 2", 2, "vexamark-synth: error: option '--lighting' expects 3 values"},
        {m + " extra --csv " + d + "t.csv", 2, "vexamark-synth: error: unexpected argument 'extra'"},
        {"--preset tiny --csv " + d + "t.csv", 2, "vexamark-synth: error: unknown preset 'tiny' (expected demo)"},
        {"--scene " + d + "scene.txt --csv " + d + "t.csv", 1,
         "vexamark-synth: error: " + d + "scene.txt:2: --speed expects a number in 0..100, found 'fast'"},
        {"--marker a=" + d + "cut.png --csv " + d + "t.csv", 1,
         "vexamark-synth: error: marker 'a': '" + d + "cut.png' is a corrupt or truncated PNG file ("},
        {"--marker a,b=design:quad --csv " + d + "t.csv", 2,
         "vexamark-synth: error: marker expects NAME=PICTURE[,key=value...], found 'a,b=design:quad'"},
        {"--marker a/b=design:quad --csv " + d + "t.csv", 1,
         "vexamark-synth: error: marker name 'a/b' must be letters, digits, '-', '_' or '.'"},
        {m + " --frames 2 --csv " + d + "no/dir/t.csv", 1, "vexamark-synth: error: cannot write '" + d + "no/dir/t.csv'"},
    };
    for (const Case& c : cases) {
        const auto r = vxtest::runCommand(kTool + " " + c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.output;
        EXPECT_EQ(r.output.rfind(c.message, 0), 0u) << c.args << "\n" << r.output;
    }
    EXPECT_EQ(vxtest::readFile(d + "t.csv"), "");
}

}  // namespace
