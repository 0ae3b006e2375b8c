// The 3D menu on the real window: the console host with "-gui" under an X
// server of the test's own, showing a clip of one still card, clicked and
// dragged with xdotool and XTEST, and what the window shows read back. The
// pictures are kept as artefacts (menu-*.png).
#include "CHudSkin.h"
#include "CSliderRegion.h"
#include "CSliderValueRegion.h"
#include "CVecSliderRegion.h"
#include "CVexaBox.h"
#include "ChildProcess.h"
#include "HudArtefacts.h"
#include "HudWindowTest.h"
#include "TestFolder.h"
#include "XWindowDriver.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <thread>

namespace
{
const char* const kHost = VEXAMARK_BASIC_PATH;
const char* const kSynth = VEXAMARK_SYNTH_PATH;
const int kWidth = 640, kHeight = 480;  // the screen, the window and the HUD

void savePng(const XWindowDriver::Picture& picture, const std::string& name)
{
    SaveArtefact(picture, std::string(VEXAMARK_HUD_ARTEFACTS) + "/" + name);
}

// Gold pixels (the gold orb's colour) in the whole picture.
int goldPixels(const XWindowDriver::Picture& p)
{
    int count = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
        {
            const uint8_t* c = p.At(x, y);
            if (c[0] > 150 && c[1] > 95 && c[2] < 130 && c[0] - c[2] > 80) ++count;
        }
    return count;
}

// Pixels that differ clearly between two pictures in the right half of the
// window (where the card is; the edit page's widgets are at the left).
int changedAtTheRight(const XWindowDriver::Picture& a, const XWindowDriver::Picture& b)
{
    int count = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = a.width / 2; x < a.width; ++x)
        {
            int d = 0;
            for (int k = 0; k < 3; ++k) d += std::abs(a.At(x, y)[k] - b.At(x, y)[k]);
            if (d > 60) ++count;
        }
    return count;
}

class MenuWindow : public HudWindowTest
{
protected:
    void SetUp() override
    {
        HudWindowTest::SetUp();
        if (HasFatalFailure()) return;
        // One still card ("glyph-f", the demo's MARKER_B) at the right of the picture.
        ChildProcess synth(kSynth,
                           {"--size", "640", "480", "--fps", "15", "--frames", "15", "--intrinsics", "700", "700",
                            "320", "240", "--marker",
                            "glyph-f=design:glyph-f,width=80,distance=420:420,tilt=0,spin=0,path=still",
                            "--background", "flat", "--out", "Videos/still.mp4", "--quiet"},
                           folder.Path());
        ASSERT_TRUE(synth.Wait(120.0));
        ASSERT_EQ(synth.ExitCode(), 0) << synth.StandardError();
    }
    void Start()
    {
        host = std::make_unique<ChildProcess>(
            kHost, std::vector<std::string>{"-gui", "-keys", "-video:", "Videos/still.mp4"}, folder.Path(),
            std::vector<std::string>{"VEXAMARK_NONINTERACTIVE=1", "DISPLAY=" + server->Name()});
        window = x->WaitForWindow("Vexamark", host->Pid(), 60.0);
        ASSERT_NE(window, 0u) << host->StandardError();
        x->PointInto(window);
        // Running once the clip shows (the flat background is light grey).
        XWindowDriver::Picture p;
        ASSERT_TRUE(x->WaitForPicture(window, 60.0, [](const XWindowDriver::Picture& q) {
            return q.width == kWidth && q.Grey(20, kHeight / 2) > 60;
        }, p)) << "the clip is not shown";
        std::this_thread::sleep_for(std::chrono::seconds(2));
    }
    // A picture once the fades of the last click have run.
    XWindowDriver::Picture Settled()
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        return x->Grab(window);
    }
    // Clicks at a HUD point (y up).
    void Click(float hx, float hy) { XdotoolClick(std::lround(hx), std::lround(kHeight - hy)); }
    // The middle of button slot k of the menu's 3 x 3 grid on a 640 x 480 screen.
    static void Slot(int k, float& hx, float& hy)
    {
        const float s = (384.f - (0.15f * 384.f - 1.f)) / 3.f;
        hx = 128.f + (k % 3) * (s + 25.6f) + s / 2.f;
        hy = 48.f + (k / 3) * (s + 19.2f) + s / 2.f;
    }

};

TEST_F(MenuWindow, TheMenuComesOnAClickInEmptySpaceAndItsButtonPutsTheGoldOrbOnTheCard)
{
    Start();
    const XWindowDriver::Picture before = x->Grab(window);
    savePng(before, "menu-0-start.png");
    float sx, sy;
    Slot(0, sx, sy);  // the "Scenes" sub-menu's button
    const int cx = std::lround(sx), cy = std::lround(kHeight - sy);

    Click(600.f, 240.f);  // empty space
    const XWindowDriver::Picture shown = Settled();
    savePng(shown, "menu-1-shown.png");
    int d = 0;
    for (int k = 0; k < 3; ++k) d += std::abs(shown.At(cx, cy)[k] - before.At(cx, cy)[k]);
    EXPECT_GT(d, 60) << "the menu's first button is not drawn";

    float gx, gy;
    Slot(4, gx, gy);  // the root's "Gold orb" button
    Click(gx, gy);
    Click(600.f, 240.f);  // empty space again: the menu goes
    const XWindowDriver::Picture after = Settled();
    savePng(after, "menu-2-gold-orb.png");
    const int goldBefore = goldPixels(before), goldAfter = goldPixels(after);
    EXPECT_GT(goldAfter, goldBefore + 400) << "gold pixels at the card: " << goldBefore << " before, " << goldAfter
                                           << " after";
    d = 0;
    for (int k = 0; k < 3; ++k) d += std::abs(after.At(cx, cy)[k] - before.At(cx, cy)[k]);
    EXPECT_LT(d, 30) << "the menu has not gone";
}

TEST_F(MenuWindow, TheEditKeyOpensTheEditPageAndDraggingTheRotationSliderTurnsTheObject)
{
    Start();
    x->Key("e");
    const XWindowDriver::Picture open = Settled();
    savePng(open, "menu-3-edit-page.png");

    // Where the page's "Rot" sliders lie: the same widget built at the page's place.
    CHudSkin skin;
    skin.textBox = "models/hud/labelRegion.IVE";
    skin.slider = skin.increase = skin.decrease = "models/hud/sliderEnd.IVE";
    skin.bar = "models/hud/sliderBar.IVE";
    const osg::Vec4f box = CVexaBox::EditPageBoxes(kWidth, kHeight)[9];
    ScopedCurrentFolder inFolder(folder.Path());
    CVecSliderRegion rot;
    rot.Init(4, box[0], box[1], box[2], box[3], skin.textBox, skin.slider, skin.bar, skin.decrease, skin.increase,
             0.f, 360.f);
    const CSliderRegion* z = rot.GetSlider(2)->GetSlider();
    const osg::Vec2f origin = z->GetAbsolutePosition();
    const osg::Vec2f a = origin + z->GetTrackStart() * 0.9f + z->GetTrackEnd() * 0.1f;
    const osg::Vec2f b = origin + z->GetTrackStart() * 0.4f + z->GetTrackEnd() * 0.6f;
    x->Drag(window, std::lround(a.x()), std::lround(kHeight - a.y()), std::lround(b.x()), std::lround(kHeight - b.y()),
            12, 0.08);
    const XWindowDriver::Picture turned = Settled();
    savePng(turned, "menu-4-turned.png");
    const int changed = changedAtTheRight(open, turned);
    EXPECT_GT(changed, 300) << "the object on the card did not turn (" << changed << " pixels changed)";
}
}
