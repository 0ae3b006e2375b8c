#pragma once
// The object menu ("VXOBJMENU_<index>"): a tree of menu pages, each a grid
// of object buttons (a press puts a content object on a marker) and
// sub-menu buttons (a press opens the deeper page), with a toolbar of fixed
// buttons (up, close, home, next and previous in group, group scale up and
// down, super size, default scale, the object-edit panel) and four click
// sounds. A menu description file gives the tree, a menu layout file the
// slots, fades, sounds and skin.
//
// The root menu (made by its creator) holds what the tree shares: the open
// menu, the toolbar, the sounds and the fade callback of menu switches.
// Sub-menus are children of the menu above them; a menu's page is its
// object and sub-menu buttons, faded in and out as a whole.
//
// Ownership: a menu owns its sub-menus, buttons, toolbar and sound sources.
// The content interface and the sound system belong to the creator and
// must outlive the menu. Messages about the files go to the console; a
// menu keeps whatever it could build.

#include "CHudRegion.h"
#include "CHudSkin.h"

#include <osg/Vec2f>
#include <osg/ref_ptr>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CButtonRegion;
class CContentObject;
class CHudContent;
class COsgSettings;
class CSoundSource;
class CVXObjectButton;
class CVXObjectEditRegion;
class MenuFadeCallback;

class CVXObjectMenu : public CHudRegion
{
public:
    enum Sound
    {
        MenuClick = 0,
        ObjectClick = 1,
        UpClick = 2,
        CloseClick = 3
    };
    static const char* const kPageName;  // "VEXA_MENU"
    static const int kBars = 4;

    CVXObjectMenu();
    ~CVXObjectMenu() override;

    /// A root menu for a screen of width × height, named by `index`: the
    /// creator's skin is the default when the layout file has none.
    void InitRoot(int index, float screenWidth, float screenHeight, CHudContent* content, const CHudSkin& skin);
    /// Reads the layout file, then the description file, and builds the
    /// tree; false when either file is missing or unusable.
    bool LoadMenu(const std::string& descriptionFile, const std::string& layoutFile);
    /// Reads the menu layout file; false when it is missing or has no
    /// <MENU_LAYOUT> block.
    bool LoadLayout(const std::string& layoutFile);
    /// Nine button slots and the four toolbar bars from the screen size
    /// (replacing the button size).
    void ComputeLayout(float width, float height);
    int HandleEvent(const std::string& message, const CGUIEvent& event) override;

    /// Plays sound `index` (0..3) of the root when its scheme is loaded.
    void PlayMenuSound(int index);
    /// Fades `from` out and then `to` in (at the root; a sub-menu passes it up).
    void SwitchMenu(CVXObjectMenu* from, CVXObjectMenu* to);

    // State for the engine and for tests.
    bool IsRoot() const { return m_isRoot; }
    CVXObjectMenu* GetParentMenu() const { return m_parentMenu; }
    CVXObjectMenu* GetRootMenu();
    CVXObjectMenu* GetOpenMenu() const { return m_openMenu; }
    const std::string& GetTitle() const { return m_title; }
    const std::string& GetGroup() const { return m_group; }
    const std::vector<std::unique_ptr<CVXObjectMenu>>& GetSubMenus() const { return m_subMenus; }
    CButtonRegion* GetMenuButton() const { return m_menuButton.get(); }
    const std::vector<std::unique_ptr<CVXObjectButton>>& GetObjectButtons() const { return m_objectButtons; }
    /// The toolbar button of a type ("UP_BUTTON", ...); null when not loaded.
    CButtonRegion* GetToolbarButton(const std::string& type) const;
    CHudRegion* GetToolbarLabel() const { return m_label.get(); }
    CVXObjectEditRegion* GetEditPanel() const { return m_editPanel.get(); }
    const std::vector<osg::Vec2f>& GetButtonPositions() const { return m_buttonPositions; }
    const std::vector<osg::Vec2f>& GetToolbarPositions(int bar) const { return m_toolbarPositions[bar]; }
    osg::Vec2f GetButtonSize() const { return m_buttonSize; }
    float GetToolbarButtonSide() const { return m_toolbarSide; }
    osg::Vec2f GetScreenSize() const { return osg::Vec2f(m_screenWidth, m_screenHeight); }
    float GetFadeMin() const { return m_fadeMin; }
    float GetFadeMax() const { return m_fadeMax; }
    float GetFadeRate() const { return m_fadeRate; }
    float GetRotate() const { return m_rotate; }
    const CHudSkin& GetSkin() const { return m_skin; }
    bool HasSkin() const { return m_hasSkin; }
    bool AreSoundsLoaded() const { return m_soundsLoaded; }
    CSoundSource* GetSoundSource(int index) const;
    const std::string& GetSoundFile(int index) const { return m_soundFiles[index]; }
    MenuFadeCallback* GetFade() const { return m_fade.get(); }
    bool IsSuperSized() const { return m_superSized; }
    /// The regions faded as this menu's page: its object and sub-menu buttons.
    std::vector<CHudRegion*> PageRegions() const;

private:
    // Loading (CVXObjectMenuLoad.cpp).
    void ReadLayoutLine(COsgSettings& file, const std::string& tag);
    void ReadSoundScheme(COsgSettings& file);
    void LoadSounds(const std::array<std::string, 4>& files, float gain, float pitch);
    void ReadToolbar(COsgSettings& file);
    void ReadToolbarButton(COsgSettings& file);
    void ReadMenuLines(COsgSettings& file, const std::string& closingTag);
    void ReadSubMenu(COsgSettings& file);
    void ReadSubMenuFile(const std::string& fileName);
    void ReadObjectButton(COsgSettings& file);
    CVXObjectMenu* MakeSubMenu();
    int Depth() const;  // 0 for the root, 1 for its sub-menus, ...
    bool SlotAvailable(int slot, const std::vector<osg::Vec2f>& positions) const;
    void ApplyRotation();

    // Events (CVXObjectMenuEvents.cpp).
    bool HandleMenuButtons();
    bool HandleObjectButtons();
    void HandleToolbar();
    void CloseMenuPage();
    void UpPressed();
    void HomePressed();
    void ScaleGroup(bool up);
    void DefaultScaleGroup();
    void PutNextInGroup(bool forward);
    void ToggleSuperSize();
    void RestoreSuperSize();
    void FadeOpenMenu(bool in);
    CContentObject* CurrentObject() const;

    bool m_isRoot = false;
    CVXObjectMenu* m_parentMenu = nullptr;
    CVXObjectMenu* m_openMenu = nullptr;
    std::string m_title;           // <NAME> of a sub-menu
    std::string m_group = "NONE";  // <GROUP> of a sub-menu
    CHudContent* m_content = nullptr;
    std::vector<std::unique_ptr<CVXObjectMenu>> m_subMenus;
    std::vector<std::string> m_filesBeingRead;  // at the root: the description files open while loading
    std::unique_ptr<CButtonRegion> m_menuButton;  // this sub-menu's button in its parent
    std::vector<std::unique_ptr<CVXObjectButton>> m_objectButtons;
    std::array<std::unique_ptr<CSoundSource>, 4> m_sounds;
    std::array<std::string, 4> m_soundFiles;
    bool m_soundsLoaded = false;
    float m_fadeMin = 0.f, m_fadeMax = 0.8f, m_fadeRate = 0.4f;
    float m_rotate = 0.f;  // radians
    CHudSkin m_skin;
    bool m_hasSkin = false;
    std::vector<osg::Vec2f> m_buttonPositions;
    std::array<std::vector<osg::Vec2f>, kBars> m_toolbarPositions;
    osg::Vec2f m_buttonSize;
    float m_toolbarSide = 0.f;
    float m_screenWidth = 0.f, m_screenHeight = 0.f;
    std::map<std::string, std::unique_ptr<CButtonRegion>> m_toolbar;
    std::unique_ptr<CHudRegion> m_label;
    std::unique_ptr<CVXObjectEditRegion> m_editPanel;
    bool m_superSized = false;
    CContentObject* m_superSizedObject = nullptr;
    double m_savedScale = 1.0;
    osg::ref_ptr<MenuFadeCallback> m_fade;
};
