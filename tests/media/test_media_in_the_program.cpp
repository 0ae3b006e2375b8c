// The real console host with media content. The bundled media object on
// the demo footage shows the keyed studio clip (its caption band, none of
// its green) and the comet's trail; on footage of a still card, a content set of the test's own shows a
// keyed clip made for it (the card's table shows through the green), a trail
// that moves with its node, and bubbles that change the picture above the
// card while nothing else moves.
#include "ChildProcess.h"
#include "HostOnScreen.h"
#include "TestFolder.h"
#include "XWindowDriver.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <thread>

namespace
{
const char* const kHost = VEXAMARK_BASIC_PATH;
const char* const kSynth = VEXAMARK_SYNTH_PATH;
const char* const kMediaGen = VEXAMARK_MEDIAGEN_PATH;

bool near(const uint8_t* p, int r, int g, int b, int within)
{
    return std::abs(p[0] - r) + std::abs(p[1] - g) + std::abs(p[2] - b) < within;
}
// The clip's studio green (0 178 64) and its caption band (30 40 110).
bool studioGreen(const uint8_t* p) { return near(p, 0, 178, 64, 60); }
bool captionBand(const uint8_t* p) { return near(p, 30, 40, 110, 50); }
// The test content's trail: magenta added to the picture.
bool magenta(const uint8_t* p) { return p[0] > 170 && p[2] > 170 && p[1] < 130; }
// The demo comet's trail fades from yellow to violet, added to the picture;
// nothing else in the scene is violet.
bool trailViolet(const uint8_t* p) { return p[2] > p[1] + 60 && p[0] > p[1] + 30; }

// Pixels where one picture passes `test` and the other does not.
int movedWhere(const XWindowDriver::Picture& a, const XWindowDriver::Picture& b, bool (*test)(const uint8_t*))
{
    if (a.width != b.width || a.height != b.height) return 0;
    int count = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) count += test(a.At(x, y)) != test(b.At(x, y));
    return count;
}

class MediaInTheProgram : public HostOnScreen
{
protected:
    void Run(const std::string& program, const std::vector<std::string>& args)
    {
        ChildProcess child(program, args, folder.Path());
        ASSERT_TRUE(child.Wait(120.0));
        ASSERT_EQ(child.ExitCode(), 0) << child.StandardError();
    }
    // Footage of the "glyph-f" card lying still in the middle of the picture.
    void StillCard()
    {
        Run(kSynth, {"--size", "640", "480", "--fps", "25", "--frames", "50", "--intrinsics", "700", "700", "320",
                     "240", "--background", "flat", "--marker",
                     "glyph-f=design:glyph-f,width=80,distance=450:450,tilt=0,path=still", "--out",
                     "Videos/still.mp4", "--quiet"});
    }
    void Content(const std::string& entities)
    {
        TestFolder::WriteFile(folder / "models/still.dat",
                              "<VEXA_MARKER>\n<FILE> Data/glyph-f.patt\n<SIZE> 80\n<NAME> glyph-f\n</VEXA_MARKER>\n" +
                                  entities);
        TestFolder::WriteFile(folder / "Data/dataList.dat", "<DAT>\n<ASSET_FILE> models/still.dat\n</DAT>\n");
    }
    void Start(const std::vector<std::string>& args) { HostOnScreen::Start(kHost, args); }
    XWindowDriver::Picture WaitFor(bool (*test)(const uint8_t*), int pixels, const std::string& what)
    {
        XWindowDriver::Picture picture;
        EXPECT_TRUE(x.WaitForPicture(window, 90.0, [&](const XWindowDriver::Picture& p) {
            return CountWhere(p, test) >= pixels;
        }, picture)) << "no " << what << " on the picture (" << CountWhere(picture, test) << " pixels; picture in "
                     << Kept() << ")";
        if (CountWhere(picture, test) < pixels) picture.Save(Kept());
        return picture;
    }
    // Where a picture that failed is kept to look at.
    static std::string Kept()
    {
        return ::testing::TempDir() + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ppm";
    }

};

TEST_F(MediaInTheProgram, TheBundledMediaObjectShowsItsKeyedClipAndTheCometsTrailOnTheDemoFootage)
{
    // The demo's markers and the media object alone: the object is the only
    // one of its group, so it is dealt to the first card of the group.
    TestFolder::WriteFile(folder / "models/toys.dat", "<OBJECT_GROUP>\n<NAME> TOYS\n</OBJECT_GROUP>\n");
    TestFolder::WriteFile(folder / "Data/dataList.dat",
                          "<DAT>\n<ASSET_FILE> models/markers.dat\n<ASSET_FILE> models/toys.dat\n"
                          "<ASSET_FILE> models/media-demo.dat\n</DAT>\n");
    Start({"-video:", "Videos/demo.mp4"});
    const XWindowDriver::Picture picture = WaitFor(captionBand, 300, "caption band of the studio clip");
    EXPECT_LT(CountWhere(picture, studioGreen), 100) << "the studio green is keyed out";
    WaitFor(trailViolet, 40, "comet trail");
    Close();
    const std::string output = host->StandardOutput();
    EXPECT_EQ(output.find("Unable to play video"), std::string::npos) << output;
    const std::string log = Log();
    EXPECT_EQ(log.find("LoadTraceParticleSystem: Error"), std::string::npos) << log;
    EXPECT_EQ(log.find("CBubbleEntity: Error"), std::string::npos) << log;
    EXPECT_EQ(log.find("CColourKey: Error"), std::string::npos) << log;
}

TEST_F(MediaInTheProgram, OnAStillCardAKeyedClipShowsTheTableThroughItsGreenAndATrailFollowsItsNode)
{
    StillCard();
    Run(kMediaGen, {"clip", "models/keyed.mp4", "--size", "320", "240", "--frames", "75"});
    // One object a card: the clip and the comet with its trail together.
    Content("<ENTITY>\n<NAME> CLIP\n<MARKER> glyph-f\n<VIDEO>\n<FILE> models/keyed.mp4\n<SCALE> 45\n"
            "<BLEND> 0 0.7 0.25 0.3\n</VIDEO>\n"
            "<MODEL>\n<FILE> models/media/comet.osgt\n<TRACE_PARTICLE>\n"
            "<COUNT> 200\n<NODE_NAME> Comet\n<EMISSIVE> 1\n<START_COLOUR> 1 0 1\n<END_COLOUR> 1 0 1\n"
            "<COLOUR_VARY> 0\n<MIN_OFFSET> -2\n<MAX_OFFSET> 2\n<MAX_SPAWN_PER_FRAME> 4\n<GRAVITY> 0 0 0\n"
            "</TRACE_PARTICLE>\n</MODEL>\n</ENTITY>\n");
    Start({"-video:", "Videos/still.mp4"});
    const XWindowDriver::Picture first = WaitFor(captionBand, 300, "caption band of the clip");
    EXPECT_LT(CountWhere(first, studioGreen), 100) << "the green is keyed out";
    XWindowDriver::Picture trail = WaitFor(magenta, 60, "trail");
    int moved = 0;
    for (int i = 0; i < 8 && moved < 60; ++i)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        const XWindowDriver::Picture next = x.Grab(window);
        moved = std::max(moved, movedWhere(trail, next, magenta));
        trail = next;
    }
    EXPECT_GE(moved, 60) << "the trail does not move with the comet";
    Close();
}

TEST_F(MediaInTheProgram, OnAStillCardBubblesAloneChangeThePicture)
{
    StillCard();
    Content("<ENTITY>\n<NAME> FIZZ\n<MARKER> glyph-f\n<BUBBLES> 0 0 10\n</ENTITY>\n");
    Start({"-video:", "Videos/still.mp4"});
    XWindowDriver::Picture before;
    ASSERT_TRUE(x.WaitForPicture(window, 60.0, [](const XWindowDriver::Picture& p) { return p.width > 0; }, before));
    int most = 0;
    for (int i = 0; i < 24 && most < 200; ++i)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        const XWindowDriver::Picture next = x.Grab(window);
        most = std::max(most, Differing(before, next, 40));
        before = next;
    }
    EXPECT_GE(most, 200) << "no bubbles rising on a still picture";
    Close();
    EXPECT_EQ(Log().find("CBubbleEntity: Error"), std::string::npos) << Log();
}
}
