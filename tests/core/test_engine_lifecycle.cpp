// A real engine in this process: start-up order, the frame clock, the frame
// limit, window loss, and the information-only options.
#include "CVexaBox.h"

#include "EngineLog.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace
{
std::vector<char*> argvOf(std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    return argv;
}

class EngineLifecycle : public ::testing::Test
{
protected:
    void SetUp() override { folder.CopyWorkingFolder(); }
    bool Init(std::vector<std::string> args)
    {
        args.insert(args.begin(), "Vexamark_basic");
        std::vector<char*> argv = argvOf(args);
        return box.Init(static_cast<int>(args.size()), argv.data(), "Data/dataList.dat", false, false, false, false);
    }

    TestFolder folder;
    ScopedCurrentFolder inFolder{folder.Path()};
    CVexaBox box;
};

TEST_F(EngineLifecycle, HelpAndVersionBuildNothingAndWriteNoFile)
{
    for (const char* option : {"--help", "--version"})
    {
        CVexaBox info;
        std::vector<std::string> args{"Vexamark_basic", option};
        std::vector<char*> argv = argvOf(args);
        ::testing::internal::CaptureStdout();
        EXPECT_TRUE(info.Init(2, argv.data(), "Data/dataList.dat", false, false, false, false));
        const std::string out = ::testing::internal::GetCapturedStdout();
        EXPECT_FALSE(info.Update(0.01f));
        info.CleanUp();
        if (std::string(option) == "--help")
            EXPECT_EQ(out.rfind("Usage: Vexamark_basic [options]\n", 0), 0u) << out;
        else
            EXPECT_EQ(out, "Vexamark_basic " + std::string(VEXAMARK_TEST_VERSION) + "\n");
        EXPECT_EQ(info.GetRenderSurface(), nullptr);
    }
    EXPECT_FALSE(TestFolder::Exists(folder / "Data/messageLog.txt"));
    EXPECT_EQ(TestFolder::ReadFile(folder / "Data/VexaSettings.tsf"), TestFolder::BundledSettings());
}

TEST_F(EngineLifecycle, StartUpLogsEveryStepInOrder)
{
    if (!HaveDisplay()) GTEST_SKIP() << "needs an X display";
    ::testing::internal::CaptureStdout();
    ASSERT_TRUE(Init({"-frames:", "1"}));
    ::testing::internal::GetCapturedStdout();
    EXPECT_TRUE(box.IsInitialised());
    // The engine's own lines, in order; the subsystems' lines come between them.
    const std::vector<std::string> expected = {
        "VexaBox::Init()...",
        "VexaBox :Init : Init Sound Manager",
        "VexaBox :Init : Sound Manager initalised",
        "VexaBox :Init : Attaching Video Node to graph",
        "VexaBox :Init : Creating debug and hider layers",
        "VexaBox :Init : Applying light rig to graph",
        "VexaBox :Init : Lights attached successfully",
        "VexaBox :Init : Attaching Message Hud",
        "VexaBox :Init : Creating ZepHud",
        "VexaBox :Init : Build GUI",
        "VexaBox :Init : GUI built",
        "VexaBox :Init : Apply Tracker projection matrix",
        "VexaBox :Init : Setting Viewer Scene Data",
        "VexaBox :Init : Viewer Scene Data set",
        "VexaBox :Init : Splash Screen Terminated",
        "VexaBox :Init : Render surface realized",
        "VexaBox :Init : Starting webcam stream",
        "VexaBox :Init : Webcam started",
        "VexaBox :Init : Complete",
    };
    const std::vector<std::string> all = LogMessages(TestFolder::ReadFile(folder / "Data/messageLog.txt"));
    std::vector<std::string> own;
    for (const std::string& line : all)
        if (line.rfind("VexaBox", 0) == 0) own.push_back(line);
    EXPECT_EQ(own, expected);
    auto at = [&](const std::string& line) {
        return std::find(all.begin(), all.end(), line) - all.begin();
    };
    // The video source is made before the sound manager, the content after it.
    EXPECT_LT(at("CVideo::Init()...."), at("VexaBox :Init : Init Sound Manager"));
    EXPECT_LT(at("VexaBox :Init : Sound Manager initalised"), at("ObjectManager::Init()..."));
    EXPECT_LT(at("ObjectManager: Init: Complete"), at("VexaBox :Init : Attaching Video Node to graph"));
    // The settings file did not exist: ReadSettings wrote it.
    EXPECT_TRUE(TestFolder::Exists(folder / "Data/VexaSettings.tsf"));
    box.CleanUp();
}

TEST_F(EngineLifecycle, FixedTimeStepAdvancesExactlyOneStepPerFrameUntilTheLimit)
{
    if (!HaveDisplay()) GTEST_SKIP() << "needs an X display";
    ASSERT_TRUE(Init({"-FFMPEG", "-frames:", "5"}));
    std::vector<double> times;
    int frames = 0;
    while (box.Update(0.01f))
    {
        EXPECT_FLOAT_EQ(box.GetLastTimeStep(), 0.0333f);
        times.push_back(box.GetReferenceTime());
        box.Render();
        ++frames;
        ASSERT_LT(frames, 100);
    }
    EXPECT_EQ(frames, 5);
    for (size_t i = 1; i < times.size(); ++i) EXPECT_NEAR(times[i] - times[i - 1], 0.0333, 1e-9);
    box.CleanUp();
    box.CleanUp();  // a second clean-up does nothing
}

TEST_F(EngineLifecycle, AClosedWindowEndsTheLoopBeforeTheFramesLogic)
{
    if (!HaveDisplay()) GTEST_SKIP() << "needs an X display";
    ASSERT_TRUE(Init({}));
    ASSERT_TRUE(box.Update(0.01f));
    box.Render();
    ASSERT_TRUE(box.GetRenderSurface()->isRealized());
    box.GetHud()->ChangeString("shown");
    box.GetRenderSurface()->stop();
    EXPECT_FALSE(box.Update(0.01f));
    // The HUD was not aged: the frame's logic did not run.
    EXPECT_TRUE(box.GetHud()->IsMessageShown());
    box.CleanUp();
    EXPECT_TRUE(TestFolder::Exists(folder / "Data/VexaSettings.tsf"));
}

TEST_F(EngineLifecycle, FullScreenTwiceLeavesASquareOfHalfTheScreenWidth)
{
    if (!HaveDisplay()) GTEST_SKIP() << "needs an X display";
    ASSERT_TRUE(Init({}));
    box.ToggleFullScreen();
    EXPECT_TRUE(box.GetRenderSurface()->isFullScreen());
    EXPECT_FALSE(box.GetRenderSurface()->usesBorder());
    box.ToggleFullScreen();
    int x, y;
    unsigned w, h;
    box.GetRenderSurface()->getWindowRectangle(x, y, w, h);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(w, static_cast<unsigned>(box.GetScreenWidth() / 2));
    EXPECT_EQ(h, w);
    EXPECT_TRUE(box.GetRenderSurface()->usesBorder());
    box.CleanUp();
}

TEST_F(EngineLifecycle, HelpToggleShowsTheKeyHelpOnTheSecondPress)
{
    EXPECT_EQ(box.GetHelpText().rfind("Vexamark Keyboard Help:\n\nF1 := Toggle help screen \n", 0), 0u);
    EXPECT_NE(box.GetHelpText().find("\ns := Save Tracker Settings"), std::string::npos);
    if (!HaveDisplay()) GTEST_SKIP() << "needs an X display";
    ASSERT_TRUE(Init({}));
    box.ToggleShowHelp();
    EXPECT_TRUE(box.GetHud()->IsInfoHidden());
    box.ToggleShowHelp();
    EXPECT_FALSE(box.GetHud()->IsInfoHidden());
    EXPECT_EQ(box.GetHud()->GetInfoText(), box.GetHelpText());
    box.CleanUp();
}
}
