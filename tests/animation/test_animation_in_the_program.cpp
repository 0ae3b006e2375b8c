// The real console host with animated content: the bundled demo shows the
// keyframed figure and the skinned character on their cards and takes digit
// keys; on footage of a still card, the figure moves (pictures taken at
// different times differ where it stands) and a broken skin file is reported
// with its message while the rest of the content plays on.
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

bool orange(const uint8_t* p)
{
    return p[0] > 170 && p[1] > 60 && p[1] < 170 && p[2] < 80 && p[0] - p[1] > 60;
}

class AnimationInTheProgram : public HostOnScreen
{
protected:
    void Start(const std::vector<std::string>& args) { HostOnScreen::Start(kHost, args); }
    // Waits until the window shows at least `pixels` pixels of the figure's orange.
    XWindowDriver::Picture WaitForFigure(int pixels)
    {
        XWindowDriver::Picture picture;
        EXPECT_TRUE(x.WaitForPicture(window, 90.0, [&](const XWindowDriver::Picture& p) {
            return CountWhere(p, orange) >= pixels;
        }, picture)) << "no figure on the picture (" << CountWhere(picture, orange) << " orange pixels)";
        return picture;
    }
};

TEST_F(AnimationInTheProgram, TheDemoShowsTheFigureAndTheCharacterAndTakesDigitKeys)
{
    Start({"-video:", "Videos/demo.mp4"});
    WaitForFigure(150);
    // The walker's red and white shirt, on the card it is dealt to.
    XWindowDriver::Picture picture;
    EXPECT_TRUE(x.WaitForPicture(window, 30.0, [](const XWindowDriver::Picture& p) {
        return CountWhere(p, [](const uint8_t* c) { return c[0] > 150 && c[1] < 70 && c[2] < 70; }) >= 30;
    }, picture)) << "no character on the picture";
    x.PointInto(window);
    x.Key("2");  // the walker waves
    x.Key("1");  // and walks
    std::this_thread::sleep_for(std::chrono::seconds(2));
    Close();
    const std::string output = host->StandardOutput();
    EXPECT_EQ(output.find("Failed to create character entity"), std::string::npos) << output;
    EXPECT_EQ(output.find("Skin config file"), std::string::npos) << output;
    EXPECT_EQ(output.find("<ANI_CONTROL>"), std::string::npos) << output;
}

TEST_F(AnimationInTheProgram, TheFigureMovesOnAStillCardAndABrokenSkinFileIsReported)
{
    ChildProcess synth(kSynth,
                       {"--size", "640", "480", "--fps", "25", "--frames", "50", "--intrinsics", "700", "700", "320",
                        "240", "--background", "flat", "--marker",
                        "glyph-f=design:glyph-f,width=80,distance=450:450,tilt=0,path=still", "--out",
                        "Videos/still.mp4", "--quiet"},
                       folder.Path());
    ASSERT_TRUE(synth.Wait(120.0));
    ASSERT_EQ(synth.ExitCode(), 0) << synth.StandardError();
    TestFolder::WriteFile(folder / "models/broken.skin", "<SKIN_CONFIG>\n<MESH> models/characters/walker/walker.xmf\n"
                                                          "</SKIN_CONFIG>\n");
    TestFolder::WriteFile(
        folder / "models/still.dat",
        "<VEXA_MARKER>\n<FILE> Data/glyph-f.patt\n<SIZE> 80\n<NAME> glyph-f\n</VEXA_MARKER>\n"
        "<ENTITY>\n<NAME> FIGURE\n<MARKER> glyph-f\n<MODEL>\n<FILE> models/animation/hopper.osgt\n<ANI_CONTROL>\n"
        "<FPA> 30\n<APPEAR_INDEX> 0\n<IDLE_INDEX> 2\n<TRIGGER_MODE> SEE\n</ANI_CONTROL>\n</MODEL>\n</ENTITY>\n"
        "<ENTITY>\n<NAME> BROKEN\n<MARKER> glyph-f\n<CHARACTER>\n<FILE> models/broken.skin\n</CHARACTER>\n</ENTITY>\n");
    TestFolder::WriteFile(folder / "Data/dataList.dat", "<DAT>\n<ASSET_FILE> models/still.dat\n</DAT>\n");
    Start({"-video:", "Videos/still.mp4"});
    XWindowDriver::Picture first = WaitForFigure(300);
    // The figure waves (its idle segment here): pictures a moment apart differ.
    int most = 0;
    for (int i = 0; i < 8 && most < 150; ++i)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        const XWindowDriver::Picture next = x.Grab(window);
        most = std::max(most, Differing(first, next, 60));
        first = next;
    }
    EXPECT_GE(most, 150) << "the figure does not move";
    Close();
    const std::string output = host->StandardOutput();
    EXPECT_NE(output.find("Skin config file 'models/broken.skin' does not contain a <SKELETON> tag. Returning\n"
                          "Failed to create character entity! Harsh\n"),
              std::string::npos)
        << output;
}
}
