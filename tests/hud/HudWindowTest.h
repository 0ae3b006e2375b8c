#pragma once
// What the HUD's window tests share: an X server of the test's own
// (640 × 480), a driver for its pointer and keys, a copy of the working
// folder, and the program under test, closed (or killed) at the end.

#include "ChildProcess.h"
#include "TestFolder.h"
#include "XWindowDriver.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class HudWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(server->Name().empty()) << "Xvfb did not start";
        x = std::make_unique<XWindowDriver>(server->Name());
        ASSERT_TRUE(x->IsOpen());
        ASSERT_TRUE(x->HasXTest()) << "needs the XTEST extension";
        folder.CopyWorkingFolder();
    }
    void TearDown() override
    {
        if (!host) return;
        if (window) x->RequestClose(window);
        if (!host->Wait(30.0)) host->Kill();
    }
    // Clicks with xdotool at a window pixel (y down), as a person's click arrives.
    void XdotoolClick(int wx, int wy)
    {
        ChildProcess click("/usr/bin/xdotool",
                           {"mousemove", "--window", std::to_string(window), std::to_string(wx), std::to_string(wy),
                            "sleep", "0.2", "click", "1"},
                           folder.Path(), {"DISPLAY=" + server->Name()});
        ASSERT_TRUE(click.Wait(20.0));
        ASSERT_EQ(click.ExitCode(), 0) << click.StandardError();
    }

    std::unique_ptr<XvfbServer> server = std::make_unique<XvfbServer>(640, 480);
    std::unique_ptr<XWindowDriver> x;
    TestFolder folder;
    std::unique_ptr<ChildProcess> host;
    Window window = 0;
};
