// The object menu's files: what a menu description and a menu layout file
// build, every message about a broken one (made by cutting or corrupting a
// good pair), and the slots the layout computes from the screen's size.
#include "CButtonRegion.h"
#include "CVXObjectButton.h"
#include "CVXObjectEditRegion.h"
#include "CVXObjectMenu.h"
#include "HudTestSupport.h"
#include "MenuTestContent.h"

#include <regex>

namespace
{
const char* const kLayout =
    "<MENU_LAYOUT>\n"
    "    <FADE_MIN> 0.1\n"
    "    <FADE_MAX> 0.7\n"
    "    <FADE_RATE> 0.5\n"
    "</MENU_LAYOUT>\n";

const char* const kToolbar =
    "<TOOLBAR>\n"
    "    <BUTTON>\n"
    "        <TYPE> UP_BUTTON\n"
    "        <FILE> models/hud/upButtonRegion.ive\n"
    "        <POS> 0\n"
    "        <BAR> 0\n"
    "    </BUTTON>\n"
    "    <BUTTON>\n"
    "        <TYPE> CLOSE_BUTTON\n"
    "        <FILE> models/hud/cacelRegion.ive\n"
    "        <POS> 9\n"
    "        <BAR> 0\n"
    "    </BUTTON>\n"
    "</TOOLBAR>\n";

const char* const kRoot =
    "<ROOT>\n"
    "    <MENU>\n"
    "        <NAME> Toys\n"
    "        <GROUP> TOYS\n"
    "        <POS> 0\n"
    "        <BUTTON>\n"
    "            <NAME> Ball\n"
    "            <OBJECT> BALL\n"
    "            <MARKER> SELECTED\n"
    "            <POS> 0\n"
    "        </BUTTON>\n"
    "    </MENU>\n"
    "    <BUTTON>\n"
    "        <NAME> Kite\n"
    "        <OBJECT> KITE\n"
    "        <MARKER> CARD_A\n"
    "        <POS> 1\n"
    "    </BUTTON>\n"
    "</ROOT>\n";

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

class MenuFiles : public HudTest
{
protected:
    // Loads the pair (written into a fresh folder) into a root menu for a
    // 640 x 480 screen; returns what it printed.
    std::string Load(const std::string& description, const std::string& layout, bool* result = nullptr)
    {
        TestFolder::WriteFile(files / "menu.hud", description);
        TestFolder::WriteFile(files / "layout.hud", layout);
        return LoadFiles(files / "menu.hud", files / "layout.hud", result);
    }
    std::string LoadFiles(const std::string& description, const std::string& layout, bool* result = nullptr)
    {
        menu = std::make_unique<CVXObjectMenu>();
        menu->InitRoot(0, 640.f, 480.f, &content, skin);
        ::testing::internal::CaptureStdout();
        const bool loaded = menu->LoadMenu(description, layout);
        if (result) *result = loaded;
        return ::testing::internal::GetCapturedStdout();
    }
    static CHudSkin Skin()
    {
        CHudSkin skin;
        skin.button = "models/hud/buttonRegion.ive";
        skin.menuButton = "models/hud/qorts/menuButton/menuButton.ive";
        return skin;
    }
    TestFolder files;
    MenuTestContent content{{"BALL:TOYS", "KITE:TOYS"}, {"CARD_A:NONE"}};
    CHudSkin skin = Skin();
    std::unique_ptr<CVXObjectMenu> menu;
};

TEST_F(MenuFiles, AGoodPairBuildsTheTreeQuietly)
{
    bool loaded = false;
    EXPECT_EQ(Load(std::string(kToolbar) + kRoot, kLayout, &loaded), "");
    ASSERT_TRUE(loaded);
    EXPECT_FLOAT_EQ(menu->GetFadeMin(), 0.1f);
    EXPECT_FLOAT_EQ(menu->GetFadeMax(), 0.7f);
    EXPECT_FLOAT_EQ(menu->GetFadeRate(), 0.5f);
    ASSERT_EQ(menu->GetSubMenus().size(), 1u);
    const CVXObjectMenu& toys = *menu->GetSubMenus()[0];
    EXPECT_EQ(toys.GetTitle(), "Toys");
    EXPECT_EQ(toys.GetGroup(), "TOYS");
    ASSERT_EQ(toys.GetObjectButtons().size(), 1u);
    EXPECT_EQ(toys.GetObjectButtons()[0]->GetObjectName(), "BALL");
    EXPECT_FALSE(toys.GetObjectButtons()[0]->IsVisible()) << "a deeper page starts hidden";
    ASSERT_NE(toys.GetMenuButton(), nullptr);
    EXPECT_TRUE(toys.GetMenuButton()->IsVisible()) << "its button is on the root's page";
    EXPECT_EQ(toys.GetMenuButton()->GetPosition(), menu->GetButtonPositions()[0]);
    ASSERT_EQ(menu->GetObjectButtons().size(), 1u);
    const CVXObjectButton& kite = *menu->GetObjectButtons()[0];
    EXPECT_EQ(kite.GetMarkerName(), "CARD_A");
    EXPECT_EQ(kite.GetPosition(), menu->GetButtonPositions()[1]);
    EXPECT_EQ(kite.GetSize(), menu->GetButtonSize());
    // Names are unique, so picks reach the right button.
    EXPECT_EQ(toys.GetName(), "VXOBJMENU_0_sub0");
    EXPECT_EQ(kite.GetName(), "VXOBJMENU_0objBut0");
    ASSERT_NE(menu->GetToolbarButton("UP_BUTTON"), nullptr);
    EXPECT_EQ(menu->GetToolbarButton("UP_BUTTON")->GetName(), "VXOBJMENU_0_UP");
    EXPECT_EQ(menu->GetToolbarButton("CLOSE_BUTTON")->GetName(), "VXOBJMENU_0_CLOSE");
    EXPECT_EQ(menu->GetToolbarButton("CLOSE_BUTTON")->GetPosition(), menu->GetToolbarPositions(0)[9]);
    EXPECT_EQ(menu->GetSkin().button, "models/hud/buttonRegion.ive") << "the creator's skin without a <SKIN>";
    EXPECT_NE(menu->GetFade(), nullptr);
}

TEST_F(MenuFiles, EveryBrokenFileSaysWhatIsWrong)
{
    const std::string good = std::string(kToolbar) + kRoot;
    const struct
    {
        const char* what;
        std::string description, layout;
        std::string expected;  // the output, with FOLDER for the test folder
        bool loads;
    } cases[] = {
        {"no <ROOT>", replaced(replaced(good, "<ROOT>\n", ""), "</ROOT>\n", ""), kLayout,
         "Error menu description file FOLDER/menu.hud does not contain a <ROOT> node\n", false},
        {"no <TOOLBAR>", kRoot, kLayout, "Error menu description file does not contain a <TOOLBAR> node\n", true},
        {"no <MENU_LAYOUT>", good, replaced(kLayout, "<MENU_LAYOUT>\n", ""),
         "Error sub menu description file FOLDER/layout.hud does not contain a <MENU> node\nLoad layout file faild\n",
         false},
        {"a button slot past the nine", replaced(good, "<POS> 1\n", "<POS> 9\n"), kLayout,
         "Button Position 9 is unavaliable\n", true},
        {"a sub-menu slot below 0", replaced(good, "        <POS> 0\n        <BUTTON>", "        <POS> -1\n        <BUTTON>"),
         kLayout, "Button Position -1 is unavaliable\n", true},
        {"a toolbar slot past its bar", replaced(good, "<POS> 9\n        <BAR> 0", "<POS> 10\n        <BAR> 0"), kLayout,
         "Button Position 10 is unavaliable\n", true},
        {"a second UP_BUTTON", replaced(good, "CLOSE_BUTTON", "UP_BUTTON"), kLayout,
         "An <UP_BUTTON> node has already been loaded\n", true},
        {"a second CLOSE_BUTTON", replaced(good, "UP_BUTTON", "CLOSE_BUTTON"), kLayout,
         "A <CLOSE_BUTTON> node has already been loaded\n", true},
        {"an unknown marker", replaced(good, "CARD_A", "CARD_Z"), kLayout,
         "Warning! CARD_Z is not a valid Marker name, Marker Name must be vaild or 'SELECTED'\n", true},
        {"no marker", replaced(good, "        <MARKER> CARD_A\n", ""), kLayout,
         "Warning! NONE is not a vailt Marker Name. VXObjectButton must be passed a valid Maker Name or "
         "'SELECTED'\n",
         true},
        {"an unknown object", replaced(good, "<OBJECT> KITE", "<OBJECT> KITTEN"), kLayout,
         "Warning! KITTEN is not a vailt Object Name. VXObjectButton must be passed a valid Object Name\n", true},
        {"no object", replaced(good, "        <OBJECT> KITE\n", ""), kLayout,
         "Warning! NONE is not a vailt Object Name. VXObjectButton must be passed a valid Object Name\n", true},
        {"a missing sub-menu file", replaced(good, "</ROOT>", "    <MENU_FILE> FOLDER/gone.hud\n</ROOT>"), kLayout,
         "Failed to open sub menu description file FOLDER/gone.hud\n", true},
        {"a sub-menu file without <MENU>", replaced(good, "</ROOT>", "    <MENU_FILE> FOLDER/layout.hud\n</ROOT>"),
         kLayout, "Error sub menu description file FOLDER/layout.hud does not contain a <MENU> node\n", true},
    };
    for (const auto& c : cases)
    {
        bool loaded = !c.loads;
        const std::string description = std::regex_replace(c.description, std::regex("FOLDER"), files.Path());
        const std::string said = Load(description, c.layout, &loaded);
        EXPECT_EQ(said, std::regex_replace(c.expected, std::regex("FOLDER"), files.Path())) << c.what;
        EXPECT_EQ(loaded, c.loads) << c.what;
    }
}

// Cut short or naming themselves, files end their reading with what was read.
TEST_F(MenuFiles, CutAndSelfNamingFilesStopTheReading)
{
    const std::string good = std::string(kToolbar) + kRoot;
    TestFolder::WriteFile(files / "self.hud", "<MENU>\n<POS> 2\n<MENU_FILE> " + (files / "self.hud") + "\n</MENU>\n");
    std::string deep;
    for (int i = 0; i < 18; ++i) deep += "<MENU>\n<POS> 0\n";
    for (int i = 0; i < 18; ++i) deep += "</MENU>\n";
    const struct
    {
        const char* what;
        std::string description, layout, expected;
        size_t subMenus;  // of the root
    } cases[] = {
        {"a layout cut inside <SKIN>", good, "<MENU_LAYOUT>\n<FADE_MIN> 0.1\n<SKIN>\n<BUTTON> b.ive\n",
         "Skin: expected </SKIN>, found the end of the file\n", 1},
        {"a description cut inside a sub-menu's button", good.substr(0, good.find("<OBJECT> BALL")), kLayout,
         "Button Position -1 is unavaliable\n", 1},
        {"a sub-menu file naming itself", replaced(good, "</ROOT>", "<MENU_FILE> " + (files / "self.hud") + "\n</ROOT>"),
         kLayout,
         "Menu: expected a sub menu description file not already being read, found " + (files / "self.hud") +
             " inside itself; it is left out\n",
         2},
        {"sub-menus 18 deep", replaced(good, "</ROOT>", deep + "</ROOT>"), kLayout,
         "Menu: expected sub-menus at most 16 deep, found a deeper <MENU>; it is left out\n", 2},
    };
    for (const auto& c : cases)
    {
        bool loaded = false;
        EXPECT_EQ(Load(c.description, c.layout, &loaded), c.expected) << c.what;
        EXPECT_TRUE(loaded) << c.what;
        EXPECT_EQ(menu->GetSubMenus().size(), c.subMenus) << c.what;
    }
    int depth = 0;
    for (const CVXObjectMenu* sub = menu.get(); !sub->GetSubMenus().empty(); sub = sub->GetSubMenus().back().get())
        ++depth;
    EXPECT_EQ(depth, 16) << "the sub-menus down to the limit are kept";
    EXPECT_FLOAT_EQ(menu->GetFadeMax(), 0.7f) << "the layout after a cut description is the whole one";
}

TEST_F(MenuFiles, MissingFilesAreNamed)
{
    bool loaded = true;
    EXPECT_EQ(LoadFiles(files / "none.hud", files / "layout.hud", &loaded),
              "Failed to open menu description file " + (files / "none.hud") + "\n");
    EXPECT_FALSE(loaded);
    TestFolder::WriteFile(files / "menu.hud", std::string(kToolbar) + kRoot);
    EXPECT_EQ(LoadFiles(files / "menu.hud", files / "none.hud", &loaded),
              "Failed to open Menu Layout file " + (files / "none.hud") + "\nLoad layout file faild\n");
    EXPECT_FALSE(loaded);
}

TEST_F(MenuFiles, ASubMenuFileAddsItsMenu)
{
    TestFolder::WriteFile(files / "more.hud", "<MENU>\n <NAME> More\n <POS> 2\n <BUTTON>\n  <OBJECT> KITE\n"
                                              "  <MARKER> SELECTED\n  <POS> 4\n </BUTTON>\n</MENU>\n");
    EXPECT_EQ(Load(replaced(std::string(kToolbar) + kRoot, "</ROOT>", "<MENU_FILE> " + (files / "more.hud") + "\n</ROOT>"),
                   kLayout),
              "");
    ASSERT_EQ(menu->GetSubMenus().size(), 2u);
    const CVXObjectMenu& more = *menu->GetSubMenus()[1];
    EXPECT_EQ(more.GetTitle(), "More");
    ASSERT_EQ(more.GetObjectButtons().size(), 1u);
    EXPECT_EQ(more.GetObjectButtons()[0]->GetPosition(), menu->GetButtonPositions()[4]);
}

TEST_F(MenuFiles, TheLayoutsSlotsComeFromTheScreensSize)
{
    ASSERT_EQ(Load(std::string(kToolbar) + kRoot, kLayout), "");
    // 640 x 480: margins 64 and 48, room 512 x 384, buttons (384 - 56.6) / 3 wide,
    // the grid centred across and starting at the bottom margin.
    const float s = (384.f - (0.15f * 384.f - 1.f)) / 3.f;
    EXPECT_FLOAT_EQ(menu->GetButtonSize().x(), s);
    EXPECT_FLOAT_EQ(menu->GetButtonSize().y(), s);
    const std::vector<osg::Vec2f>& slots = menu->GetButtonPositions();
    ASSERT_EQ(slots.size(), 9u);
    EXPECT_FLOAT_EQ(slots[0].x(), 128.f);
    EXPECT_FLOAT_EQ(slots[0].y(), 48.f);
    EXPECT_FLOAT_EQ(slots[4].x(), 128.f + s + 25.6f);
    EXPECT_FLOAT_EQ(slots[4].y(), 48.f + s + 19.2f);
    EXPECT_FLOAT_EQ(slots[8].y(), 48.f + 2.f * (s + 19.2f));
    // Toolbar squares of 0.9 of the side margin with gaps of 0.1 of it.
    EXPECT_FLOAT_EQ(menu->GetToolbarButtonSide(), 57.6f);
    ASSERT_EQ(menu->GetToolbarPositions(0).size(), 10u);
    EXPECT_FLOAT_EQ(menu->GetToolbarPositions(0)[3].x(), 3.2f + 3.f * 64.f);
    EXPECT_FLOAT_EQ(menu->GetToolbarPositions(0)[3].y(), 6.4f);
    EXPECT_EQ(menu->GetToolbarPositions(1).size(), 10u);
    EXPECT_EQ(menu->GetToolbarPositions(2).size(), 7u);  // 480 / 64
    EXPECT_FLOAT_EQ(menu->GetToolbarPositions(3)[0].x(), 640.f - 57.6f - 3.2f);
}

TEST_F(MenuFiles, ARotationOf90ExchangesTheScreensSidesBeforeTheLayout)
{
    ASSERT_EQ(Load(std::string(kToolbar) + kRoot, replaced(kLayout, "</MENU_LAYOUT>", "<ROTATE> 90\n</MENU_LAYOUT>")),
              "");
    EXPECT_NEAR(menu->GetRotate(), 1.5707963, 1e-6);
    EXPECT_EQ(menu->GetScreenSize(), osg::Vec2f(480.f, 640.f));
    // Portrait: the grid starts at the side margin and is centred up and down.
    EXPECT_FLOAT_EQ(menu->GetButtonPositions()[0].x(), 48.f);
    EXPECT_FLOAT_EQ(menu->GetButtonPositions()[0].y(), 320.f - 192.f);
    // The turned layout still covers the screen: its corner (480, 0) lands at (640, 480).
    const osg::Vec3 corner = osg::Vec3(480.f, 0.f, 0.f) * menu->GetTransform()->getMatrix();
    EXPECT_NEAR(corner.x(), 640.f, 1e-3);
    EXPECT_NEAR(corner.y(), 480.f, 1e-3);
}

TEST_F(MenuFiles, TheEditPanelOfTheToolbarIsBuiltFromItsModels)
{
    const std::string description =
        replaced(std::string(kToolbar) + kRoot, "</TOOLBAR>",
                 "<BUTTON>\n<TYPE> EDIT_PANEL\n<POS> 9\n<BAR> 1\n</BUTTON>\n</TOOLBAR>");
    EXPECT_EQ(Load(description, kLayout), "");
    ASSERT_NE(menu->GetEditPanel(), nullptr);
    EXPECT_EQ(menu->GetEditPanel()->GetEditButton()->GetPosition(), menu->GetToolbarPositions(1)[9]);
    EXPECT_NE(menu->GetEditPanel()->GetEditButton()->GetModel(), nullptr) << "models/hud/qorts/editIcon";
    EXPECT_FALSE(menu->GetEditPanel()->IsOpen());
    EXPECT_FALSE(menu->GetEditPanel()->GetBackdrop()->IsVisible());
}
}
