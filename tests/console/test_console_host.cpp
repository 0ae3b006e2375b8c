// The console host as a user runs it: a window session that ends by itself,
// a window closed by the window manager or destroyed outright, a working
// folder without "Data", and the information-only options.
#include "ChildProcess.h"
#include "EngineLog.h"
#include "TestFolder.h"
#include "XWindowDriver.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

namespace
{
const char* const kHost = VEXAMARK_BASIC_PATH;

class ConsoleHost : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!HaveDisplay()) GTEST_SKIP() << "needs an X display";
        folder.CopyWorkingFolder();
    }
    std::unique_ptr<ChildProcess> Start(const std::vector<std::string>& args)
    {
        // A home of the test's own: a run never touches the real user's folders.
        return std::make_unique<ChildProcess>(
            kHost, args, folder.Path(),
            std::vector<std::string>{"VEXAMARK_NONINTERACTIVE=1", "HOME=" + home.Path(),
                                     "XDG_DATA_HOME=" + (home / "data"), "XDG_CONFIG_HOME=" + (home / "config")});
    }
    std::string Log() const { return TestFolder::ReadFile(folder / "Data/messageLog.txt"); }

    TestFolder folder, home;
};

TEST_F(ConsoleHost, AFrameLimitedRunExitsCleanlyAndRewritesTheSettings)
{
    TestFolder::WriteFile(folder / "Data/VexaSettings.tsf", "<VEXA_SETTINGS>\n<THRESHOLD> 120, 5\n</VEXA_SETTINGS>\n");
    auto host = Start({"-frames:", "60"});
    ASSERT_TRUE(host->Wait(60.0)) << "the host did not stop by itself";
    EXPECT_EQ(host->ExitCode(), 0) << host->StandardError();
    const std::string log = Log();
    // The working folder first, then the engine's start-up.
    EXPECT_EQ(log.rfind("Start Vexamark LogFile v0.1 \n  \nMSG    0 Working folder: " + folder.Path() +
                            " (the current folder) \nMSG    1 VexaBox::Init()... \n",
                        0),
              0u)
        << log;
    const std::vector<std::string> messages = LogMessages(log);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), "VexaBox :Init : Complete");
    const std::string settings = TestFolder::ReadFile(folder / "Data/VexaSettings.tsf");
    EXPECT_EQ(settings.rfind("<VEXA_SETTINGS> \n    <CAMERA_PARAM> Data/camera_para.dat \n", 0), 0u) << settings;
    EXPECT_NE(settings.find("    <THRESHOLD> 120 \n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("    <SHOW_MOUSE> 0 \n    <ADAPTIVE_THRESHOLD> 1 \n</VEXA_SETTINGS> \n"),
              std::string::npos)
        << settings;
}

TEST_F(ConsoleHost, TheWindowManagersCloseRequestEndsTheRun)
{
    XWindowDriver x;
    ASSERT_TRUE(x.IsOpen());
    std::filesystem::remove(folder / "Data/VexaSettings.tsf");
    auto host = Start({});
    const Window window = x.WaitForWindow("Vexamark", host->Pid(), 30.0);
    ASSERT_NE(window, 0u) << host->StandardError();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    x.RequestClose(window);
    ASSERT_TRUE(host->Wait(30.0)) << "the host ignored the close request";
    EXPECT_EQ(host->ExitCode(), 0) << host->StandardError();
    EXPECT_TRUE(TestFolder::Exists(folder / "Data/VexaSettings.tsf")) << "an orderly end saves the settings";
}

TEST_F(ConsoleHost, AWindowDestroyedByAnotherProgramEndsTheRunCleanly)
{
    XWindowDriver x;
    ASSERT_TRUE(x.IsOpen());
    std::filesystem::remove(folder / "Data/VexaSettings.tsf");
    auto host = Start({});
    const Window window = x.WaitForWindow("Vexamark", host->Pid(), 30.0);
    ASSERT_NE(window, 0u) << host->StandardError();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    XDestroyWindow(x.GetDisplay(), window);
    XFlush(x.GetDisplay());
    ASSERT_TRUE(host->Wait(30.0)) << "the host did not notice its window was gone";
    EXPECT_EQ(host->ExitCode(), 0) << host->StandardError();
    EXPECT_TRUE(TestFolder::Exists(folder / "Data/VexaSettings.tsf"));
}

TEST_F(ConsoleHost, WithoutDataFolderOneErrorAndANormalRun)
{
    std::filesystem::remove_all(folder / "Data");
    auto host = Start({"-frames:", "10"});
    ASSERT_TRUE(host->Wait(60.0));
    EXPECT_EQ(host->ExitCode(), 0);
    const std::string err = host->StandardError();
    const std::string message = "Error!: Unable to create messageLog\n";
    ASSERT_NE(err.find(message), std::string::npos) << err;
    EXPECT_EQ(err.find(message, err.find(message) + 1), std::string::npos) << "shown more than once:\n" << err;
}

TEST_F(ConsoleHost, TheDemoRunOnAFreshWorkingFolderReportsNoError)
{
    // What the README's run command starts, on a working folder as installed.
    auto host = Start({"-video:", "Videos/demo.mp4", "-keys", "-frames:", "30"});
    ASSERT_TRUE(host->Wait(60.0));
    EXPECT_EQ(host->ExitCode(), 0);
    for (const std::string* output : {&host->StandardOutput(), &host->StandardError()})
    {
        std::string lower = *output;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(lower.find("error"), std::string::npos) << *output;
    }
    EXPECT_EQ(Log().find("Error"), std::string::npos) << Log();
}

TEST_F(ConsoleHost, HelpAndVersionAnswerOnStandardOutputAndTouchNothing)
{
    auto help = Start({"--help"});
    ASSERT_TRUE(help->Wait(30.0));
    EXPECT_EQ(help->ExitCode(), 0);
    EXPECT_NE(help->StandardOutput().find("-frames: N"), std::string::npos) << help->StandardOutput();
    auto version = Start({"--version"});
    ASSERT_TRUE(version->Wait(30.0));
    EXPECT_EQ(version->ExitCode(), 0);
    EXPECT_EQ(version->StandardOutput().rfind("Vexamark_basic ", 0), 0u);
    EXPECT_FALSE(TestFolder::Exists(folder / "Data/messageLog.txt"));
    EXPECT_EQ(TestFolder::ReadFile(folder / "Data/VexaSettings.tsf"), TestFolder::BundledSettings());
}
}
