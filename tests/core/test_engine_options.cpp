// The engine's command line: table order, whole-argument matching and the
// unattended options.
#include "CEngineOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
CEngineOptions parse(std::vector<std::string> args)
{
    args.insert(args.begin(), "Vexamark_basic");
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    return CEngineOptions::Parse(static_cast<int>(argv.size()), argv.data());
}

struct SourceCase
{
    const char* name;
    std::vector<std::string> args;
    const char* type;
    bool fixedStep;
};

class VideoSourceOption : public ::testing::TestWithParam<SourceCase>
{
};

TEST_P(VideoSourceOption, LaterTableRowWins)
{
    const CEngineOptions o = parse(GetParam().args);
    EXPECT_EQ(o.videoSourceType, GetParam().type);
    EXPECT_EQ(o.fixedTimeStep, GetParam().fixedStep);
}

INSTANTIATE_TEST_SUITE_P(
    Table, VideoSourceOption,
    ::testing::Values(SourceCase{"none", {}, "DSHOW", false},
                      SourceCase{"imaging", {"-imagingplugin"}, "imagingsource", false},
                      SourceCase{"ffmpeg", {"-FFMPEG"}, "FFMPEG", true},
                      SourceCase{"vrmagic", {"-vrmagic"}, "VRMAGIC", false},
                      SourceCase{"dshow_then_camvideo", {"-dshow", "-camvideo"}, "camvideo", false},
                      SourceCase{"camvideo_then_dshow", {"-camvideo", "-dshow"}, "camvideo", false},
                      // The fixed time step stays even when a later row picks the source.
                      SourceCase{"ffmpeg_then_dshow", {"-FFMPEG", "-dshow"}, "DSHOW", true},
                      SourceCase{"wrong_case_is_not_an_option", {"-ffmpeg", "-DSHOW", "--dshow"}, "DSHOW", false}),
    [](const ::testing::TestParamInfo<SourceCase>& info) { return std::string(info.param.name); });

TEST(EngineOptions, UseFolderTakesTheNextArgumentOnly)
{
    EXPECT_EQ(parse({"-usefolder:", "content/demo"}).contentFolder, "content/demo");
    EXPECT_EQ(parse({"-usefolder:content/demo"}).contentFolder, "models");
    EXPECT_EQ(parse({"-usefolder:"}).contentFolder, "models");
    EXPECT_EQ(parse({"-usefolder:", "a", "-usefolder:", "b"}).contentFolder, "b");
    EXPECT_TRUE(parse({"-vexadebug"}).debugFolder);
    EXPECT_FALSE(parse({}).debugFolder);
}

TEST(EngineOptions, FilesAndFramesTakeTheirValueFromTheNextArgument)
{
    const CEngineOptions o = parse({"-frames:", "60", "-video:", "Videos/demo.mp4", "-record:", "out.mp4", "-poses:",
                                    "out.csv", "-headless"});
    EXPECT_EQ(o.frameLimit, 60u);
    EXPECT_FALSE(o.untilClipEnds);
    EXPECT_EQ(o.videoFile, "Videos/demo.mp4");
    EXPECT_EQ(o.recordFile, "out.mp4");
    EXPECT_EQ(o.posesFile, "out.csv");
    EXPECT_TRUE(o.headless);
    EXPECT_TRUE(o.warnings.empty());
    EXPECT_EQ(parse({"-frames:60"}).frameLimit, 0u);
    EXPECT_EQ(parse({}).frameLimit, 0u);
    EXPECT_FALSE(parse({}).headless);
    // 0 frames: the clip plays once and the run ends after its last frame.
    const CEngineOptions once = parse({"-frames:", "0"});
    EXPECT_TRUE(once.untilClipEnds);
    EXPECT_EQ(once.frameLimit, 0u);
    EXPECT_TRUE(once.warnings.empty());
}

TEST(EngineOptions, UnusableValuesAreIgnoredWithAWarning)
{
    struct Case
    {
        std::vector<std::string> args;
        std::string warning;
    };
    const Case cases[] = {
        {{"-frames:", "abc"}, "Ignoring -frames: expected a whole number of 0 or more after it, found 'abc'"},
        {{"-frames:", "-5"}, "Ignoring -frames: expected a whole number of 0 or more after it, found '-5'"},
        {{"-frames:", "99999999999"},
         "Ignoring -frames: expected a whole number of 0 or more after it, found '99999999999'"},
        {{"-frames:"}, "Ignoring -frames: expected a whole number of 0 or more after it, found ''"},
        {{"-video:"}, "Ignoring -video: expected a video file name after it, found nothing"},
        {{"-record:"}, "Ignoring -record: expected the name of the video file to record after it, found nothing"},
        {{"-poses:", ""}, "Ignoring -poses: expected the name of the pose file to write after it, found nothing"},
    };
    for (const Case& c : cases)
    {
        const CEngineOptions o = parse(c.args);
        ASSERT_EQ(o.warnings.size(), 1u) << c.warning;
        EXPECT_EQ(o.warnings[0], c.warning);
        EXPECT_EQ(o.frameLimit, 0u);
    }
}

TEST(EngineOptions, HelpAndVersionAreRecognisedAnywhere)
{
    EXPECT_TRUE(parse({"-dshow", "--help"}).showHelp);
    EXPECT_TRUE(parse({"--version"}).showVersion);
    EXPECT_FALSE(parse({"-help"}).showHelp);
    const std::string help = CEngineOptions::HelpText("Vexamark_basic");
    EXPECT_TRUE(parse({"-keys"}).keyCommands);
    EXPECT_FALSE(parse({"-Keys"}).keyCommands);
    for (const char* option : {"-imagingplugin", "-FFMPEG", "-dshow", "-vrmagic", "-camvideo", "-usefolder:",
                               "-vexadebug", "-frames:", "-video:", "-keys", "-record:", "-poses:", "-headless", "--help",
                               "--version"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
}
}
