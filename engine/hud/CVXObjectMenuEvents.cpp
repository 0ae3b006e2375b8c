// The object menu: what its buttons and the toolbar do.
#include "CVXObjectMenu.h"

#include "CButtonRegion.h"
#include "CContentObject.h"
#include "CHudContent.h"
#include "CHudRegionManager.h"
#include "CVXObjectButton.h"
#include "CVXObjectEditRegion.h"
#include "CVideoRegion.h"
#include "MenuFadeCallback.h"

namespace
{
const double kSuperSizeFactor = 5.0;
const double kScaleUp = 1.1, kScaleDown = 0.9;

bool consume(CButtonRegion* button)
{
    return button && button->ConsumePressed();
}
}

int CVXObjectMenu::HandleEvent(const std::string& message, const CGUIEvent& event)
{
    const int result = CHudRegion::HandleEvent(message, event);
    if (event.type == CGUIEvent::Press)
    {
        if (HandleMenuButtons() || HandleObjectButtons()) return result;
        if (m_isRoot) HandleToolbar();
    }
    if (event.targetName == "NEW_MENU_OBJ_SEL" && m_editPanel)
    {
        RestoreSuperSize();
        m_editPanel->ShowObject(CurrentObject());
    }
    return result;
}

bool CVXObjectMenu::HandleMenuButtons()
{
    for (const auto& sub : m_subMenus)
    {
        if (!consume(sub->m_menuButton.get())) continue;
        SwitchMenu(this, sub.get());
        PlayMenuSound(MenuClick);
        GetRootMenu()->m_openMenu = sub.get();
        return true;
    }
    return false;
}

bool CVXObjectMenu::HandleObjectButtons()
{
    for (const auto& button : m_objectButtons)
    {
        if (!button->ConsumePressed()) continue;
        button->Act();
        CGUIEvent selected;
        selected.targetName = "NEW_MENU_OBJ_SEL";
        selected.type = CGUIEvent::ObjectChanged;
        CHudRegionManager::Instance()->Dispatch("NEW_MENU_OBJ_SEL", selected);
        PlayMenuSound(ObjectClick);
        return true;
    }
    return false;
}

CContentObject* CVXObjectMenu::CurrentObject() const
{
    return m_content ? m_content->ObjectOnMarker(m_content->CurrentMarker()) : nullptr;
}

void CVXObjectMenu::FadeOpenMenu(bool in)
{
    if (!m_fade || !m_openMenu) return;
    if (in)
        m_fade->StartFade(m_openMenu->PageRegions(), m_fadeMin, m_fadeMax, m_fadeRate);
    else
        m_fade->StartFade(m_openMenu->PageRegions(), m_fadeMax, m_fadeMin, m_fadeRate);
}

void CVXObjectMenu::HandleToolbar()
{
    if (consume(GetToolbarButton("CLOSE_BUTTON"))) CloseMenuPage();
    if (consume(GetToolbarButton("UP_BUTTON"))) UpPressed();
    if (m_editPanel)
    {
        if (m_editPanel->ConsumeHideMenuRequest())
        {
            FadeOpenMenu(false);
            PlayMenuSound(MenuClick);
        }
        if (m_editPanel->ConsumeShowMenuRequest())
        {
            FadeOpenMenu(true);
            PlayMenuSound(CloseClick);
        }
    }
    if (consume(GetToolbarButton("GROUP_SCALE_UP"))) ScaleGroup(true);
    if (consume(GetToolbarButton("GROUP_SCALE_DOWN"))) ScaleGroup(false);
    if (consume(GetToolbarButton("NEXT_IN_GROUP"))) PutNextInGroup(true);
    if (consume(GetToolbarButton("PREV_IN_GROUP"))) PutNextInGroup(false);
    if (consume(GetToolbarButton("HOME_BUTTON"))) HomePressed();
    if (consume(GetToolbarButton("SUPER_SIZE"))) ToggleSuperSize();
    if (consume(GetToolbarButton("DEFAULT_SCALE"))) DefaultScaleGroup();
}

void CVXObjectMenu::CloseMenuPage()
{
    if (m_editPanel && m_editPanel->IsOpen())
    {
        m_editPanel->Close();
        FadeOpenMenu(true);
    }
    else if (m_editPanel && m_editPanel->GetVideo() && m_editPanel->GetVideo()->IsPlaying())
        m_editPanel->GetVideo()->Pause();
    CHudRegionManager* hud = CHudRegionManager::Instance();
    hud->SelectPage(kPageName);
    hud->FadeCurrentPage(m_fadeMax, m_fadeMin, m_fadeRate);
    hud->RequestPageSwitch(kPageName, m_fadeMin, m_fadeMax, m_fadeRate, true);
    PlayMenuSound(CloseClick);
}

void CVXObjectMenu::UpPressed()
{
    auto stopInfoVideo = [this] {
        if (m_editPanel && m_editPanel->GetVideo() && m_editPanel->GetVideo()->IsPlaying())
            m_editPanel->GetVideo()->Pause();
    };
    if (m_editPanel && m_editPanel->IsOpen())
    {
        m_editPanel->Close();
        FadeOpenMenu(true);
        if (m_openMenu == this) PlayMenuSound(UpClick);
        return;
    }
    if (m_openMenu == this || !m_openMenu)
    {
        stopInfoVideo();
        FadeOpenMenu(true);
        PlayMenuSound(UpClick);
        return;
    }
    PlayMenuSound(UpClick);
    CVXObjectMenu* parent = m_openMenu->m_parentMenu;
    SwitchMenu(m_openMenu, parent);
    m_openMenu = parent;
    stopInfoVideo();
}

void CVXObjectMenu::HomePressed()
{
    CHudRegionManager* hud = CHudRegionManager::Instance();
    if (hud->GetCurrentPageName() == kPageName && hud->IsCurrentPageVisible())
    {
        hud->FadeCurrentPage(m_fadeMax, m_fadeMin, m_fadeRate);
        hud->RequestPageSwitch(kPageName, m_fadeMin, m_fadeMax, m_fadeRate, true);
        PlayMenuSound(UpClick);
        return;
    }
    hud->SelectPage(kPageName);
    hud->ShowOnlyPage(kPageName);
    hud->FadeCurrentPage(m_fadeMin, m_fadeMax, m_fadeRate);
    hud->RequestPageSwitch(kPageName, m_fadeMax, m_fadeMin, m_fadeRate, true);
    PlayMenuSound(CloseClick);
}

void CVXObjectMenu::ScaleGroup(bool up)
{
    CContentObject* current = CurrentObject();
    if (!current) return;
    for (CContentObject* object : m_content->ObjectsInGroup(current->GetGroup()))
        object->SetScale(object->GetScale() * (up ? kScaleUp : kScaleDown));
    PlayMenuSound(ObjectClick);
}

void CVXObjectMenu::DefaultScaleGroup()
{
    CContentObject* current = CurrentObject();
    if (!current) return;
    RestoreSuperSize();
    for (CContentObject* object : m_content->ObjectsInGroup(current->GetGroup()))
        object->SetScale(object->GetFileScale());
}

void CVXObjectMenu::PutNextInGroup(bool forward)
{
    CContentObject* current = CurrentObject();
    if (!current) return;
    CContentObject* next = m_content->NextInGroup(current, forward);
    if (next) m_content->PutObjectOnMarker(next, m_content->CurrentMarker());
    PlayMenuSound(ObjectClick);
}

void CVXObjectMenu::ToggleSuperSize()
{
    if (m_superSized)
    {
        RestoreSuperSize();
        return;
    }
    CContentObject* current = CurrentObject();
    if (!current) return;
    m_superSizedObject = current;
    m_savedScale = current->GetScale();
    current->SetScale(m_savedScale * kSuperSizeFactor);
    m_superSized = true;
}

void CVXObjectMenu::RestoreSuperSize()
{
    if (!m_superSized) return;
    if (m_superSizedObject) m_superSizedObject->SetScale(m_savedScale);
    m_superSized = false;
    m_superSizedObject = nullptr;
}
