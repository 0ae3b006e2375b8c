// What the object menu does: object buttons in their three modes, the
// toolbar's buttons, sub-menus and their fades, and the sound scheme.
#include "CButtonRegion.h"
#include "CSoundSource.h"
#include "CVXObjectButton.h"
#include "CVXObjectEditRegion.h"
#include "CVXObjectMenu.h"
#include "HudTestSupport.h"
#include "MenuFadeCallback.h"
#include "MenuTestContent.h"

namespace
{
class MenuActions : public HudTest
{
protected:
    // A root menu on the page "VEXA_MENU" from a description (the toolbar
    // holds every button type) and a layout with `layoutExtra` lines.
    void Build(const std::string& rootLines, const std::string& layoutExtra = std::string())
    {
        std::string toolbar = "<TOOLBAR>\n";
        int slot = 0;
        for (const char* type : {"UP_BUTTON", "CLOSE_BUTTON", "GROUP_SCALE_UP", "GROUP_SCALE_DOWN", "NEXT_IN_GROUP",
                                 "PREV_IN_GROUP", "HOME_BUTTON", "SUPER_SIZE", "DEFAULT_SCALE"})
            toolbar += std::string("<BUTTON>\n<TYPE> ") + type + "\n<FILE> models/hud/buttonRegion.ive\n<POS> " +
                       std::to_string(slot++) + "\n<BAR> 0\n</BUTTON>\n";
        toolbar += "<BUTTON>\n<TYPE> EDIT_PANEL\n<POS> 9\n<BAR> 1\n</BUTTON>\n</TOOLBAR>\n";
        TestFolder::WriteFile(files / "menu.hud", toolbar + "<ROOT>\n" + rootLines + "</ROOT>\n");
        TestFolder::WriteFile(files / "layout.hud", "<MENU_LAYOUT>\n" + layoutExtra + "</MENU_LAYOUT>\n");
        hud->AddPage("VEXA_MENU");
        hud->SelectPage("VEXA_MENU");
        menu = std::make_unique<CVXObjectMenu>();
        CHudSkin skin;
        skin.button = "models/hud/buttonRegion.ive";
        skin.menuButton = "models/hud/qorts/menuButton/menuButton.ive";
        menu->InitRoot(0, 640.f, 480.f, &content, skin);
        ::testing::internal::CaptureStdout();
        menu->LoadMenu(files / "menu.hud", files / "layout.hud");
        said = ::testing::internal::GetCapturedStdout();
        hud->AddRegion(menu.get());
    }
    static std::string Button(const std::string& object, const std::string& marker, int slot,
                              const std::string& mode = "NORMAL", int groupIndex = 0)
    {
        return "<BUTTON>\n<OBJECT> " + object + "\n<MARKER> " + marker + "\n<POS> " + std::to_string(slot) +
               "\n<MODE> " + mode + "\n<GROUP_INDEX> " + std::to_string(groupIndex) + "\n</BUTTON>\n";
    }
    // A press on the region named `name`, as a click on it makes.
    void Press(const std::string& name) { hud->Dispatch("", Event(CGUIEvent::Press, name)); }
    void PressToolbar(const std::string& type) { Press(menu->GetToolbarButton(type)->GetName()); }
    CContentObject* Object(const std::string& name) const { return content.FindObject(name); }

    TestFolder files;
    MenuTestContent content{{"BALL:TOYS:2", "KITE:TOYS:1", "TOP:TOYS:1", "OAK:TREES:3", "ELM:TREES:1"},
                            {"CARD_A:TOYS", "CARD_B:TOYS", "CARD_C:TREES", "CARD_D:NONE"}};
    std::unique_ptr<CVXObjectMenu> menu;
    std::string said;
};

TEST_F(MenuActions, ObjectButtonsPutTheirObjectOnAMarkerInEachMode)
{
    Build(Button("KITE", "CARD_D", 0) + Button("BALL", "SELECTED", 1) + Button("NONE", "SELECTED", 2, "GROUP_INDEX", 1) +
          Button("NONE", "SELECTED", 3, "GROUP_INDEX", 5) + Button("NONE", "SELECTED", 4, "ALL_GROUP_INDEX", 1) +
          Button("NONE", "SELECTED", 5, "GROUP_INDEX", -3));
    const auto& buttons = menu->GetObjectButtons();
    ASSERT_EQ(buttons.size(), 6u) << said;
    content.current = "CARD_A";

    Press(buttons[0]->GetName());  // NORMAL on a named marker
    EXPECT_EQ(content.ObjectOnMarker("CARD_D"), Object("KITE"));
    Press(buttons[1]->GetName());  // NORMAL on the current marker
    EXPECT_EQ(content.ObjectOnMarker("CARD_A"), Object("BALL"));
    Press(buttons[2]->GetName());  // the second object of the current marker's group
    EXPECT_EQ(content.ObjectOnMarker("CARD_A"), Object("KITE"));

    content.puts = 0;
    ::testing::internal::CaptureStdout();
    Press(buttons[3]->GetName());  // past the group's three objects: nothing changes
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "VXObjectButton " + buttons[3]->GetName() + ": group TOYS has 3 objects, none at index 5\n");
    EXPECT_EQ(content.puts, 0);
    EXPECT_EQ(content.ObjectOnMarker("CARD_A"), Object("KITE"));

    Press(buttons[4]->GetName());  // every group's second object on that group's markers
    EXPECT_EQ(content.ObjectOnMarker("CARD_B"), Object("KITE"));
    EXPECT_EQ(content.ObjectOnMarker("CARD_C"), Object("ELM"));

    EXPECT_EQ(buttons[5]->GetGroupIndex(), 0) << "a group index below 0 reads as 0";
    Press(buttons[5]->GetName());
    EXPECT_EQ(content.ObjectOnMarker("CARD_A"), Object("BALL"));
}

TEST_F(MenuActions, AnObjectButtonTellsTheHudAndTheEditPanelShowsTheNewObject)
{
    Build(Button("OAK", "SELECTED", 0));
    content.current = "CARD_C";
    Press(menu->GetObjectButtons()[0]->GetName());
    EXPECT_EQ(hud->LastEvent().targetName, "NEW_MENU_OBJ_SEL");
    EXPECT_EQ(hud->LastEvent().type, CGUIEvent::ObjectChanged);
    EXPECT_EQ(menu->GetEditPanel()->GetShownObject(), Object("OAK"));
    // Without a current marker nothing is put anywhere.
    content.current.clear();
    content.puts = 0;
    Press(menu->GetObjectButtons()[0]->GetName());
    EXPECT_EQ(content.puts, 0);
}

TEST_F(MenuActions, SuperSizeTwiceGivesTheObjectItsScaleBackAndANewSelectionRestoresItFirst)
{
    Build(Button("KITE", "SELECTED", 0));
    content.current = "CARD_A";
    content.on["CARD_A"] = Object("BALL");
    PressToolbar("SUPER_SIZE");
    EXPECT_DOUBLE_EQ(Object("BALL")->GetScale(), 10.0);
    EXPECT_TRUE(menu->IsSuperSized());
    PressToolbar("SUPER_SIZE");
    EXPECT_DOUBLE_EQ(Object("BALL")->GetScale(), 2.0);

    PressToolbar("SUPER_SIZE");
    Press(menu->GetObjectButtons()[0]->GetName());  // KITE goes on the marker
    EXPECT_FALSE(menu->IsSuperSized());
    EXPECT_DOUBLE_EQ(Object("BALL")->GetScale(), 2.0);
    EXPECT_DOUBLE_EQ(Object("KITE")->GetScale(), 1.0);
}

TEST_F(MenuActions, GroupButtonsScaleStepAndResetTheCurrentObjectsGroup)
{
    Build("");
    content.current = "CARD_A";
    content.on["CARD_A"] = Object("KITE");
    PressToolbar("GROUP_SCALE_UP");
    EXPECT_DOUBLE_EQ(Object("BALL")->GetScale(), 2.2);
    EXPECT_DOUBLE_EQ(Object("TOP")->GetScale(), 1.1);
    EXPECT_DOUBLE_EQ(Object("OAK")->GetScale(), 3.0) << "another group";
    PressToolbar("GROUP_SCALE_DOWN");
    EXPECT_DOUBLE_EQ(Object("TOP")->GetScale(), 1.1 * 0.9);
    PressToolbar("DEFAULT_SCALE");
    EXPECT_DOUBLE_EQ(Object("BALL")->GetScale(), 2.0);
    EXPECT_DOUBLE_EQ(Object("TOP")->GetScale(), 1.0);

    PressToolbar("NEXT_IN_GROUP");
    EXPECT_EQ(content.ObjectOnMarker("CARD_A"), Object("TOP"));
    PressToolbar("NEXT_IN_GROUP");
    EXPECT_EQ(content.ObjectOnMarker("CARD_A"), Object("BALL")) << "wraps";
    PressToolbar("PREV_IN_GROUP");
    EXPECT_EQ(content.ObjectOnMarker("CARD_A"), Object("TOP"));
}

TEST_F(MenuActions, ASubMenuButtonSwitchesPagesOneAfterTheOtherAndUpComesBack)
{
    Build("<MENU>\n<NAME> Trees\n<POS> 0\n" + Button("OAK", "SELECTED", 0) + "</MENU>\n" +
              Button("BALL", "SELECTED", 1),
          "<FADE_MIN> 0\n<FADE_MAX> 0.8\n<FADE_RATE> 0.4\n");
    CVXObjectMenu* trees = menu->GetSubMenus()[0].get();
    Press(trees->GetMenuButton()->GetName());
    EXPECT_EQ(menu->GetOpenMenu(), trees);
    MenuFadeCallback* fade = menu->GetFade();
    ASSERT_EQ(fade->GetState(), MenuFadeCallback::Downward);
    EXPECT_TRUE(fade->HasQueuedFade());

    // Drive the fade by hand: the root's page goes over 0.4 s, then the sub-menu's comes.
    fade->StartFadeAt(menu->PageRegions(), 0.8, 0.0, 0.4, 10.0);
    fade->QueueFade(trees->PageRegions());
    fade->Step(10.2);
    EXPECT_NEAR(fade->GetValue(), 0.4, 1e-9);
    EXPECT_TRUE(menu->GetObjectButtons()[0]->IsVisible());
    fade->Step(10.4);
    EXPECT_FALSE(menu->GetObjectButtons()[0]->IsVisible()) << "the old page is hidden when it arrives";
    EXPECT_EQ(fade->GetState(), MenuFadeCallback::Upward);
    EXPECT_TRUE(trees->GetObjectButtons()[0]->IsVisible()) << "the new page shows as its fade starts";
    fade->Step(10.6);
    EXPECT_NEAR(trees->GetObjectButtons()[0]->GetTransparency(), 0.4, 1e-9);
    fade->Step(10.9);
    EXPECT_EQ(fade->GetState(), MenuFadeCallback::Idle);
    EXPECT_NEAR(trees->GetObjectButtons()[0]->GetTransparency(), 0.8, 1e-9);

    PressToolbar("UP_BUTTON");
    EXPECT_EQ(menu->GetOpenMenu(), menu.get());
    EXPECT_EQ(fade->GetState(), MenuFadeCallback::Downward);
}

TEST_F(MenuActions, CloseFadesTheMenuPageOutAndTheNextClickInEmptySpaceBringsItBack)
{
    Build("", "<FADE_MIN> 0.1\n<FADE_MAX> 0.7\n<FADE_RATE> 0.3\n");
    PressToolbar("CLOSE_BUTTON");
    EXPECT_EQ(hud->GetCurrentPageName(), "VEXA_MENU");
    EXPECT_EQ(hud->GetFadeCallback()->GetState(), RegionFadeCallback::Downward);
    ASSERT_TRUE(hud->IsPageSwitchArmed());
    hud->Dispatch("", Event(CGUIEvent::Press, "NONE"));
    EXPECT_EQ(hud->GetFadeCallback()->GetState(), RegionFadeCallback::Upward);
    EXPECT_NEAR(hud->GetFadeCallback()->GetValue(), 0.1, 1e-6);

    // HOME while the page shows: out, with a switch back armed.
    hud->GetFadeCallback()->Step(1e9);
    PressToolbar("HOME_BUTTON");
    EXPECT_EQ(hud->GetFadeCallback()->GetState(), RegionFadeCallback::Downward);
    EXPECT_TRUE(hud->IsPageSwitchArmed());
}

TEST_F(MenuActions, TheSoundSchemeLoadsOnceAndGainOrPitchMinusOneLeavesTheSourcesAt1)
{
    Build("", "<SOUND_SCHEME>\n<EVENT> MENU_CLICK models/sounds/click.wav\n<EVENT> UP_CLICK models/sounds/click.wav\n"
              "<GAIN> -1\n<PITCH> 0.5\n</SOUND_SCHEME>\n"
              "<SOUND_SCHEME>\n<EVENT> OBJECT_CLICK models/sounds/click.wav\n<GAIN> 0.3\n</SOUND_SCHEME>\n");
    ASSERT_TRUE(menu->AreSoundsLoaded());
    EXPECT_EQ(menu->GetSoundFile(CVXObjectMenu::MenuClick), "models/sounds/click.wav");
    EXPECT_EQ(menu->GetSoundFile(CVXObjectMenu::ObjectClick), "") << "the second scheme is ignored";
    EXPECT_EQ(menu->GetSoundFile(CVXObjectMenu::UpClick), "models/sounds/click.wav");
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_FLOAT_EQ(menu->GetSoundSource(i)->GetGain(), 1.f) << i;
        EXPECT_FLOAT_EQ(menu->GetSoundSource(i)->GetPitch(), 0.5f) << i;
    }
    menu->PlayMenuSound(CVXObjectMenu::CloseClick);  // no file: nothing to play, nothing breaks
}
}
