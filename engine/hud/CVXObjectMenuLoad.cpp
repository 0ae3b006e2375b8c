// The object menu: reading the menu description and layout files.
#include "CVXObjectMenu.h"

#include "CButtonRegion.h"
#include "COsgSettings.h"
#include "CPathResolver.h"
#include "CVXObjectButton.h"
#include "CVXObjectEditRegion.h"
#include "MenuFadeCallback.h"

#include <osg/Matrix>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <utility>

namespace
{
const float kDegreesToRadians = 0.017453292f;

void say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// The menu says itself what it could not open.
bool openFile(COsgSettings& file, const std::string& name)
{
    const std::string path = CPathResolver::Resolve(name);
    return CPathResolver::Exists(path) && file.Load(path);
}

// Moves the cursor onto the closing line of a block whose lines were read
// with NextInBlock (which stops before it), so reading goes on after it.
void stepOntoClosing(COsgSettings& file, const std::string& closingTag)
{
    const size_t next = static_cast<size_t>(file.CurrentLine()) + 1;
    if (next < file.LineCount() && !file.LineTokens(next).empty() && file.LineTokens(next)[0] == closingTag)
        file.GoToLine(next);
}

// Sub-menus deeper than this are left out: a page that deep cannot be
// reached in use, and the reading recurses once per level.
const int kMaxDepth = 16;

// Passes over a <MENU> block with the blocks inside it; the cursor is left on
// its closing line (or on the last line when the file ends first).
void skipMenu(COsgSettings& file)
{
    for (int open = 1; open > 0; --open)
    {
        while (file.NextInBlock("</MENU>"))
            if (file.NextString() == "<MENU>") ++open;
        const size_t closing = static_cast<size_t>(file.CurrentLine()) + 1;
        if (closing >= file.LineCount()) return;
        file.GoToLine(closing);
    }
}

// The name a description file is known by while it is read: its resolved,
// absolute path, so "menu.hud" and "./menu.hud" are one file.
std::string fileKey(const std::string& name)
{
    std::error_code error;
    const std::filesystem::path path = std::filesystem::weakly_canonical(CPathResolver::Resolve(name), error);
    return error ? CPathResolver::Resolve(name) : path.string();
}

// The toolbar's types with the name suffix of the button each makes.
const std::pair<const char*, const char*> kToolbarTypes[] = {
    {"UP_BUTTON", "_UP"},       {"CLOSE_BUTTON", "_CLOSE"}, {"GROUP_SCALE_UP", "_GSUP"},
    {"GROUP_SCALE_DOWN", "_GSDWN"}, {"NEXT_IN_GROUP", "_NIG"}, {"PREV_IN_GROUP", "_PIG"},
    {"HOME_BUTTON", "_HOME"},   {"SUPER_SIZE", "_SUPASIZE"}, {"DEFAULT_SCALE", "_DEFSCALE"}};

const char* suffixOf(const std::string& type)
{
    for (const auto& entry : kToolbarTypes)
        if (type == entry.first) return entry.second;
    return nullptr;
}
}

bool CVXObjectMenu::LoadLayout(const std::string& layoutFile)
{
    COsgSettings file;
    if (!openFile(file, layoutFile))
    {
        say("Failed to open Menu Layout file " + layoutFile);
        return false;
    }
    if (!file.FindFirst("<MENU_LAYOUT>"))
    {
        say("Error sub menu description file " + layoutFile + " does not contain a <MENU> node");
        return false;
    }
    while (file.NextInBlock("</MENU_LAYOUT>")) ReadLayoutLine(file, file.NextString());
    return true;
}

void CVXObjectMenu::ReadLayoutLine(COsgSettings& file, const std::string& tag)
{
    if (tag == "<MB_POS>")
    {
        const float x = static_cast<float>(file.NextFloat());
        m_buttonPositions.emplace_back(x, static_cast<float>(file.NextFloat()));
    }
    else if (tag == "<MB_SIZE>")
    {
        const float w = static_cast<float>(file.NextFloat());
        m_buttonSize.set(w, static_cast<float>(file.NextFloat()));
    }
    else if (tag == "<TB_POS>")
    {
        const float x = static_cast<float>(file.NextFloat());
        m_toolbarPositions[0].emplace_back(x, static_cast<float>(file.NextFloat()));
    }
    else if (tag == "<FADE_MIN>") m_fadeMin = static_cast<float>(file.NextFloat());
    else if (tag == "<FADE_MAX>") m_fadeMax = static_cast<float>(file.NextFloat());
    else if (tag == "<FADE_RATE>") m_fadeRate = static_cast<float>(file.NextFloat());
    else if (tag == "<ROTATE>") m_rotate = static_cast<float>(file.NextFloat()) * kDegreesToRadians;
    else if (tag == "<SOUND_SCHEME>") ReadSoundScheme(file);
    else if (tag == "<SKIN>") m_hasSkin = m_skin.Read(file) || m_hasSkin;
    else if (!tag.empty()) say("Menu layout: expected a layout tag such as <MB_POS>, found " + tag);
}

void CVXObjectMenu::ReadSoundScheme(COsgSettings& file)
{
    const char* const events[] = {"MENU_CLICK", "OBJECT_CLICK", "UP_CLICK", "CLOSE_CLICK"};
    std::array<std::string, 4> files;
    float gain = -1.f, pitch = -1.f;
    while (file.NextInBlock("</SOUND_SCHEME>"))
    {
        const std::string tag = file.NextString();
        if (tag == "<GAIN>") gain = static_cast<float>(file.NextFloat());
        else if (tag == "<PITCH>") pitch = static_cast<float>(file.NextFloat());
        else if (tag == "<EVENT>")
        {
            const std::string event = file.NextString();
            const std::string sound = CPathResolver::Normalise(file.NextString());
            bool known = false;
            for (size_t i = 0; i < 4; ++i)
                if (event == events[i]) files[i] = sound, known = true;
            if (!known) say("Sound scheme: expected MENU_CLICK, OBJECT_CLICK, UP_CLICK or CLOSE_CLICK, found " + event);
        }
    }
    stepOntoClosing(file, "</SOUND_SCHEME>");
    // Only the root keeps a scheme, and only the first one.
    CVXObjectMenu* root = GetRootMenu();
    if (!root->m_soundsLoaded) root->LoadSounds(files, gain, pitch);
}

bool CVXObjectMenu::LoadMenu(const std::string& descriptionFile, const std::string& layoutFile)
{
    COsgSettings file;
    if (!openFile(file, descriptionFile))
    {
        say("Failed to open menu description file " + descriptionFile);
        return false;
    }
    const CHudSkin creatorSkin = m_skin;
    m_hasSkin = false;
    if (!LoadLayout(layoutFile))
    {
        say("Load layout file faild");
        return false;
    }
    if (m_rotate != 0.f) std::swap(m_screenWidth, m_screenHeight);
    ComputeLayout(m_screenWidth, m_screenHeight);
    if (!m_hasSkin) m_skin = creatorSkin;
    if (file.FindFirst("<TOOLBAR>"))
        ReadToolbar(file);
    else
        say("Error menu description file does not contain a <TOOLBAR> node");
    if (!file.FindFirst("<ROOT>"))
    {
        say("Error menu description file " + descriptionFile + " does not contain a <ROOT> node");
        return false;
    }
    m_filesBeingRead.push_back(fileKey(descriptionFile));
    ReadMenuLines(file, "</ROOT>");
    m_filesBeingRead.pop_back();
    m_fade = new MenuFadeCallback;
    GetTransform()->setUpdateCallback(m_fade.get());
    ApplyRotation();
    return true;
}

void CVXObjectMenu::ApplyRotation()
{
    // Turned about the screen's middle: the layout's middle to the origin,
    // the turn, then to the middle of the screen as it stands.
    const float w = m_screenWidth, h = m_screenHeight;
    const bool exchanged = m_rotate != 0.f;
    const float screenW = exchanged ? h : w, screenH = exchanged ? w : h;
    GetTransform()->setMatrix(osg::Matrix::translate(-w / 2.f, -h / 2.f, 0.f) *
                              osg::Matrix::rotate(m_rotate, osg::Vec3(0.f, 0.f, 1.f)) *
                              osg::Matrix::translate(screenW / 2.f, screenH / 2.f, 0.f));
}

bool CVXObjectMenu::SlotAvailable(int slot, const std::vector<osg::Vec2f>& positions) const
{
    if (slot >= 0 && slot < static_cast<int>(positions.size())) return true;
    say("Button Position " + std::to_string(slot) + " is unavaliable");
    return false;
}

void CVXObjectMenu::ReadToolbar(COsgSettings& file)
{
    if (!m_isRoot)
    {
        say("Only root should create ToolBar");
        return;
    }
    while (file.NextInBlock("</TOOLBAR>"))
    {
        if (file.NextString() == "<BUTTON>") ReadToolbarButton(file);
    }
}

void CVXObjectMenu::ReadToolbarButton(COsgSettings& file)
{
    std::string type, model;
    int slot = -1, bar = 0;
    while (file.NextInBlock("</BUTTON>"))
    {
        const std::string tag = file.NextString();
        if (tag == "<TYPE>") type = file.NextString();
        else if (tag == "<FILE>") model = CPathResolver::Normalise(file.NextString());
        else if (tag == "<POS>") slot = file.NextInt();
        else if (tag == "<BAR>") bar = file.NextInt();
    }
    stepOntoClosing(file, "</BUTTON>");
    if (bar < 0 || bar >= kBars)
    {
        say("Toolbar: expected a <BAR> of 0 to 3, found " + std::to_string(bar));
        return;
    }
    const bool known = type == "LABEL" || type == "EDIT_PANEL" || suffixOf(type);
    if (!known)
    {
        say("Toolbar: expected a button <TYPE> such as UP_BUTTON, found " + (type.empty() ? "nothing" : type));
        return;
    }
    const bool loaded = type == "LABEL" ? m_label != nullptr
                        : type == "EDIT_PANEL" ? m_editPanel != nullptr
                                               : m_toolbar.count(type) > 0;
    if (loaded)
    {
        say(std::string(type == "UP_BUTTON" ? "An <" : "A <") + type + "> node has already been loaded");
        return;
    }
    const std::vector<osg::Vec2f>& slots = m_toolbarPositions[static_cast<size_t>(bar)];
    if (!SlotAvailable(slot, slots)) return;
    const osg::Vec2f at = slots[static_cast<size_t>(slot)];
    const float t = m_toolbarSide;
    if (type == "LABEL")
    {
        m_label = std::make_unique<CHudRegion>();
        m_label->CreateFromModel(0, at.x(), at.y(), t, t, model);
        m_label->SetName(GetName() + "_LABEL");
        AddChild(m_label.get());
    }
    else if (type == "EDIT_PANEL")
    {
        const CVXObjectEditRegion::Models models;
        CHudSkin panelSkin = m_skin;
        panelSkin.toggleBack = models.toggleBackDrop;
        m_editPanel = std::make_unique<CVXObjectEditRegion>();
        m_editPanel->Init(0, at.x(), at.y(), t, m_screenWidth, m_screenHeight, models, panelSkin, m_content);
        m_editPanel->SetName(GetName() + "_EDITPANEL");
        AddChild(m_editPanel.get());
    }
    else
    {
        auto button = std::make_unique<CButtonRegion>();
        button->Init(0, at.x(), at.y(), t, t, model);
        button->SetName(GetName() + suffixOf(type));
        AddChild(button.get());
        m_toolbar[type] = std::move(button);
    }
}

void CVXObjectMenu::ReadMenuLines(COsgSettings& file, const std::string& closingTag)
{
    while (file.NextInBlock(closingTag))
    {
        const std::string tag = file.NextString();
        if (tag == "<MENU>") ReadSubMenu(file);
        else if (tag == "<MENU_FILE>") ReadSubMenuFile(CPathResolver::Normalise(file.NextString()));
        else if (tag == "<BUTTON>") ReadObjectButton(file);
        else if (tag == "<TOOLBAR>") say("Only root should create ToolBar");
    }
    stepOntoClosing(file, closingTag);
}

int CVXObjectMenu::Depth() const
{
    int depth = 0;
    for (const CVXObjectMenu* menu = m_parentMenu; menu; menu = menu->m_parentMenu) ++depth;
    return depth;
}

CVXObjectMenu* CVXObjectMenu::MakeSubMenu()
{
    auto sub = std::make_unique<CVXObjectMenu>();
    sub->m_parentMenu = this;
    sub->m_content = m_content;
    sub->m_skin = m_skin;
    sub->m_buttonPositions = m_buttonPositions;
    sub->m_buttonSize = m_buttonSize;
    sub->m_screenWidth = m_screenWidth;
    sub->m_screenHeight = m_screenHeight;
    sub->m_fadeMin = m_fadeMin;
    sub->m_fadeMax = m_fadeMax;
    sub->m_fadeRate = m_fadeRate;
    sub->CreateWithoutModel(0, 0.f, 0.f);
    sub->SetName(GetName() + "_sub" + std::to_string(m_subMenus.size()));
    AddChild(sub.get());
    m_subMenus.push_back(std::move(sub));
    return m_subMenus.back().get();
}

void CVXObjectMenu::ReadSubMenu(COsgSettings& file)
{
    if (Depth() >= kMaxDepth)
    {
        say("Menu: expected sub-menus at most " + std::to_string(kMaxDepth) +
            " deep, found a deeper <MENU>; it is left out");
        skipMenu(file);
        return;
    }
    CVXObjectMenu* sub = MakeSubMenu();
    std::string icon;
    int slot = -1;
    while (file.NextInBlock("</MENU>"))
    {
        const std::string tag = file.NextString();
        if (tag == "<NAME>") sub->m_title = file.RestOfLine();
        else if (tag == "<GROUP>") sub->m_group = file.NextString();
        else if (tag == "<ICON>") icon = CPathResolver::Normalise(file.NextString());
        else if (tag == "<POS>") slot = file.NextInt();
        else if (tag == "<MENU>") sub->ReadSubMenu(file);
        else if (tag == "<MENU_FILE>") sub->ReadSubMenuFile(CPathResolver::Normalise(file.NextString()));
        else if (tag == "<BUTTON>") sub->ReadObjectButton(file);
    }
    stepOntoClosing(file, "</MENU>");
    if (SlotAvailable(slot, m_buttonPositions))
    {
        const osg::Vec2f at = m_buttonPositions[static_cast<size_t>(slot)];
        osg::ref_ptr<osg::Texture2D> texture = ReadTexture(icon);
        sub->m_menuButton = std::make_unique<CButtonRegion>();
        sub->m_menuButton->Init(0, at.x(), at.y(), m_buttonSize.x(), m_buttonSize.y(), m_skin.menuButton,
                                texture.valid() ? std::string() : sub->m_title);
        sub->m_menuButton->SetName("VXMENU" + sub->GetName());
        if (texture.valid()) sub->m_menuButton->SetTexture(texture.get());
        AddChild(sub->m_menuButton.get());
        // A sub-menu's button belongs to this menu's page.
        sub->m_menuButton->SetVisible(m_isRoot);
    }
    for (CHudRegion* region : sub->PageRegions()) region->SetVisible(false);
}

void CVXObjectMenu::ReadSubMenuFile(const std::string& fileName)
{
    COsgSettings file;
    if (!openFile(file, fileName))
    {
        say("Failed to open sub menu description file " + fileName);
        return;
    }
    if (!file.FindFirst("<MENU>"))
    {
        say("Error sub menu description file " + fileName + " does not contain a <MENU> node");
        return;
    }
    // A file that names itself, directly or through others, would be read for ever.
    std::vector<std::string>& reading = GetRootMenu()->m_filesBeingRead;
    const std::string key = fileKey(fileName);
    if (std::find(reading.begin(), reading.end(), key) != reading.end())
    {
        say("Menu: expected a sub menu description file not already being read, found " + fileName +
            " inside itself; it is left out");
        return;
    }
    reading.push_back(key);
    ReadSubMenu(file);
    reading.pop_back();
}

void CVXObjectMenu::ReadObjectButton(COsgSettings& file)
{
    std::string name, icon, object = "NONE", marker = "NONE";
    int slot = -1, mode = CVXObjectButton::Normal, groupIndex = 0;
    while (file.NextInBlock("</BUTTON>"))
    {
        const std::string tag = file.NextString();
        if (tag == "<NAME>") name = file.RestOfLine();
        else if (tag == "<ICON>") icon = CPathResolver::Normalise(file.NextString());
        else if (tag == "<OBJECT>") object = file.NextString();
        else if (tag == "<MARKER>") marker = file.NextString();
        else if (tag == "<POS>") slot = file.NextInt();
        else if (tag == "<GROUP_INDEX>") groupIndex = file.NextInt();
        else if (tag == "<MODE>")
        {
            const std::string word = file.NextString();
            mode = CVXObjectButton::ModeFromName(word);
            if (mode < 0)
            {
                say("Object button: expected <MODE> NORMAL, GROUP_INDEX or ALL_GROUP_INDEX, found " + word);
                mode = CVXObjectButton::Normal;
            }
        }
    }
    stepOntoClosing(file, "</BUTTON>");
    if (!SlotAvailable(slot, m_buttonPositions)) return;
    const osg::Vec2f at = m_buttonPositions[static_cast<size_t>(slot)];
    // The icon carries its own caption; without one the name is shown.
    osg::ref_ptr<osg::Texture2D> texture = ReadTexture(icon);
    auto button = std::make_unique<CVXObjectButton>();
    button->Init(0, at.x(), at.y(), m_buttonSize.x(), m_buttonSize.y(), m_skin.button,
                 texture.valid() ? std::string() : name);
    button->SetName(GetName() + "objBut" + std::to_string(m_objectButtons.size()));
    button->Setup(m_content, object, marker, mode, groupIndex, icon);
    if (texture.valid()) button->SetTexture(texture.get());
    AddChild(button.get());
    // The root's page shows with the menu; deeper pages start hidden.
    button->SetVisible(m_isRoot);
    m_objectButtons.push_back(std::move(button));
}
