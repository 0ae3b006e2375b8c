// The real VexamarkMFC on the demo clip, driven through its X server: the
// window shows the clip with content on the markers, full screen on Space
// and back on Escape, the menus and their keys reach the engine and the
// desktop, and closing the window ends the frame loop in order.
#include "DesktopProgram.h"

#include <osg/Image>
#include <osgDB/ReadFile>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

namespace
{
const std::vector<std::string> kDemo = {"-video:", "Videos/demo.mp4", "-poses:", "poses.csv"};

// Rows of the pose file whose marker was found.
int FoundPoses(const std::string& csv)
{
    std::istringstream lines(csv);
    std::string line;
    int found = 0;
    std::getline(lines, line);  // header
    while (std::getline(lines, line))
    {
        // frame,time,marker,valid,...
        size_t comma = 0;
        for (int field = 0; field < 3 && comma != std::string::npos; ++field) comma = line.find(',', comma + 1);
        if (comma != std::string::npos && line.compare(comma + 1, 2, "1,") == 0) ++found;
    }
    return found;
}

class DesktopDemo : public DesktopProgram
{
};
}

TEST_F(DesktopDemo, ShowsTheClipWithContentOnTheMarkersAndEndsInOrderWhenClosed)
{
    Start(VEXAMARK_MFC_PATH, kDemo);
    int left, top, width, height;
    ASSERT_TRUE(x.Geometry(main, left, top, width, height));
    EXPECT_EQ(width, 640);
    EXPECT_TRUE(ScreenshotNotBlank(main, "main-window")) << "the window shows no picture";
    // Let the clip run until the markers have been seen for a while.
    ASSERT_TRUE(WaitUntil(60.0, [&]() { return Log().find("VexaBox :Init : Complete") != std::string::npos; }));
    std::this_thread::sleep_for(std::chrono::seconds(3));

    x.RequestClose(main);
    EXPECT_EQ(WaitForExit(), 0) << program->StandardError();
    EXPECT_NE(Log().find("Destory Vexamark Viewer"), std::string::npos);
    // The pose file gets its name only when the run ends in order.
    ASSERT_TRUE(TestFolder::Exists(folder / "poses.csv"));
    EXPECT_GT(FoundPoses(TestFolder::ReadFile(folder / "poses.csv")), 0) << "no marker was found";
    EXPECT_TRUE(TestFolder::Exists(folder / "Data/VexaSettings.tsf"));
}

TEST_F(DesktopDemo, SpaceTogglesFullScreenAndEscapeLeavesIt)
{
    Start(VEXAMARK_MFC_PATH, kDemo);
    int left, top, width, height;
    ASSERT_TRUE(x.Geometry(main, left, top, width, height));
    const int windowedWidth = width, windowedHeight = height;

    x.Key("Escape");  // not full screen: nothing happens
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(x.Geometry(main, left, top, width, height));
    EXPECT_EQ(width, windowedWidth);

    x.Key("space");
    EXPECT_TRUE(WaitUntil(20.0, [&]() {
        return x.Geometry(main, left, top, width, height) && width == 1280 && height == 1024;
    })) << "full screen: " << width << "x" << height;
    EXPECT_EQ(left, 0);
    EXPECT_EQ(top, 0);
    EXPECT_TRUE(ScreenshotNotBlank(main, "full-screen"));

    x.Key("Escape");
    EXPECT_TRUE(WaitUntil(20.0, [&]() {
        return x.Geometry(main, left, top, width, height) && width == windowedWidth && height == windowedHeight;
    })) << "after Escape: " << width << "x" << height;

    x.Key("space");
    EXPECT_TRUE(WaitUntil(20.0, [&]() { return x.Geometry(main, left, top, width, height) && width == 1280; }));
    x.Key("space");
    EXPECT_TRUE(WaitUntil(20.0, [&]() {
        return x.Geometry(main, left, top, width, height) && width == windowedWidth;
    })) << "Space again leaves full screen";
}

TEST_F(DesktopDemo, MenuCommandsAndTheirKeys)
{
    Start(VEXAMARK_MFC_PATH, kDemo);
    ASSERT_TRUE(ScreenshotNotBlank(main, "before-commands"));

    // Capture > Capture Picture ("c"): a JPEG of the window.
    x.Key("c");
    const std::string capture = folder / "captures/vexaCapture00000.jpg";
    ASSERT_TRUE(WaitUntil(30.0, [&]() { return TestFolder::Exists(capture); })) << "no capture";
    EXPECT_TRUE(WaitUntil(10.0, [&]() {
        osg::ref_ptr<osg::Image> shot = osgDB::readRefImageFile(capture);
        return shot.valid() && shot->s() == 640 && shot->t() == 480;
    }));

    // Help > View Help File... (F1).
    x.Key("F1");
    EXPECT_TRUE(WaitForOpened("open file://" + folder.Path() + "/Help%20Documents/HelpFile.html")) << Opened();

    // File > Open Printable Symbol File..., by a click on the menu bar.
    x.Click(main, 18, 10);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    x.Key("o");
    const std::string sheet = "open file://" + folder.Path() + "/corvane_symbol.pdf";
    EXPECT_TRUE(WaitForOpened(sheet)) << Opened();

    // File > Print Symbols...: unattended, the question's answer is Cancel, which opens the sheet.
    Menu("f", "p");
    EXPECT_TRUE(WaitUntil(20.0, [&]() {
        std::string text = Opened();
        return text.find(sheet) != text.rfind(sheet);
    })) << Opened();

    // Tools > Camera Settings... with a clip: no camera to set.
    Menu("t", "c");

    // Tools > Search for Vexamark Card (F9): OK runs the scan.
    x.PointInto(main, 0.5);
    x.Key("F9");
    ASSERT_NE(Dialog("Vexamark Calibration", "scan-dialog"), 0u);
    x.Key("Return");
    EXPECT_TRUE(WaitForWindowGone("Vexamark Calibration"));

    // File > Exit (Alt+X) ends the program in order.
    x.PointInto(main, 0.5);
    x.Chord("Alt+x");
    EXPECT_EQ(WaitForExit(), 0);
    const std::string said = program->StandardError();
    EXPECT_NE(said.find("No Video Settings avaliable when using basic video mode"), std::string::npos) << said;
    EXPECT_NE(said.find("Are you sure you wont to print to default printer?\nClick OK to print or cancel to open the file"),
              std::string::npos)
        << said;
    EXPECT_NE(Log().find("Destory Vexamark Viewer"), std::string::npos);
    // The scan chose a threshold, and it was saved at the end.
    EXPECT_NE(TestFolder::ReadFile(folder / "Data/VexaSettings.tsf"), TestFolder::BundledSettings());
}
