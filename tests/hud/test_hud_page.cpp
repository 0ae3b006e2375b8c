// The widget page on the real window: the engine with its HUD on
// (vexamark-hudpage) under an X server of the test's own, clicked with
// xdotool and dragged through XTEST, and what the window shows read back.
// The page's pictures are kept as artefacts (hud-widgets-*.png).
#include "ChildProcess.h"
#include "HudArtefacts.h"
#include "HudWindowTest.h"
#include "TestFolder.h"
#include "XWindowDriver.h"
#include "XvfbServer.h"

#include "MediaFileWriter.h"

#include <gtest/gtest.h>


#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <sstream>
#include <thread>

namespace
{
const char* const kPage = VEXAMARK_HUDPAGE_PATH;
const int kGrey = 96;  // the plain clip's grey level behind the page

struct Box
{
    std::string name;
    float x = 0, y = 0, w = 0, h = 0;  // HUD pixels, y up
};

// Writes a one-second clip of one grey level.
void writePlainClip(const std::string& path, int width, int height)
{
    vexa::media::MediaFileWriter writer;
    vexa::media::MediaFileWriter::Settings settings;
    settings.width = width;
    settings.height = height;
    settings.frameRateNum = 25;
    settings.layout = vexa::media::MediaFileWriter::PixelLayout::RGB;
    settings.quality = 100;
    ASSERT_TRUE(writer.open(path, settings)) << writer.lastError();
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3, kGrey);
    for (int i = 0; i < 25; ++i) ASSERT_TRUE(writer.writeVideoFrame(rgb.data())) << writer.lastError();
    ASSERT_TRUE(writer.close()) << writer.lastError();
}

class HudPage : public HudWindowTest
{
protected:
    void Start(const std::vector<std::string>& options, bool plainClip = true)
    {
        std::vector<std::string> args = options;
        if (plainClip)
        {
            writePlainClip(folder / "plain.mp4", 640, 480);
            args.insert(args.end(), {"-video:", "plain.mp4"});
        }
        else
            args.insert(args.end(), {"-video:", "Videos/demo.mp4"});
        host = std::make_unique<ChildProcess>(kPage, args, folder.Path(),
                                              std::vector<std::string>{"VEXAMARK_NONINTERACTIVE=1",
                                                                       "DISPLAY=" + server->Name()});
        window = x->WaitForWindow("Vexamark", host->Pid(), 60.0);
        ASSERT_NE(window, 0u) << host->StandardError();
        ASSERT_TRUE(WaitForLine("ready ", 60.0)) << host->StandardOutput() << host->StandardError();
        std::istringstream lines(host->StandardOutput());
        for (std::string line; std::getline(lines, line);)
        {
            std::istringstream words(line);
            std::string word, role;
            words >> word;
            Box box;
            if (word == "region" && words >> role >> box.name >> box.x >> box.y >> box.w >> box.h) regions[role] = box;
            if (word == "ready") words >> hudWidth >> hudHeight;
        }
        // The first frames: the page drawn, the video running.
        XWindowDriver::Picture picture;
        ASSERT_TRUE(x->WaitForPicture(window, 60.0, [](const XWindowDriver::Picture& p) { return p.width > 0; },
                                      picture));
        windowWidth = picture.width;
        windowHeight = picture.height;
        std::this_thread::sleep_for(std::chrono::seconds(2));
        seen = host->StandardOutput().size();
    }

    // True when a line holding `text` comes out (after what was seen before).
    bool WaitForLine(const std::string& text, double seconds)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < deadline)
        {
            if (host->StandardOutput().find(text, seen) != std::string::npos) return true;
            if (host->Wait(0.05)) return host->StandardOutput().find(text, seen) != std::string::npos;
        }
        return false;
    }
    // Everything printed since the last call.
    std::string NewOutput()
    {
        host->Wait(0.05);
        const std::string out = host->StandardOutput().substr(seen);
        seen = host->StandardOutput().size();
        return out;
    }
    // The window pixel of a HUD point (the HUD spans the window, y up).
    void ToWindow(float hx, float hy, int& wx, int& wy) const
    {
        wx = static_cast<int>(std::lround(hx * windowWidth / hudWidth));
        wy = static_cast<int>(std::lround(windowHeight - hy * windowHeight / hudHeight));
    }
    // The window pixel at the middle of a widget, by its role on the page.
    void Centre(const std::string& role, int& wx, int& wy) const
    {
        const Box& b = regions.at(role);
        ToWindow(b.x + b.w / 2, b.y + b.h / 2, wx, wy);
    }
    const std::string& Name(const std::string& role) const { return regions.at(role).name; }
    std::map<std::string, Box> regions;
    float hudWidth = 0, hudHeight = 0;
    int windowWidth = 0, windowHeight = 0;
    size_t seen = 0;
};

TEST_F(HudPage, AClickOnAButtonReachesItAndEmptySpaceIsNone)
{
    Start({});
    ASSERT_EQ(hudWidth, 640.f);
    ASSERT_TRUE(regions.count("start")) << host->StandardOutput();
    const std::string button = Name("start");
    const XWindowDriver::Picture before = x->Grab(window);
    int wx, wy;
    Centre("start", wx, wy);
    XdotoolClick(wx, wy);
    ASSERT_TRUE(WaitForLine("clicked " + button, 20.0)) << NewOutput();
    const std::string out = NewOutput();
    EXPECT_NE(out.find("event 1 " + button + "\n"), std::string::npos) << out;
    EXPECT_NE(out.find("pressed " + button + "\n"), std::string::npos) << out;
    EXPECT_NE(out.find("event 2 " + button + "\n"), std::string::npos) << out;
    EXPECT_LT(out.find("event 1 "), out.find("event 2 ")) << out;

    // The status box shows what was clicked: its text changes on screen.
    const Box& status = regions.at("status");
    int x0, y0, x1, y1;
    ToWindow(status.x, status.y + status.h, x0, y0);
    ToWindow(status.x + status.w, status.y, x1, y1);
    int changed = 0;
    XWindowDriver::Picture after;
    x->WaitForPicture(window, 10.0, [&](const XWindowDriver::Picture& p) {
        changed = 0;
        for (int yy = y0; yy < y1; ++yy)
            for (int xx = x0; xx < x1; ++xx)
                if (std::abs(p.Grey(xx, yy) - before.Grey(xx, yy)) > 40) ++changed;
        return changed > 20;
    }, after);
    EXPECT_GT(changed, 20) << "the status text did not change";

    XdotoolClick(20, windowHeight - 40);  // lower left: no widget there
    ASSERT_TRUE(WaitForLine("event 2 NONE", 20.0)) << NewOutput();
    const std::string empty = NewOutput();
    EXPECT_NE(empty.find("event 1 NONE\n"), std::string::npos) << empty;
    EXPECT_EQ(empty.find("clicked"), std::string::npos) << empty;
}

TEST_F(HudPage, ANumberFieldStopsAt999AndShowsIt)
{
    Start({});
    const std::string field = Name("count");  // starts at 997
    int wx, wy;
    Centre("count-inc", wx, wy);
    const char* const values[] = {"998.000", "999.000", "999.000"};
    for (const char* value : values)
    {
        x->Click(window, wx, wy);
        EXPECT_TRUE(WaitForLine("clicked " + field + " " + value, 20.0)) << value << ": " << NewOutput();
        NewOutput();
    }
}

TEST_F(HudPage, DragsMoveTheSliderKnobOnlyAfterAPressOnIt)
{
    Start({});
    const std::string slider = Name("slider");
    const Box bar = regions.at("slider-bar");
    int kx, ky, ex, ey;
    Centre("slider-knob", kx, ky);
    ToWindow(bar.x + bar.w + 30.f, bar.y + bar.h / 2, ex, ey);  // past the track's end
    // A drag that starts beside the slider moves nothing.
    int sx, sy;
    ToWindow(bar.x + bar.w / 2, bar.y - 40.f, sx, sy);
    x->Drag(window, sx, sy, ex, sy);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_EQ(NewOutput().find("clicked " + slider), std::string::npos);

    const XWindowDriver::Picture before = x->Grab(window);
    x->Drag(window, kx, ky, ex, ey, 10, 0.08);
    ASSERT_TRUE(WaitForLine("clicked " + slider + " 100.000", 20.0)) << NewOutput();
    // The knob (a light disc) now lies at the track's end, where the dark bar was.
    int tx, ty;
    ToWindow(bar.x + bar.w - 2.f, bar.y + bar.h / 2, tx, ty);
    XWindowDriver::Picture after;
    EXPECT_TRUE(x->WaitForPicture(window, 10.0, [&](const XWindowDriver::Picture& p) {
        return p.Grey(tx, ty) > 180;
    }, after)) << "grey at the track's end " << after.Grey(tx, ty) << ", before " << before.Grey(tx, ty);
    EXPECT_LT(before.Grey(tx, ty), 150);
}

TEST_F(HudPage, AClickOnEmptySpaceFadesThePageOutOverTwoSecondsAndTheNextBringsItBack)
{
    Start({"--fade"});
    int ox, oy;
    Centre("ok", ox, oy);  // the green OK button over the plain grey clip
    XWindowDriver::Picture shown;
    x->WaitForPicture(window, 30.0, [&](const XWindowDriver::Picture& p) {
        return p.At(ox, oy)[1] > kGrey + 40;  // the page is drawn
    }, shown);
    const int green = shown.At(ox, oy)[1];
    ASSERT_GT(green, kGrey + 40) << "the OK button is not drawn";
    auto alpha = [&](const XWindowDriver::Picture& p) {
        return double(p.At(ox, oy)[1] - kGrey) / double(green - kGrey);
    };

    XdotoolClick(20, windowHeight - 40);
    ASSERT_TRUE(WaitForLine("event 1 NONE", 20.0));
    const auto start = std::chrono::steady_clock::now();
    auto since = [&start]() {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    // A loaded machine draws late, never early: the page goes gradually (a
    // picture part way out), and no sooner than the fade's two seconds (the
    // fade's values in time are the fade tests' business).
    XWindowDriver::Picture half;
    EXPECT_TRUE(x->WaitForPicture(window, 10.0, [&](const XWindowDriver::Picture& p) {
        return alpha(p) > 0.1 && alpha(p) < 0.9;
    }, half)) << "no picture part way out; the last: alpha " << alpha(half);
    ASSERT_TRUE(WaitForLine("page WIDGETS hidden", 10.0));
    EXPECT_GT(since(), 1.7);
    XWindowDriver::Picture gone;
    EXPECT_TRUE(x->WaitForPicture(window, 5.0, [&](const XWindowDriver::Picture& p) {
        return std::abs(p.At(ox, oy)[1] - kGrey) < 10;
    }, gone)) << "the page is still drawn: " << int(gone.At(ox, oy)[1]);

    NewOutput();
    XdotoolClick(20, windowHeight - 40);
    ASSERT_TRUE(WaitForLine("page WIDGETS shown", 10.0)) << NewOutput();
    XWindowDriver::Picture back;
    EXPECT_TRUE(x->WaitForPicture(window, 10.0, [&](const XWindowDriver::Picture& p) {
        return alpha(p) > 0.9;
    }, back)) << "alpha " << alpha(back);
}

// The page at the two sizes a kiosk shows, over the demo footage, kept as pictures.
TEST_F(HudPage, ThePageIsCapturedAt640x480)
{
    Start({}, false);
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const XWindowDriver::Picture picture = x->Grab(window);
    ASSERT_EQ(picture.width, 640);
    EXPECT_TRUE(SaveArtefact(picture, std::string(VEXAMARK_HUD_ARTEFACTS) + "/hud-widgets-640x480.png"));
    // Every button shows its picture: the slate face, not an untextured grey or white quad.
    for (const char* role : {"start", "up", "down", "icon1"})
    {
        int wx, wy;
        Centre(role, wx, wy);
        const uint8_t* p = picture.At(wx, wy - regions.at(role).h * 0.3f);
        EXPECT_LT(p[0], 90) << role;
        EXPECT_LT(p[0], p[2] + 5) << role;  // a blue-grey slate
    }
}

TEST_F(HudPage, ThePageIsCapturedAt1920x1080)
{
    host.reset();
    x.reset();
    server = std::make_unique<XvfbServer>(1920, 1080);
    x = std::make_unique<XWindowDriver>(server->Name());
    ASSERT_TRUE(x->IsOpen());
    Start({"--fullscreen"}, false);
    ASSERT_EQ(hudWidth, 1920.f);
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const XWindowDriver::Picture picture = x->Grab(window);
    EXPECT_EQ(picture.width, 1920);
    EXPECT_TRUE(SaveArtefact(picture, std::string(VEXAMARK_HUD_ARTEFACTS) + "/hud-widgets-1920x1080.png"));
}
}
