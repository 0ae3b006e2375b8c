// Captures, the threshold scan's range rule, and key commands on a real engine.
#include "CVexaBox.h"
#include "MyKeyboardMouseCallback.h"

#include "EngineLog.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <osgDB/ReadFile>

#include <cstdlib>

namespace
{
TEST(Captures, SingleCaptureNamesPadToFiveDigitsButNeverCut)
{
    EXPECT_EQ(CVexaBox::SingleCaptureName(4), "captures/vexaCapture00004.jpg");
    EXPECT_EQ(CVexaBox::SingleCaptureName(99999), "captures/vexaCapture99999.jpg");
    EXPECT_EQ(CVexaBox::SingleCaptureName(100000), "captures/vexaCapture100000.jpg");
}

TEST(ThresholdScan, TheMiddleOfTheRangeThatSawTheMostMarkers)
{
    auto counts = [](std::initializer_list<std::pair<int, int>> ranges) {
        std::vector<int> c(52, 0);
        for (const auto& r : ranges)
            for (int t = r.first; t <= r.second; t += 5) c[static_cast<size_t>(t / 5)] = 1;
        return c;
    };
    EXPECT_EQ(CVexaBox::ScanResult(counts({{40, 120}}), 90), 80);
    EXPECT_EQ(CVexaBox::ScanResult(counts({{100, 100}}), 90), 100);
    EXPECT_EQ(CVexaBox::ScanResult(counts({{40, 40}, {200, 200}}), 90), 120);  // lower counts between
    EXPECT_EQ(CVexaBox::ScanResult(std::vector<int>(52, 0), 77), 77);
    std::vector<int> two = counts({{40, 120}});
    two[20] = 2;  // threshold 100 sees two markers
    EXPECT_EQ(CVexaBox::ScanResult(two, 90), 100);
}

class EngineKeys : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!HaveDisplay()) GTEST_SKIP() << "needs an X display";
        folder.CopyWorkingFolder();
    }
    void Start(bool keyCommands)
    {
        std::vector<std::string> args{"Vexamark_basic", "-FFMPEG"};
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        ::testing::internal::CaptureStdout();
        box.Init(static_cast<int>(args.size()), argv.data(), "Data/dataList.dat", keyCommands, false, false, false);
        ::testing::internal::GetCapturedStdout();
        ASSERT_TRUE(box.Update(0.01f));
        box.Render();
    }
    void Press(int key)
    {
        if (key >= 0xFF00)
            box.GetKeyboardMouseCallback()->specialKeyPress(key);
        else
            box.GetKeyboardMouseCallback()->keyPress(key);
    }
    TestFolder folder;
    ScopedCurrentFolder inFolder{folder.Path()};
    CVexaBox box;
};

TEST_F(EngineKeys, ArrowsChangeTheThresholdAndSayItOnTheHud)
{
    Start(false);
    const int before = box.GetObjectManager()->GetTracker()->getUserThreshold();
    Press(0xFF52);
    Press(0xFF52);  // twice in one frame counts once
    ASSERT_TRUE(box.Update(0.01f));
    EXPECT_EQ(box.GetObjectManager()->GetTracker()->getUserThreshold(), before + 1);
    char expected[64];
    std::snprintf(expected, sizeof(expected), "Threshold  := %3.2f", static_cast<float>(before + 1));
    EXPECT_EQ(box.GetHud()->GetMessageText(), expected);
    Press(0xFF54);
    ASSERT_TRUE(box.Update(0.01f));
    EXPECT_EQ(box.GetObjectManager()->GetTracker()->getUserThreshold(), before);
    box.CleanUp();
}

TEST_F(EngineKeys, EditKeysNeedKeyCommandsButTheMouseKeyAlwaysWorks)
{
    Start(false);
    Press('m');
    Press('s');
    ASSERT_TRUE(box.Update(0.01f));
    EXPECT_TRUE(box.GetShowMouse());
    EXPECT_NE(box.GetHud()->GetMessageText(), "Settings Saved");
    box.CleanUp();
}

TEST_F(EngineKeys, SettingsKeySavesWithKeyCommands)
{
    Start(true);
    std::remove((folder / "Data/VexaSettings.tsf").c_str());
    Press('s');
    ASSERT_TRUE(box.Update(0.01f));
    EXPECT_EQ(box.GetHud()->GetMessageText(), "Settings Saved");
    EXPECT_TRUE(TestFolder::Exists(folder / "Data/VexaSettings.tsf"));
    box.CleanUp();
}

TEST_F(EngineKeys, CapturesLandInFoldersMadeWhenMissing)
{
    Start(false);
    std::system(("rm -rf '" + (folder / "captures") + "'").c_str());
    box.CaptureSingleFrame();
    EXPECT_EQ(box.GetCaptureCount(), 1);
    osg::ref_ptr<osg::Image> shot = osgDB::readRefImageFile(folder / "captures/vexaCapture00000.jpg");
    ASSERT_TRUE(shot.valid());
    EXPECT_EQ(shot->s(), static_cast<int>(box.GetRenderSurface()->getWindowWidth()));
    // F7: continuous capture of every frame into captures/video.
    Press(0xFFC4);
    ASSERT_TRUE(box.Update(0.01f));
    EXPECT_TRUE(box.IsCapturing());
    box.Render();
    ASSERT_TRUE(box.Update(0.01f));
    box.Render();
    ASSERT_TRUE(box.Update(0.01f));
    EXPECT_TRUE(TestFolder::Exists(box.GetCapturePath() + "/frame0.jpg"));
    EXPECT_TRUE(TestFolder::Exists(box.GetCapturePath() + "/frame1.jpg"));
    box.CleanUp();
}

TEST_F(EngineKeys, AScanWithoutMarkersKeepsTheThreshold)
{
    Start(false);
    box.GetObjectManager()->GetTracker()->setUserThreshold(123);
    box.AutoScan();
    EXPECT_EQ(box.GetObjectManager()->GetTracker()->getUserThreshold(), 123);
    EXPECT_EQ(box.GetHud()->GetMessageText(), "Scan complete, threshold:= 123");
    box.CleanUp();
}
}
