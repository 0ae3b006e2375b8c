// Keys typed into the console host's real window through the X server, and
// what the window shows afterwards: the threshold view (F6) with its edge
// following the arrow keys, the video hidden (F5), the threshold scan (F9)
// and continuous captures (F7).
#include "ChildProcess.h"
#include "TestFolder.h"
#include "XWindowDriver.h"
#include "XvfbServer.h"

#include "COsgSettings.h"
#include "MediaFileWriter.h"

#include <gtest/gtest.h>

#include <osg/Image>
#include <osgDB/ReadFile>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

namespace
{
const char* const kHost = VEXAMARK_BASIC_PATH;
const int kWidth = 640, kHeight = 480;
const int kRow = 240;  // a row away from the text HUD at the top and bottom

// Writes a clip of `frames` frames whose picture `draw` paints (grey levels, rows top-down).
void writeClip(const std::string& path, int frames, const std::function<uint8_t(int x, int y)>& grey)
{
    vexa::media::MediaFileWriter writer;
    vexa::media::MediaFileWriter::Settings settings;
    settings.width = kWidth;
    settings.height = kHeight;
    settings.frameRateNum = 25;
    settings.layout = vexa::media::MediaFileWriter::PixelLayout::RGB;
    settings.quality = 100;
    ASSERT_TRUE(writer.open(path, settings)) << writer.lastError();
    std::vector<uint8_t> rgb(static_cast<size_t>(kWidth) * kHeight * 3);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
        {
            const uint8_t g = grey(x, y);
            uint8_t* p = &rgb[(static_cast<size_t>(y) * kWidth + x) * 3];
            p[0] = p[1] = p[2] = g;
        }
    for (int i = 0; i < frames; ++i) ASSERT_TRUE(writer.writeVideoFrame(rgb.data())) << writer.lastError();
    ASSERT_TRUE(writer.close()) << writer.lastError();
}

// Grey level of the ramp clip at column x: 0 at the left edge, 255 at the right.
uint8_t ramp(int x, int)
{
    return static_cast<uint8_t>(std::lround(x * 255.0 / (kWidth - 1)));
}

// How the middle row of a window picture looks.
struct RowShape
{
    double twoValued = 0;  // share of pixels that are black or white
    int edge = -1;         // first column of the last run of white pixels
    bool rising = false;   // a ramp: grey levels grow from left to right
    double clearColour = 0;  // share of pixels of the engine's clear colour
};

RowShape shapeOf(const XWindowDriver::Picture& picture)
{
    RowShape shape;
    int binary = 0, clear = 0, rises = 0;
    for (int x = 0; x < picture.width; ++x)
    {
        const uint8_t* p = picture.At(x, kRow);
        const int g = picture.Grey(x, kRow);
        if (g <= 8 || g >= 247) ++binary;
        if (g <= 128 && shape.edge >= 0) shape.edge = -1;
        if (g > 128 && shape.edge < 0) shape.edge = x;
        // The clear colour (0.5, 0.5, 0.6) as 8-bit values.
        if (std::abs(p[0] - 128) <= 3 && std::abs(p[1] - 128) <= 3 && std::abs(p[2] - 153) <= 3) ++clear;
        if (x >= 8 && picture.Grey(x, kRow) >= picture.Grey(x - 8, kRow) + 1) ++rises;
    }
    shape.twoValued = double(binary) / picture.width;
    shape.clearColour = double(clear) / picture.width;
    shape.rising = rises > picture.width * 8 / 10;
    return shape;
}

// The column where the threshold view of the ramp turns from black to white.
int edgeFor(int threshold)
{
    return static_cast<int>(std::ceil(threshold * (kWidth - 1) / 255.0));
}

class WindowKeys : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(server.Name().empty()) << "Xvfb did not start";
        ASSERT_TRUE(x.IsOpen()) << "cannot connect to " << server.Name();
        ASSERT_TRUE(x.HasXTest()) << "needs the XTEST extension";
        folder.CopyWorkingFolder();
    }
    void TearDown() override
    {
        if (host)
        {
            if (window) x.RequestClose(window);
            if (!host->Wait(30.0)) host->Kill();
        }
    }

    void Start(const std::string& clip)
    {
        host = std::make_unique<ChildProcess>(kHost, std::vector<std::string>{"-video:", clip, "-keys"},
                                              folder.Path(),
                                              std::vector<std::string>{"VEXAMARK_NONINTERACTIVE=1", display});
        window = x.WaitForWindow("Vexamark", host->Pid(), 60.0);
        ASSERT_NE(window, 0u) << host->StandardError();
        x.PointInto(window);
    }
    // Waits until the window's middle row has the wanted shape.
    RowShape WaitForRow(const std::function<bool(const RowShape&)>& wanted, const char* what)
    {
        XWindowDriver::Picture picture;
        const bool seen = x.WaitForPicture(window, 30.0, [&](const XWindowDriver::Picture& p) {
            return wanted(shapeOf(p));
        }, picture);
        const RowShape shape = picture.width ? shapeOf(picture) : RowShape();
        EXPECT_TRUE(seen) << what << ": two-valued " << shape.twoValued << ", edge " << shape.edge << ", rising "
                          << shape.rising << ", clear colour " << shape.clearColour;
        return shape;
    }
    // The threshold the running program holds, as it saves it ("s").
    int SavedThreshold()
    {
        const std::string path = folder / "Data/VexaSettings.tsf";
        std::filesystem::remove(path);
        x.Key("s");
        if (!WaitUntil(30.0, [&]() { return TestFolder::Exists(path); })) return -1;
        COsgSettings file;
        if (!file.Load(path) || !file.FindFirst("<THRESHOLD>")) return -1;
        file.NextString();
        return file.NextInt();
    }
    // Presses a key several times, one press per drawn frame at most.
    void Repeat(const std::string& key, int times)
    {
        for (int i = 0; i < times; ++i)
        {
            x.Key(key);
            std::this_thread::sleep_for(std::chrono::milliseconds(120));
        }
    }

    XvfbServer server;  // keys need a keyboard focus of their own
    XWindowDriver x{server.Name()};
    std::string display = "DISPLAY=" + server.Name();
    TestFolder folder;
    std::unique_ptr<ChildProcess> host;
    Window window = 0;
};

TEST_F(WindowKeys, F6ShowsTheTwoValuedPictureWhoseEdgeFollowsTheArrows)
{
    writeClip(folder / "Videos/ramp.mp4", 25, ramp);
    Start("Videos/ramp.mp4");
    WaitForRow([](const RowShape& s) { return s.rising; }, "the ramp is shown");

    x.Key("F6");
    RowShape shape = WaitForRow([](const RowShape& s) { return s.twoValued > 0.97; }, "F6 shows two values");
    const int start = SavedThreshold();
    ASSERT_GE(start, 0);
    EXPECT_NEAR(shape.edge, edgeFor(start), 4) << "threshold " << start;

    Repeat("Up", 12);
    const int raised = SavedThreshold();
    EXPECT_GT(raised, start);
    shape = WaitForRow([&](const RowShape& s) { return std::abs(s.edge - edgeFor(raised)) <= 4; }, "Up moves the edge");
    EXPECT_GT(shape.twoValued, 0.97);

    Repeat("Down", 20);
    const int lowered = SavedThreshold();
    EXPECT_LT(lowered, raised);
    WaitForRow([&](const RowShape& s) { return std::abs(s.edge - edgeFor(lowered)) <= 4; }, "Down moves the edge");

    x.Key("F6");
    WaitForRow([](const RowShape& s) { return s.rising && s.twoValued < 0.2; }, "F6 again shows the picture");
}

// With local thresholding (the default) the view shows what the tracker
// labels: a small grey square on white paper is dark beside the paper around
// it, although its grey level lies far above the single threshold.
TEST_F(WindowKeys, F6UnderLocalThresholdingShowsTheTrackersOwnPicture)
{
    const int left = 100, right = 140;
    writeClip(folder / "Videos/square.mp4", 25, [&](int x, int y) -> uint8_t {
        return x >= left && x < right && y >= kRow - 20 && y < kRow + 20 ? 150 : 230;
    });
    Start("Videos/square.mp4");
    x.Key("F6");
    XWindowDriver::Picture picture;
    const auto squareBlackPaperWhite = [&](const XWindowDriver::Picture& p) {
        for (int col = left + 4; col < right - 4; ++col)
            if (p.Grey(col, kRow) > 8) return false;
        for (int col = right + 60; col < p.width - 8; col += 7)
            if (p.Grey(col, kRow) < 247) return false;
        return true;
    };
    EXPECT_TRUE(x.WaitForPicture(window, 30.0, squareBlackPaperWhite, picture))
        << "square " << (picture.width ? picture.Grey((left + right) / 2, kRow) : -1) << ", paper "
        << (picture.width ? picture.Grey(400, kRow) : -1) << ", threshold " << SavedThreshold();
}

TEST_F(WindowKeys, F5HidesTheVideoBehindTheClearColourAndShowsItAgain)
{
    writeClip(folder / "Videos/ramp.mp4", 25, ramp);
    Start("Videos/ramp.mp4");
    WaitForRow([](const RowShape& s) { return s.rising; }, "the ramp is shown");
    x.Key("F5");
    WaitForRow([](const RowShape& s) { return s.clearColour > 0.98; }, "F5 hides the video");
    x.Key("F5");
    WaitForRow([](const RowShape& s) { return s.rising; }, "F5 again shows the video");
    // The threshold view of a hidden video shows nothing either.
    x.Key("F5");
    x.Key("F6");
    WaitForRow([](const RowShape& s) { return s.clearColour > 0.98; }, "hidden while the threshold view is on");
}

// A still picture of one demo marker, ink at grey 22 on paper of grey 213:
// every threshold from 25 to 210 sees exactly the same two-valued picture.
void writeMarkerClip(const std::string& path, const std::string& markerPng)
{
    osg::ref_ptr<osg::Image> marker = osgDB::readRefImageFile(markerPng);
    ASSERT_TRUE(marker.valid()) << markerPng;
    const int side = 240, left = (kWidth - side) / 2, top = (kHeight - side) / 2;
    writeClip(path, 25, [&](int x, int y) -> uint8_t {
        if (x < left || x >= left + side || y < top || y >= top + side) return 213;
        // Image rows are stored bottom-up.
        const int mx = (x - left) * marker->s() / side;
        const int my = marker->t() - 1 - (y - top) * marker->t() / side;
        const osg::Vec4 c = marker->getColor(mx, my);
        return (c.r() + c.g() + c.b()) / 3 < 0.5f ? 22 : 213;
    });
}

TEST_F(WindowKeys, F9ScansAndKeepsTheMiddleOfTheThresholdsThatFindTheMarker)
{
    writeMarkerClip(folder / "Videos/marker.mp4", folder / "markers/glyph-f.png");
    // One threshold for the whole frame, so the range that finds the marker
    // follows from the ink and the paper alone.
    const std::string settings = folder / "Data/VexaSettings.tsf";
    std::string text = TestFolder::ReadFile(settings);
    const size_t at = text.find("<ADAPTIVE_THRESHOLD> 1");
    ASSERT_NE(at, std::string::npos) << text;
    text.replace(at, 22, "<ADAPTIVE_THRESHOLD> 0");
    TestFolder::WriteFile(settings, text);
    Start("Videos/marker.mp4");
    XWindowDriver::Picture before;
    ASSERT_TRUE(x.WaitForPicture(window, 30.0, [](const XWindowDriver::Picture& p) {
        return p.Grey(620, kRow) > 200 && p.Grey(kWidth / 2, kHeight / 2) < 250;
    }, before));
    x.Key("F9");
    // The scan draws its progress on the text HUD, then its result: letters
    // appear at the bottom left, where the still picture had plain paper.
    XWindowDriver::Picture during;
    EXPECT_TRUE(x.WaitForPicture(window, 30.0, [&](const XWindowDriver::Picture& p) {
        int changed = 0;
        for (int y = kHeight - 40; y < kHeight; ++y)
            for (int x = 0; x < 200; ++x) changed += std::abs(p.Grey(x, y) - before.Grey(x, y)) > 30;
        return changed > 20;
    }, during)) << "no text on the HUD";
    // Ink 22 and paper 213: the thresholds 25 to 210 find the marker; the
    // scan keeps 25 + (210 - 25) / 2 = 117, give or take the video's noise.
    int chosen = -1;
    ASSERT_TRUE(WaitUntil(60.0, [&]() {
        chosen = SavedThreshold();
        return chosen != 90;
    })) << "the scan left the threshold at 90";
    EXPECT_NEAR(chosen, 117, 5);
}

TEST_F(WindowKeys, F7WritesEveryFrameToCapturesVideoAsShown)
{
    writeClip(folder / "Videos/ramp.mp4", 25, ramp);
    Start("Videos/ramp.mp4");
    WaitForRow([](const RowShape& s) { return s.rising; }, "the ramp is shown");
    x.Key("F7");
    const std::string first = folder / "captures/video/frame0.jpg";
    const std::string tenth = folder / "captures/video/frame9.jpg";
    ASSERT_TRUE(WaitUntil(30.0, [&]() { return TestFolder::Exists(tenth); })) << "no captures";
    x.Key("F7");
    osg::ref_ptr<osg::Image> shot = osgDB::readRefImageFile(first);
    ASSERT_TRUE(shot.valid());
    ASSERT_EQ(shot->s(), kWidth);
    ASSERT_EQ(shot->t(), kHeight);
    // The capture holds the ramp the window showed (rows stored bottom-up).
    for (int x : {40, 200, 320, 480, 600})
    {
        const unsigned char* p = shot->data(x, kHeight - 1 - kRow);
        EXPECT_NEAR((p[0] + p[1] + p[2]) / 3, ramp(x, 0), 8) << "column " << x;
    }
}
}
