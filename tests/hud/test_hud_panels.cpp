// The panels: effect toggles cycling presets, the settings panel's buttons,
// and the object-edit panel following the current object.
#include "CButtonRegion.h"
#include "CEffect.h"
#include "CEffectLibrary.h"
#include "CNumRegion.h"
#include "CTextRegion.h"
#include "CVXEffectToggle.h"
#include "CVXObjectEditRegion.h"
#include "CVXSettingsRegion.h"
#include "HudTestSupport.h"
#include "MenuFadeCallback.h"
#include "MenuTestContent.h"

namespace
{
CHudSkin toggleSkin()
{
    CHudSkin skin;
    skin.toggleBack = "models/hud/toggle.ive";
    skin.toggleIndi = "models/hud/indicator.ive";
    skin.effectNode = "models/hud/qorts/effectNode/effectNode.ive";
    return skin;
}

class EffectToggles : public HudTest
{
protected:
    void SetUp() override
    {
        HudTest::SetUp();
        CEffectLibrary::Instance()->LoadPresets("models/effects.mfx");
        metal = CEffectLibrary::Instance()->CreateEffect("METAL", true, "Gold", {"Copper", "Steel"}, nullptr);
        ASSERT_NE(metal, nullptr);
    }
    CEffect* metal = nullptr;
};

TEST_F(EffectToggles, APressCyclesTheEffectsPresetsAndTheIndicatorTakesEachColourButPreset0s)
{
    CVXEffectToggle toggle;
    toggle.Init(2, 10.f, 10.f, 200.f, 60.f, toggleSkin());
    toggle.SetTitle("Metal");
    toggle.BindEffect(metal, toggleSkin().effectNode);
    EXPECT_EQ(toggle.GetName(), "VXEFFECTTOGGLE_2");
    EXPECT_EQ(toggle.GetEffectButton(0)->GetName(), "VXEFFECTTOGGLE_2_0_FXBUT");
    EXPECT_EQ(toggle.GetIndicator()->GetName(), "VXEFFECTTOGGLE_2INDI");
    EXPECT_EQ(toggle.GetBackdrop()->GetDepth(), -2.f);
    EXPECT_EQ(toggle.GetIndicator()->GetDepth(), -1.f);
    ASSERT_EQ(metal->GetPresetCount(), 3);

    const struct
    {
        int preset;
        osg::Vec3f colour;
    } steps[] = {{1, {0.96f, 0.55f, 0.38f}},   // Copper
                 {2, {0.62f, 0.64f, 0.66f}},   // Steel
                 {0, {0.62f, 0.64f, 0.66f}},   // back to the effect's own: the colour stays
                 {1, {0.96f, 0.55f, 0.38f}}};
    for (const auto& step : steps)
    {
        toggle.HandleEvent("", Event(CGUIEvent::Press, "VXEFFECTTOGGLE_2_0_FXBUT"));
        EXPECT_EQ(metal->GetCurrentPreset(), step.preset);
        const osg::Vec4f c = toggle.GetIndicator()->GetColour();
        EXPECT_NEAR(c.r(), step.colour.x(), 1e-5) << step.preset;
        EXPECT_NEAR(c.g(), step.colour.y(), 1e-5) << step.preset;
        EXPECT_NEAR(c.b(), step.colour.z(), 1e-5) << step.preset;
    }
    EXPECT_EQ(toggle.GetIndicator()->GetPosition(), toggle.GetEffectButton(0)->GetPosition());
    // A release or a press elsewhere does not cycle.
    toggle.HandleEvent("", Event(CGUIEvent::ClickRelease, "VXEFFECTTOGGLE_2_0_FXBUT"));
    toggle.HandleEvent("", Event(CGUIEvent::Press, "NONE"));
    EXPECT_EQ(metal->GetCurrentPreset(), 1);
}

TEST_F(EffectToggles, AnEffectWithoutIconIsSaidOnTheConsole)
{
    CVXEffectToggle toggle;
    toggle.Init(0, 0.f, 0.f, 200.f, 60.f, toggleSkin());
    ::testing::internal::CaptureStdout();
    toggle.BindEffect(metal, toggleSkin().effectNode);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), metal->GetIcon() ? "" : "Effect group icon is NULL\n");
    EXPECT_EQ(toggle.GetTitle()->GetText(), "No Title");
}

class SettingsPanel : public HudTest
{
protected:
    void SetUp() override
    {
        HudTest::SetUp();
        const CVXSettingsRegion::Icons icons;
        panel.Init(7, icons, "models/hud/buttonRegion.ive", 38.4f, 0.f, 440.f, CHudSkin(), &content, nullptr, false);
        hud->SelectPage("MAIN");
        hud->AddRegion(&panel);
    }
    void Click(const std::string& suffix)
    {
        const std::string name = "VXSETTINGS_7" + suffix;
        EXPECT_EQ(panel.HandleEvent("", Event(CGUIEvent::Press, name)), 0);
        panel.HandleEvent("", Event(CGUIEvent::ClickRelease, name));
    }
    MenuTestContent content{{}, {}};
    CVXSettingsRegion panel;
};

TEST_F(SettingsPanel, ItsButtonsLieInOrderAndOpenShowsThem)
{
    const char* const order[] = {"OPEN", "SCAN", "TVTAB", "THRESH", "HIDER", "VSET", "VCHANGE"};
    const std::vector<CButtonRegion*> buttons = panel.GetButtons();
    ASSERT_EQ(buttons.size(), 7u);
    for (size_t i = 0; i < buttons.size(); ++i)
    {
        EXPECT_EQ(buttons[i]->GetName(), std::string("VXSETTINGS_7") + order[i]);
        if (i > 0) EXPECT_GT(buttons[i]->GetPosition().x(), buttons[i - 1]->GetPosition().x());
        EXPECT_EQ(buttons[i]->IsVisible(), i == 0) << order[i];
    }
    Click("OPEN");
    EXPECT_TRUE(panel.IsOpen());
    EXPECT_TRUE(panel.GetButton("VSET")->IsVisible());
    EXPECT_FALSE(panel.GetThresholdField()->IsVisible()) << "until its tab is opened";
    // The scan button is left for the engine to poll.
    Click("SCAN");
    EXPECT_TRUE(panel.GetButton("SCAN")->ConsumeClick());
}

TEST_F(SettingsPanel, TheHiderButtonTwiceGivesBackTheHiderAndItsPicture)
{
    osg::Texture2D* first = panel.GetButtonTexture("HIDER");
    ASSERT_NE(first, nullptr);
    Click("HIDER");
    EXPECT_TRUE(panel.IsHiderShown());
    EXPECT_NE(panel.GetButtonTexture("HIDER"), first);
    Click("HIDER");
    EXPECT_FALSE(panel.IsHiderShown());
    EXPECT_EQ(panel.GetButtonTexture("HIDER"), first);
    EXPECT_EQ(content.hiderToggles, 2);
    Click("THRESH");
    EXPECT_TRUE(panel.IsThresholdViewOn()) << "without a video manager only the button changes";
}

TEST_F(SettingsPanel, TheThresholdFieldShowsTheTrackersThresholdWhenOpenedAndSetsIt)
{
    content.threshold = 120;
    Click("TVTAB");
    EXPECT_TRUE(panel.IsThresholdFieldShown());
    EXPECT_EQ(panel.GetThresholdField()->GetDisplayedText(), "120");
    panel.HandleEvent("", Event(CGUIEvent::Press, "VXSETTINGS_7TVAL_IncButton"));
    EXPECT_EQ(content.threshold, 121);
    content.threshold = 80;  // changed elsewhere (keys, the scan)
    Click("TVTAB");
    Click("TVTAB");
    EXPECT_EQ(panel.GetThresholdField()->GetDisplayedText(), "80");
}

class EditPanel : public HudTest
{
protected:
    void SetUp() override
    {
        HudTest::SetUp();
        CEffectLibrary::Instance()->LoadPresets("models/effects.mfx");
        ::testing::internal::CaptureStdout();
        content.LoadObjects("models/effects-demo.dat");
        ::testing::internal::GetCapturedStdout();
        const CVXObjectEditRegion::Models models;
        panel.Init(3, 582.f, 416.f, 57.6f, 640.f, 480.f, models, toggleSkin(), &content);
        hud->SelectPage("MAIN");
        hud->AddRegion(&panel);
    }
    MenuTestContent content{{}, {"CARD_A:NONE"}};
    CVXObjectEditRegion panel;
};

TEST_F(EditPanel, AnObjectChangeWhileClosedStillRebuildsTheEffectToggles)
{
    content.current = "CARD_A";
    content.on["CARD_A"] = content.FindObject("MATERIALS");
    ASSERT_NE(content.on["CARD_A"], nullptr);
    hud->Dispatch("OBJ_CHANGE", Event(CGUIEvent::ObjectChanged, "OBJ_CHANGE"));
    EXPECT_FALSE(panel.IsOpen());
    EXPECT_EQ(panel.GetShownObject(), content.FindObject("MATERIALS"));
    ASSERT_FALSE(panel.GetToggles().empty());
    EXPECT_FALSE(panel.GetToggles()[0]->IsVisible());
    EXPECT_EQ(panel.GetToggles()[0]->GetName(), panel.GetName() + "_0_FXTOG");

    content.on["CARD_A"] = content.FindObject("GOLD_ORB");
    hud->Dispatch("NEW_MARKER_SEL", Event(CGUIEvent::NewMarkerSelected, "NEW_MARKER_SEL"));
    ASSERT_EQ(panel.GetToggles().size(), 1u);
    EXPECT_EQ(panel.GetToggles()[0]->GetEffect(0)->GetTypeName(), "METAL");
}

TEST_F(EditPanel, TheEditButtonOpensAndClosesThePanelAndAsksTheMenuToGoAndCome)
{
    content.current = "CARD_A";
    content.on["CARD_A"] = content.FindObject("GOLD_ORB");
    hud->Dispatch("", Event(CGUIEvent::Press, panel.GetName() + "_EDIT"));
    EXPECT_TRUE(panel.IsOpen());
    EXPECT_TRUE(panel.ConsumeHideMenuRequest());
    EXPECT_FALSE(panel.ConsumeHideMenuRequest()) << "read once";
    EXPECT_TRUE(panel.GetBackdrop()->IsVisible());
    EXPECT_EQ(panel.GetShownObject(), content.FindObject("GOLD_ORB"));
    EXPECT_TRUE(panel.GetToggles()[0]->IsVisible());

    hud->Dispatch("", Event(CGUIEvent::Press, panel.GetName() + "_SELBUT"));
    EXPECT_FALSE(panel.IsOpen());
    EXPECT_TRUE(panel.ConsumeShowMenuRequest());
    EXPECT_FALSE(panel.GetBackdrop()->IsVisible());
    panel.GetFade()->Step(1e9);
    EXPECT_FALSE(panel.GetToggles()[0]->IsVisible()) << "faded out";
    EXPECT_TRUE(panel.GetEditButton()->IsVisible());
}
}
