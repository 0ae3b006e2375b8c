#include "CVXEffectToggle.h"

#include "CButtonRegion.h"
#include "CEffect.h"
#include "CHudSkin.h"
#include "CTextRegion.h"

#include <osg/Uniform>

#include <cstdio>

namespace
{
const float kTitleShare = 0.3f;  // of the toggle's height
}

CVXEffectToggle::CVXEffectToggle()
{
    m_baseName = "VXEFFECTTOGGLE";
}

CVXEffectToggle::~CVXEffectToggle() = default;

osg::MatrixTransform* CVXEffectToggle::Init(int index, float x, float y, float width, float height,
                                            const CHudSkin& skin, const std::string& indicatorModel)
{
    m_width = width;
    m_height = height;
    osg::MatrixTransform* transform = CreateWithoutModel(index, x, y);
    SetSize(width, height);
    m_backdrop = std::make_unique<CHudRegion>();
    m_backdrop->CreateFromModel(0, 0.f, 0.f, width, height, skin.toggleBack);
    m_backdrop->SetDepth(-2.f);
    AddChild(m_backdrop.get());
    const float side = ButtonSide();
    m_indicator = std::make_unique<CHudRegion>();
    m_indicator->CreateFromModel(0, 0.f, 0.f, side, side, indicatorModel.empty() ? skin.toggleIndi : indicatorModel);
    m_indicator->SetDepth(-1.f);
    m_indicator->EnableAnimation(kIndicatorSegments);
    m_indicator->SetVisible(false);  // until an effect is bound
    AddChild(m_indicator.get());
    m_title = std::make_unique<CTextRegion>();
    m_title->Init(0, 0.f, height * (1.f - kTitleShare), width, height * kTitleShare, std::string(), "No Title");
    AddChild(m_title.get());
    OnNamed();
    return transform;
}

float CVXEffectToggle::ButtonSide() const
{
    return m_height * (1.f - kTitleShare) * 0.9f;
}

void CVXEffectToggle::SetTitle(const std::string& title)
{
    if (m_title) m_title->SetText(title);
}

void CVXEffectToggle::BindEffect(CEffect* effect, const std::string& buttonModel)
{
    if (!effect || !m_title) return;
    const float side = ButtonSide();
    const float gap = side * 0.15f;
    const float x = gap + static_cast<float>(m_buttons.size()) * (side + gap);
    auto button = std::make_unique<CButtonRegion>();
    button->Init(0, x, m_height * (1.f - kTitleShare) - side - gap * 0.5f, side, side, buttonModel);
    if (osg::Texture2D* icon = effect->GetIcon())
        button->SetTexture(icon);
    else
    {
        std::printf("Effect group icon is NULL\n");
        std::fflush(stdout);
        button->SetLabel(effect->GetEffectName());
    }
    AddChild(button.get());
    m_buttons.push_back(std::move(button));
    m_effects.push_back(effect);
    if (m_buttons.size() == 1)
    {
        m_indicator->SetPosition(m_buttons[0]->GetPosition().x(), m_buttons[0]->GetPosition().y());
        m_indicator->SetVisible(true);
    }
    OnNamed();
}

CButtonRegion* CVXEffectToggle::GetEffectButton(size_t n) const
{
    return n < m_buttons.size() ? m_buttons[n].get() : nullptr;
}

void CVXEffectToggle::OnNamed()
{
    const std::string name = GetName();
    if (m_title) m_title->SetName(name + "TITLE");
    if (m_backdrop) m_backdrop->SetName(name + "BACK");
    if (m_indicator) m_indicator->SetName(name + "INDI");
    for (size_t n = 0; n < m_buttons.size(); ++n) m_buttons[n]->SetName(name + "_" + std::to_string(n) + "_FXBUT");
}

void CVXEffectToggle::Cycle(size_t n)
{
    CEffect* effect = GetEffect(n);
    if (!effect) return;
    effect->NextPreset(true);
    m_indicator->PlayAnimation(0);
    const osg::Vec2f at = m_buttons[n]->GetPosition();
    m_indicator->SetPosition(at.x(), at.y());
    if (!effect->GetPreset(effect->GetCurrentPreset())) return;  // preset 0: the effect's own values
    osg::Vec3f colour;
    osg::Uniform* base = effect->FindUniform("BaseColor");
    if (base && base->get(colour)) m_indicator->SetColour(colour.x(), colour.y(), colour.z());
}

int CVXEffectToggle::HandleEvent(const std::string& message, const CGUIEvent& event)
{
    const int result = CHudRegion::HandleEvent(message, event);
    if (event.type != CGUIEvent::Press) return result;
    for (size_t n = 0; n < m_buttons.size(); ++n)
        if (m_buttons[n]->ConsumePressed()) Cycle(n);
    return result;
}
