// The console host on the demo footage with the effects demo content: its
// window shows the gold of the metal effects (a colour neither the footage nor
// the models' own grey has), which is gone when the same models are loaded
// without their <EFFECT> blocks, and no shader error is printed.
#include "ChildProcess.h"
#include "TestFolder.h"
#include "XWindowDriver.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

namespace
{
const char* const kHost = VEXAMARK_BASIC_PATH;

// Pixels of saturated yellow-orange, as the gold orbs reflect, away from the
// text HUD at the top and bottom.
int goldIn(const XWindowDriver::Picture& picture)
{
    int gold = 0;
    for (int y = 20; y < picture.height - 20; ++y)
        for (int x = 0; x < picture.width; ++x)
        {
            const uint8_t* p = picture.At(x, y);
            if (p[0] > 150 && p[1] > 90 && p[2] < p[1] * 0.55 && p[0] > p[1] + 15) ++gold;
        }
    return gold;
}

class EffectsOnScreen : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(server.Name().empty()) << "Xvfb did not start";
        ASSERT_TRUE(x.IsOpen());
        folder.CopyWorkingFolder();
        TestFolder::WriteFile(folder / "Data/dataList.dat",
                              "<DAT>\n<ASSET_FILE> models/markers.dat\n<ASSET_FILE> models/shown.dat\n</DAT>\n");
    }

    // Runs the host on the demo clip for at most `seconds`, until the window
    // shows `enough` gold pixels; returns the most seen in one picture.
    int Run(const std::string& content, int enough, double seconds, std::string& output, const std::string& keep)
    {
        // The demo's toys group (declared by the toys' file) deals the objects over its markers.
        TestFolder::WriteFile(folder / "models/shown.dat", content + "<OBJECT_GROUP>\n<NAME> TOYS\n</OBJECT_GROUP>\n");
        ChildProcess host(kHost, {"-video:", "Videos/demo.mp4"}, folder.Path(),
                          {"VEXAMARK_NONINTERACTIVE=1", "DISPLAY=" + server.Name()});
        const Window window = x.WaitForWindow("Vexamark", host.Pid(), 60.0);
        EXPECT_NE(window, 0u) << host.StandardError();
        int most = 0;
        if (window)
        {
            XWindowDriver::Picture picture;
            x.WaitForPicture(window, seconds, [&](const XWindowDriver::Picture& p) {
                most = std::max(most, goldIn(p));
                return most >= enough;
            }, picture);
            if (picture.width) picture.Save(::testing::TempDir() + "/" + keep);
            x.RequestClose(window);
        }
        if (!host.Wait(30.0)) host.Kill();
        output = host.StandardOutput() + host.StandardError();
        return most;
    }

    XvfbServer server;
    XWindowDriver x{server.Name()};
    TestFolder folder;
};

TEST_F(EffectsOnScreen, TheDemoModelsShowTheirMaterialsAndNoShaderError)
{
    const std::string demo = TestFolder::ReadFile(folder / "models/effects-demo.dat");
    std::string output;
    const int with = Run(demo, 400, 60.0, output, "effects-demo.ppm");
    EXPECT_GE(with, 400);
    for (const char* fault : {"FAILED", "glCompileShader", "glLinkProgram", "not found."})
        EXPECT_EQ(output.find(fault), std::string::npos) << fault << "\n" << output;

    // The same models without their effects, for as long.
    const std::string plain = std::regex_replace(demo, std::regex("<EFFECT>[^]*?</EFFECT>"), "");
    ASSERT_EQ(plain.find("<EFFECT>"), std::string::npos);
    const int without = Run(plain, 1 << 30, 15.0, output, "plain-demo.ppm");
    EXPECT_LT(without, with / 8);
}
}
