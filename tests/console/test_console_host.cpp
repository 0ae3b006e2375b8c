// The console host as a user runs it: a window session that ends by itself,
// a window closed by the window manager or destroyed outright, a working
// folder without "Data", and the information-only options.
#include "ChildProcess.h"
#include "EngineLog.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

namespace
{
const char* const kHost = VEXAMARK_BASIC_PATH;

long windowPid(Display* display, Window window)
{
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), 0, 1, False, XA_CARDINAL,
                           &type, &format, &count, &after, &data) == Success && data)
    {
        if (count == 1 && format == 32) pid = *reinterpret_cast<long*>(data);
        XFree(data);
    }
    return pid;
}

// Depth-first search for a window with this title owned by process `pid`:
// other tests may show windows of the same title on the same display.
Window findWindow(Display* display, Window root, const std::string& title, long pid)
{
    Window parent, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, root, &root, &parent, &children, &count)) return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i)
    {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name)
        {
            if (title == name && windowPid(display, children[i]) == pid) found = children[i];
            XFree(name);
        }
        if (!found) found = findWindow(display, children[i], title, pid);
    }
    if (children) XFree(children);
    return found;
}

Window waitForWindow(Display* display, const std::string& title, long pid, double seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline)
    {
        if (Window w = findWindow(display, DefaultRootWindow(display), title, pid)) return w;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return 0;
}

// What a window manager's close button sends.
void requestClose(Display* display, Window window)
{
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = window;
    ev.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &ev);
    XFlush(display);
}

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
        return std::make_unique<ChildProcess>(kHost, args, folder.Path(),
                                              std::vector<std::string>{"VEXAMARK_NONINTERACTIVE=1"});
    }
    std::string Log() const { return TestFolder::ReadFile(folder / "Data/messageLog.txt"); }

    TestFolder folder;
};

TEST_F(ConsoleHost, AFrameLimitedRunExitsCleanlyAndRewritesTheSettings)
{
    TestFolder::WriteFile(folder / "Data/VexaSettings.tsf", "<VEXA_SETTINGS>\n<THRESHOLD> 120, 5\n</VEXA_SETTINGS>\n");
    auto host = Start({"-frames:", "60"});
    ASSERT_TRUE(host->Wait(60.0)) << "the host did not stop by itself";
    EXPECT_EQ(host->ExitCode(), 0) << host->StandardError();
    const std::string log = Log();
    EXPECT_EQ(log.rfind("Start Vexamark LogFile v0.1 \n  \nMSG    0 VexaBox::Init()... \n", 0), 0u) << log;
    const std::vector<std::string> messages = LogMessages(log);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), "VexaBox :Init : Complete");
    const std::string settings = TestFolder::ReadFile(folder / "Data/VexaSettings.tsf");
    EXPECT_EQ(settings.rfind("<VEXA_SETTINGS> \n    <CAMERA_PARAM> Data/camera_para.dat \n", 0), 0u) << settings;
    EXPECT_NE(settings.find("    <THRESHOLD> 120 \n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("    <SHOW_MOUSE> 0 \n    <ADAPTIVE_THRESHOLD> 0 \n</VEXA_SETTINGS> \n"),
              std::string::npos)
        << settings;
}

TEST_F(ConsoleHost, TheWindowManagersCloseRequestEndsTheRun)
{
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    auto host = Start({});
    const Window window = waitForWindow(display, "Vexamark", host->Pid(), 30.0);
    ASSERT_NE(window, 0u) << host->StandardError();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    requestClose(display, window);
    ASSERT_TRUE(host->Wait(30.0)) << "the host ignored the close request";
    EXPECT_EQ(host->ExitCode(), 0) << host->StandardError();
    EXPECT_TRUE(TestFolder::Exists(folder / "Data/VexaSettings.tsf"));
    XCloseDisplay(display);
}

TEST_F(ConsoleHost, AWindowDestroyedByAnotherProgramEndsTheRunCleanly)
{
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    auto host = Start({});
    const Window window = waitForWindow(display, "Vexamark", host->Pid(), 30.0);
    ASSERT_NE(window, 0u) << host->StandardError();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    XDestroyWindow(display, window);
    XFlush(display);
    ASSERT_TRUE(host->Wait(30.0)) << "the host did not notice its window was gone";
    EXPECT_EQ(host->ExitCode(), 0) << host->StandardError();
    EXPECT_TRUE(TestFolder::Exists(folder / "Data/VexaSettings.tsf"));
    XCloseDisplay(display);
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
    EXPECT_FALSE(TestFolder::Exists(folder / "Data/VexaSettings.tsf"));
}
}
