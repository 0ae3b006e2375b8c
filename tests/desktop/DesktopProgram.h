#pragma once
// The real desktop program (or its build on the test camera) run in a copy
// of the prepared working folder on an X server of the test's own, driven
// through the X server with keys and clicks, its windows read back. Nothing
// it opens with the desktop is opened: the requests are logged
// (VEXAMARK_OPEN_LOG) and read with Opened().

#include "ChildProcess.h"
#include "TestFolder.h"
#include "XWindowDriver.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class DesktopProgram : public ::testing::Test
{
protected:
    static const char* const kMainTitle;  // "Untitled - VexamarkMFC"

    void SetUp() override;
    /// Closes the main window if it is still there and waits for the end.
    void TearDown() override;

    /// Starts `program` with these arguments and waits for its main window.
    void Start(const std::string& program, const std::vector<std::string>& args);
    /// A window of the program with this title, 0 when none appears in time.
    Window WaitForWindow(const std::string& title, double seconds = 30.0);
    /// True once no window of this title is shown.
    bool WaitForWindowGone(const std::string& title, double seconds = 30.0);
    /// Waits for the window to show a picture that is not blank, saves it
    /// as a screenshot `name`.ppm and returns whether one was seen.
    bool ScreenshotNotBlank(Window window, const std::string& name);
    /// Opens a menu of the main window with Alt+`menu` and picks an item by its key.
    void Menu(const char* menu, const char* item);
    /// Waits for a dialog of this title, keeps its screenshot (checked not
    /// blank) and gives it the keyboard; 0 when it does not show.
    Window Dialog(const std::string& title, const std::string& screenshot);
    /// The requests to open or print, one "VERB TARGET" per line.
    std::string Opened() const;
    /// Waits until `line` (without its line end) is among the requests.
    bool WaitForOpened(const std::string& line);
    /// Waits for the program to end; its exit code, -1 when it did not.
    int WaitForExit(double seconds = 60.0);
    std::string Log() const { return TestFolder::ReadFile(folder / "Data/messageLog.txt"); }

    XvfbServer server;  // keys need a keyboard focus of their own
    XWindowDriver x{server.Name()};
    TestFolder folder;
    std::unique_ptr<ChildProcess> program;
    Window main = 0;
};

/// A picture with something on it: many grey levels, not one flat colour.
bool NotBlank(const XWindowDriver::Picture& picture);
