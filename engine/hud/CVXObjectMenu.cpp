// The object menu: construction, layout, sounds and menu switches.
#include "CVXObjectMenu.h"

#include "CButtonRegion.h"
#include "CSoundSource.h"
#include "CVXObjectButton.h"
#include "CVXObjectEditRegion.h"
#include "MenuFadeCallback.h"

#include <cassert>
#include <cmath>

const char* const CVXObjectMenu::kPageName = "VEXA_MENU";

CVXObjectMenu::CVXObjectMenu()
{
    m_baseName = "VXOBJMENU";
}

CVXObjectMenu::~CVXObjectMenu() = default;

void CVXObjectMenu::InitRoot(int index, float screenWidth, float screenHeight, CHudContent* content,
                             const CHudSkin& skin)
{
    m_isRoot = true;
    m_openMenu = this;
    m_content = content;
    m_screenWidth = screenWidth;
    m_screenHeight = screenHeight;
    m_skin = skin;
    CreateWithoutModel(index, 0.f, 0.f);
    SetSize(screenWidth, screenHeight);
}

CVXObjectMenu* CVXObjectMenu::GetRootMenu()
{
    CVXObjectMenu* menu = this;
    while (menu->m_parentMenu) menu = menu->m_parentMenu;
    return menu;
}

void CVXObjectMenu::ComputeLayout(float w, float h)
{
    const float mx = 0.1f * w, my = 0.1f * h;
    const float aw = w - 2.f * mx, ah = h - 2.f * my;
    float s, x0, y0;
    if (w <= h)
    {
        s = (aw - (0.15f * aw - 1.f)) / 3.f;
        x0 = mx;
        y0 = h / 2.f - aw / 2.f;
    }
    else
    {
        s = (ah - (0.15f * ah - 1.f)) / 3.f;
        x0 = w / 2.f - ah / 2.f;
        y0 = my;
    }
    const float dx = s + 0.05f * aw, dy = s + 0.05f * ah;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) m_buttonPositions.emplace_back(x0 + column * dx, y0 + row * dy);
    m_buttonSize.set(s, s);

    const float t = 0.9f * mx, g = 0.1f * mx;
    m_toolbarSide = t;
    for (auto& bar : m_toolbarPositions) bar.clear();
    for (int i = 0; i < 10; ++i)
    {
        m_toolbarPositions[0].emplace_back(g / 2.f + i * (t + g), g);
        m_toolbarPositions[1].emplace_back(g / 2.f + i * (t + g), h - t - g);
    }
    const int rows = static_cast<int>(std::floor(h / (t + g)));
    for (int j = 0; j < rows; ++j)
    {
        m_toolbarPositions[2].emplace_back(g / 2.f, g / 2.f + j * (t + g));
        m_toolbarPositions[3].emplace_back(w - t - g / 2.f, g / 2.f + j * (t + g));
    }
}

CSoundSource* CVXObjectMenu::GetSoundSource(int index) const
{
    assert(index >= 0 && index < 4 && "GetSoundSource: index must be 0 to 3");
    return m_sounds[static_cast<size_t>(index)].get();
}

void CVXObjectMenu::LoadSounds(const std::array<std::string, 4>& files, float gain, float pitch)
{
    m_soundFiles = files;
    for (size_t i = 0; i < m_sounds.size(); ++i)
    {
        m_sounds[i] = std::make_unique<CSoundSource>();
        CSoundSource& source = *m_sounds[i];
        if (!files[i].empty()) source.CreateSoundSource(files[i].c_str(), 0.f, 0.f, 0.f, 0.f, 0.f, 0.f);
        source.SetGain(1.f);
        source.SetPitch(1.f);
        source.SetSourceLoop(0);
        // -1 (the default) leaves a source at 1.
        if (gain != -1.f) source.SetGain(gain);
        if (pitch != -1.f) source.SetPitch(pitch);
    }
    m_soundsLoaded = true;
}

void CVXObjectMenu::PlayMenuSound(int index)
{
    assert(index >= 0 && index < 4 && "PlayMenuSound: index must be 0 to 3");
    CVXObjectMenu* root = GetRootMenu();
    if (!root->m_soundsLoaded || !root->m_sounds[static_cast<size_t>(index)]) return;
    root->m_sounds[static_cast<size_t>(index)]->PlaySoundSource();
}

std::vector<CHudRegion*> CVXObjectMenu::PageRegions() const
{
    std::vector<CHudRegion*> regions;
    for (const auto& button : m_objectButtons) regions.push_back(button.get());
    for (const auto& sub : m_subMenus)
        if (sub->m_menuButton) regions.push_back(sub->m_menuButton.get());
    return regions;
}

void CVXObjectMenu::SwitchMenu(CVXObjectMenu* from, CVXObjectMenu* to)
{
    if (!m_isRoot)
    {
        GetRootMenu()->SwitchMenu(from, to);
        return;
    }
    if (!from || !to || !m_fade) return;
    m_fade->StartFade(from->PageRegions(), m_fadeMax, m_fadeMin, m_fadeRate);
    m_fade->QueueFade(to->PageRegions());
}

CButtonRegion* CVXObjectMenu::GetToolbarButton(const std::string& type) const
{
    auto it = m_toolbar.find(type);
    return it == m_toolbar.end() ? nullptr : it->second.get();
}
