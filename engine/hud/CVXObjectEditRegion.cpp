#include "CVXObjectEditRegion.h"

#include "CButtonRegion.h"
#include "CContentObject.h"
#include "CEffect.h"
#include "CHudContent.h"
#include "CVXEffectToggle.h"
#include "CVideoRegion.h"
#include "MenuFadeCallback.h"

namespace
{
const double kPanelAlpha = 0.9;
const double kPanelFade = 0.3;  // seconds
}

CVXObjectEditRegion::CVXObjectEditRegion()
{
    m_baseName = "VXOBJBUTTON";
}

CVXObjectEditRegion::~CVXObjectEditRegion() = default;

osg::MatrixTransform* CVXObjectEditRegion::Init(int index, float x, float y, float buttonSide, float screenWidth,
                                                float screenHeight, const Models& models, const CHudSkin& skin,
                                                CHudContent* content)
{
    m_content = content;
    m_skin = skin;
    m_models = models;
    osg::MatrixTransform* transform = CreateWithoutModel(index, 0.f, 0.f);
    m_fade = new MenuFadeCallback;
    transform->setUpdateCallback(m_fade.get());

    m_edit = std::make_unique<CButtonRegion>();
    m_edit->Init(0, x, y, buttonSide, buttonSide, models.editIcon);
    AddChild(m_edit.get());

    // The panel: the right third of the screen between the toolbars.
    m_panelWidth = screenWidth * 0.34f;
    m_panelHeight = screenHeight * 0.74f;
    m_panelX = screenWidth - m_panelWidth - screenWidth * 0.02f;
    m_panelY = screenHeight * 0.13f;
    m_backdrop = std::make_unique<CHudRegion>();
    m_backdrop->CreateFromModel(0, m_panelX, m_panelY, m_panelWidth, m_panelHeight, models.panelRight);
    m_backdrop->SetDepth(-1.f);
    AddChild(m_backdrop.get());

    const float pad = m_panelWidth * 0.05f;
    const float side = m_panelWidth * 0.3f;
    const float top = m_panelY + m_panelHeight - pad;
    m_select = std::make_unique<CButtonRegion>();
    m_select->Init(0, m_panelX + pad, top - side, side, side, models.menuButton);
    AddChild(m_select.get());
    m_info = std::make_unique<CButtonRegion>();
    m_info->Init(0, m_panelX + pad + side + pad, top - side * 0.5f, side * 0.5f, side * 0.5f, models.infoIcon);
    AddChild(m_info.get());
    m_video = std::make_unique<CVideoRegion>();
    const float videoWidth = m_panelWidth - 3.f * pad - side;
    m_video->Init(this, m_panelX + 2.f * pad + side, top - side - videoWidth * 0.1f, videoWidth * 0.9f, videoWidth,
                  models.defaultPicture, models.videoPlane, models.videoFrame);
    OnNamed();
    for (CHudRegion* part : PanelParts()) part->SetVisible(false);
    return transform;
}

void CVXObjectEditRegion::OnNamed()
{
    const std::string name = GetName();
    if (m_edit) m_edit->SetName(name + "_EDIT");
    if (m_select) m_select->SetName(name + "_SELBUT");
    if (m_info) m_info->SetName(name + "_INFO");
    if (m_backdrop) m_backdrop->SetName(name + "BACKDROP");
    if (m_video) m_video->SetName(name + "VIDINFO");
    for (size_t n = 0; n < m_toggles.size(); ++n) m_toggles[n]->SetName(name + "_" + std::to_string(n) + "_FXTOG");
}

std::vector<CHudRegion*> CVXObjectEditRegion::PanelParts() const
{
    std::vector<CHudRegion*> parts = {m_backdrop.get(), m_select.get(), m_info.get(), m_video.get()};
    for (const auto& toggle : m_toggles) parts.push_back(toggle.get());
    return parts;
}

void CVXObjectEditRegion::ClearToggles()
{
    for (auto& toggle : m_toggles) RemoveChild(toggle.get());
    m_toggles.clear();
}

void CVXObjectEditRegion::ShowObject(CContentObject* object)
{
    m_object = object;
    ClearToggles();
    if (!m_select) return;
    if (object && object->GetIconTexture()) m_select->SetTexture(object->GetIconTexture());
    m_select->SetLabel(object ? object->GetName() : std::string());
    if (!object) return;
    std::vector<CEffect*> effects;
    for (const ModelEntry* model : object->GetModels())
        if (model->effect) effects.push_back(model->effect);
    for (CEffect* effect : object->GetEffectGroups())
        if (effect) effects.push_back(effect);
    const float pad = m_panelWidth * 0.05f;
    const float height = m_panelHeight * 0.12f;
    float y = m_select->GetPosition().y() - pad - height;
    for (CEffect* effect : effects)
    {
        if (y < m_panelY + pad) break;  // the panel is full
        auto toggle = std::make_unique<CVXEffectToggle>();
        toggle->Init(0, m_panelX + pad, y, m_panelWidth - 2.f * pad, height, m_skin, m_models.effectIndicator);
        toggle->SetTitle(effect->GetEffectName());
        toggle->BindEffect(effect, m_models.effectNode.empty() ? m_skin.effectNode : m_models.effectNode);
        AddChild(toggle.get());
        toggle->SetTransparent(true, m_open ? kPanelAlpha : 0.0);
        toggle->SetVisible(m_open);
        m_toggles.push_back(std::move(toggle));
        y -= height + pad * 0.5f;
    }
    OnNamed();
}

void CVXObjectEditRegion::Open()
{
    m_open = true;
    m_fade->StartFade(PanelParts(), 0.0, kPanelAlpha, kPanelFade);
}

void CVXObjectEditRegion::Close()
{
    m_open = false;
    m_fade->StartFade(PanelParts(), kPanelAlpha, 0.0, kPanelFade);
    m_backdrop->SetVisible(false);
    if (m_video->IsPlaying()) m_video->Pause();
}

void CVXObjectEditRegion::Toggle()
{
    if (m_open)
    {
        Close();
        m_showMenuRequest = true;
    }
    else
    {
        if (m_content) ShowObject(m_content->ObjectOnMarker(m_content->CurrentMarker()));
        Open();
        m_hideMenuRequest = true;
    }
}

bool CVXObjectEditRegion::ConsumeShowMenuRequest()
{
    const bool request = m_showMenuRequest;
    m_showMenuRequest = false;
    return request;
}

bool CVXObjectEditRegion::ConsumeHideMenuRequest()
{
    const bool request = m_hideMenuRequest;
    m_hideMenuRequest = false;
    return request;
}

int CVXObjectEditRegion::HandleEvent(const std::string& message, const CGUIEvent& event)
{
    if ((event.targetName == "NEW_MARKER_SEL" || event.targetName == "OBJ_CHANGE") && m_content)
    {
        ShowObject(m_content->ObjectOnMarker(m_content->CurrentMarker()));
        return NotMine;
    }
    const int result = CHudRegion::HandleEvent(message, event);
    if (event.type != CGUIEvent::Press) return result;
    const bool select = m_select->ConsumePressed();
    const bool edit = m_edit->ConsumePressed();
    if (select || edit) Toggle();
    if (m_info->ConsumePressed() && m_open)
    {
        // The video panel plays or pauses itself on a press on its plane;
        // the info button does the same from outside.
        if (m_video->IsPlaying())
            m_video->Pause();
        else
            m_video->Play();
    }
    return result;
}
