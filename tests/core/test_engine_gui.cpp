// The engine's 3D GUI on a real engine ("-gui"): the pages it builds, the
// menu coming on the first click in empty space, object buttons putting
// content on the current marker, the object-edit page and its widgets, the
// settings panel's scan, and the screen saver's timing.
#include "CButtonRegion.h"
#include "CContentObject.h"
#include "CHudRegionManager.h"
#include "CNumRegion.h"
#include "CSliderValueRegion.h"
#include "CVXObjectButton.h"
#include "CVXObjectEditRegion.h"
#include "CVXObjectMenu.h"
#include "CVXSettingsRegion.h"
#include "CVec3InputRegion.h"
#include "CVecSliderRegion.h"
#include "CVexaBox.h"
#include "CVideoRegion.h"
#include "COsgSettings.h"
#include "SquareTracker.h"
#include "MyKeyboardMouseCallback.h"
#include "TransformFilterCallback.h"

#include "EngineLog.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
class EngineGui : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!HaveDisplay()) GTEST_SKIP() << "needs an X display";
        folder.CopyWorkingFolder();
    }
    // Adds lines to the working folder's settings file before the engine reads it.
    void AddSettings(const std::string& lines)
    {
        std::string text = TestFolder::ReadFile(folder / "Data/VexaSettings.tsf");
        text.insert(text.find("</VEXA_SETTINGS>"), lines);
        TestFolder::WriteFile(folder / "Data/VexaSettings.tsf", text);
    }
    void Start(std::vector<std::string> extra = {"-gui"})
    {
        std::vector<std::string> args{"Vexamark_basic", "-FFMPEG", "-keys", "-video:", "Videos/demo.mp4"};
        args.insert(args.end(), extra.begin(), extra.end());
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        ::testing::internal::CaptureStdout();
        box.Init(static_cast<int>(args.size()), argv.data(), "Data/dataList.dat", false, false, false, false);
        output = ::testing::internal::GetCapturedStdout();
        hud = CHudRegionManager::Instance();
    }
    bool Frame()
    {
        if (!box.Update(0.01f)) return false;
        box.Render();
        return true;
    }
    // Runs frames until a marker is selected (the footage shows one soon).
    bool WaitForMarker()
    {
        for (int i = 0; i < 150 && !box.GetObjectManager()->GetSelectedMarker(); ++i)
            if (!Frame()) return false;
        return box.GetObjectManager()->GetSelectedMarker() != nullptr;
    }
    void Click(const std::string& target)
    {
        CGUIEvent event;
        event.targetName = target;
        event.type = CGUIEvent::Press;
        hud->Dispatch("", event);
        event.type = CGUIEvent::ClickRelease;
        hud->Dispatch("", event);
    }
    void Press(int key) { box.GetKeyboardMouseCallback()->keyPress(key); }

    TestFolder folder;
    ScopedCurrentFolder inFolder{folder.Path()};
    CVexaBox box;
    CHudRegionManager* hud = nullptr;
    std::string output;
};

TEST_F(EngineGui, GuiIsBuiltBetweenItsLogLinesWithItsPagesHidden)
{
    Start();
    const std::vector<std::string> all = LogMessages(TestFolder::ReadFile(folder / "Data/messageLog.txt"));
    auto at = [&](const std::string& line) { return std::find(all.begin(), all.end(), line) - all.begin(); };
    EXPECT_LT(at("VexaBox :Init : Creating ZepHud"), at("VexaBox :Init : Attaching ZepHud Node to graph"));
    EXPECT_LT(at("VexaBox :Init : Attaching ZepHud Node to graph"), at("VexaBox :Init : Build GUI"));
    EXPECT_EQ(at("VexaBox :Init : Build GUI") + 1, at("VexaBox :Init : GUI built"));
    EXPECT_LT(at("VexaBox :Init : GUI built"), at("VexaBox :Init : Apply Tracker projection matrix"));
    EXPECT_EQ(output.find("Couldn't load"), std::string::npos) << output;
    EXPECT_EQ(output.find("Warning!"), std::string::npos) << output;
    EXPECT_EQ(output.find("unavaliable"), std::string::npos) << output;

    CVXObjectMenu* menu = box.GetMainMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->GetSubMenus().size(), 4u);
    EXPECT_EQ(menu->GetObjectButtons().size(), 5u);
    EXPECT_NE(menu->GetToolbarButton("SUPER_SIZE"), nullptr);
    EXPECT_NE(menu->GetEditPanel(), nullptr);
    EXPECT_TRUE(menu->AreSoundsLoaded());
    for (const char* page : {"SETTINGS", "VEXA_MENU", "OBJECTEDIT"})
    {
        EXPECT_GE(hud->FindPage(page), 0) << page;
        EXPECT_FALSE(hud->IsPageVisible(page)) << page;
    }
    EXPECT_EQ(box.GetHudSkin().button, "models/hud/buttonRegion.IVE");
    EXPECT_EQ(box.GetHudSkin().menuButton, "");
    EXPECT_EQ(box.GetConfSlider()->GetName(), "tranSm_2");
    EXPECT_EQ(box.GetTransSmoothSlider()->GetName(), "tranSm_1");
    EXPECT_FLOAT_EQ(box.GetConfSlider()->GetValue(), box.GetObjectManager()->GetTracker()->GetTol());
    EXPECT_NEAR(box.GetScaleInput()->GetValue(), 1.f, 1e-6);
    // Every region of the object-edit page is drawn at 80 %.
    const int edit = hud->FindPage("OBJECTEDIT");
    for (CHudRegion* region : hud->GetPageRegions(edit)) EXPECT_NEAR(region->GetTransparency(), 0.8, 1e-9);

    // The first click in empty space fades the menu in.
    ASSERT_TRUE(Frame());
    Click("NONE");
    EXPECT_EQ(hud->GetCurrentPageName(), "VEXA_MENU");
    EXPECT_TRUE(hud->IsPageVisible("VEXA_MENU"));
    box.CleanUp();
}

TEST_F(EngineGui, WithoutGuiNoPageWidgetOrMenuExists)
{
    AddSettings("<SETTINGS_MENU> 1\n");
    Start({});
    EXPECT_FALSE(box.GetUseGui());
    EXPECT_EQ(box.GetMainMenu(), nullptr);
    EXPECT_EQ(box.GetPosInput(), nullptr);
    EXPECT_EQ(hud->FindPage("VEXA_MENU"), -1);
    EXPECT_NE(box.GetSettingsMenu(), nullptr) << "the settings file still makes its panel";
    ASSERT_TRUE(Frame());
    box.CleanUp();
}

TEST_F(EngineGui, AnObjectButtonPutsItsObjectOnTheCurrentMarker)
{
    Start();
    ASSERT_TRUE(WaitForMarker());
    CTrackedMarker* marker = box.GetObjectManager()->GetSelectedMarker();
    const auto& buttons = box.GetMainMenu()->GetObjectButtons();
    const auto gold = std::find_if(buttons.begin(), buttons.end(),
                                   [](const auto& b) { return b->GetObjectName() == "GOLD_ORB"; });
    ASSERT_NE(gold, buttons.end());
    Click((*gold)->GetName());
    EXPECT_EQ(marker->GetObject(), box.GetObjectManager()->FindObjectByName("GOLD_ORB"));
    EXPECT_EQ(box.GetMainMenu()->GetEditPanel()->GetShownObject(), marker->GetObject());
    box.CleanUp();
}

TEST_F(EngineGui, TheEditKeyOpensThePageWhoseWidgetsMoveTurnAndScaleTheObject)
{
    Start();
    ASSERT_TRUE(WaitForMarker());
    CContentObject* object = box.GetObjectManager()->GetSelectedObject();
    ASSERT_NE(object, nullptr);
    object->SetTranslation(2.0, 0.0, 0.0);
    Press('e');
    ASSERT_TRUE(Frame());
    EXPECT_TRUE(box.IsEditPageOpen());
    EXPECT_EQ(hud->GetCurrentPageName(), "OBJECTEDIT");
    EXPECT_TRUE(hud->IsPageVisible("OBJECTEDIT"));
    EXPECT_FLOAT_EQ(box.GetPosInput()->GetValues().x(), 2.f) << "the page shows the object as it is";

    Click(box.GetPosInput()->GetName() + "_XINPUT_IncButton");
    box.GetRotSliders()->SetValues(osg::Vec3f(0.f, 0.f, 90.f));
    box.GetRotSliders()->HandleEvent("", CGUIEvent());  // as an event reaching a slider would
    Click(box.GetRotSliders()->GetName() + "_ZINPUT_VSSIDE_INC");
    box.GetScaleInput()->SetValue(2.5f);
    Click(box.GetScaleInput()->GetName() + "_IncButton");
    box.CheckGUI();
    EXPECT_DOUBLE_EQ(object->GetTranslation().x(), 3.0);
    EXPECT_NEAR(object->GetRotation().z() * 57.29578, box.GetRotSliders()->GetValues().z(), 1e-3);
    EXPECT_GT(object->GetRotation().z(), 1.5);
    EXPECT_NEAR(object->GetScale(), 2.51, 1e-5);

    Press('e');
    ASSERT_TRUE(Frame());
    EXPECT_FALSE(box.IsEditPageOpen());
    EXPECT_TRUE(hud->IsPageSwitchArmed());
    EXPECT_EQ(hud->GetPendingPageName(), "VEXA_MENU");
    box.CleanUp();
}

TEST_F(EngineGui, SmoothingNeedsASelectedMarkerAndMinConfIsSavedAsMasterConf)
{
    Start();
    // Before the first frame no marker is selected: the slider's change is
    // read and dropped.
    ASSERT_EQ(box.GetObjectManager()->GetSelectedMarker(), nullptr);
    box.GetRotSmoothSlider()->SetValue(0.25f);
    box.CheckGUI();
    EXPECT_FALSE(box.GetRotSmoothSlider()->ConsumeClick());

    ASSERT_TRUE(WaitForMarker());
    box.GetRotSmoothSlider()->SetValue(0.25f);
    box.GetTransSmoothSlider()->SetValue(0.75f);
    box.CheckGUI();
    const TransformFilterCallback* filter = box.GetObjectManager()->GetSelectedMarker()->GetFilter();
    EXPECT_NEAR(filter->GetRotationSmoothing(), box.GetRotSmoothSlider()->GetValue(), 1e-6);
    EXPECT_NEAR(filter->GetTranslationSmoothing(), box.GetTransSmoothSlider()->GetValue(), 1e-6);

    box.GetConfSlider()->SetValue(0.35f);
    box.CheckGUI();
    const float tolerance = box.GetObjectManager()->GetTracker()->GetTol();
    EXPECT_NEAR(tolerance, 0.35f, 0.011f);
    ASSERT_TRUE(box.WriteSettings());
    const std::string settings = TestFolder::ReadFile(folder / "Data/VexaSettings.tsf");
    char line[64];
    std::snprintf(line, sizeof(line), "<MASTER_CONF> %g", tolerance);
    EXPECT_NE(settings.find("<MASTER_CONF> "), std::string::npos);
    COsgSettings read;
    ASSERT_TRUE(read.Load(folder / "Data/VexaSettings.tsf"));
    ASSERT_TRUE(read.FindFirst("<MASTER_CONF>"));
    read.NextString();
    EXPECT_NEAR(read.NextFloat(), tolerance, 1e-5) << line;
    box.CleanUp();
}

TEST_F(EngineGui, TheSettingsPanelsScanButtonRunsTheScanThroughCheckGui)
{
    AddSettings("<SETTINGS_MENU> 1\n");
    Start();
    ASSERT_NE(box.GetSettingsMenu(), nullptr);
    ASSERT_TRUE(Frame());
    Click(box.GetSettingsMenu()->GetName() + "SCAN");
    box.CheckGUI();
    EXPECT_EQ(box.GetHud()->GetMessageText().rfind("Scan complete, threshold:= ", 0), 0u)
        << box.GetHud()->GetMessageText();
    ASSERT_TRUE(box.WriteSettings());
    EXPECT_NE(TestFolder::ReadFile(folder / "Data/VexaSettings.tsf").find("<SETTINGS_MENU> 1"), std::string::npos);
    box.CleanUp();
}

TEST_F(EngineGui, TheScreenSaverPlaysAfterItsTimeoutWithoutMarkersAndStopsOnAClick)
{
    AddSettings("<USE_SCREEN_SAVER> Videos/saver.mp4\n<SCREEN_SAVER_TIMEOUT> 0.5\n");
    Start();
    CVideoRegion* saver = box.GetScreenSaver();
    ASSERT_NE(saver, nullptr);
    EXPECT_EQ(saver->GetName(), "VID_SAVER");
    EXPECT_FALSE(saver->IsVisible());
    // The footage shows a marker: time does not count.
    ASSERT_TRUE(WaitForMarker());
    for (int i = 0; i < 30; ++i) ASSERT_TRUE(Frame());
    EXPECT_FALSE(saver->IsPlaying());

    // No marker found (a threshold that leaves the picture all white):
    // after 0.5 s of frames of 0.0333 s the saver plays.
    SquareTracker* tracker = box.GetObjectManager()->GetTracker();
    tracker->setUseAuto(false);
    tracker->setUserThreshold(0);
    int frames = 0;
    while (!saver->IsPlaying() && frames < 60)
    {
        ASSERT_TRUE(Frame());
        ++frames;
    }
    ASSERT_TRUE(saver->IsPlaying());
    EXPECT_GE(frames, 15);
    EXPECT_TRUE(saver->IsVisible());
    EXPECT_TRUE(box.GetScreenSaverBackground()->IsVisible());

    box.GetKeyboardMouseCallback()->buttonPress(0.f, 0.f, 1);
    box.GetKeyboardMouseCallback()->buttonRelease(0.f, 0.f, 1);
    ASSERT_TRUE(Frame());
    EXPECT_FALSE(saver->IsPlaying());
    EXPECT_FALSE(saver->IsVisible());
    EXPECT_FLOAT_EQ(box.GetIdleTime(), 0.f);
    box.CleanUp();
}
}
