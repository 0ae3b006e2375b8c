#include "CSliderRegion.h"

#include "CButtonRegion.h"

#include <algorithm>
#include <cmath>

namespace
{
const float kBarThickness = 0.36f;  // share of the slider's thickness
const float kKnobWidth = 0.6f;      // knob along the track, share of the thickness
const float kGap = 0.08f;           // between the buttons and the bar
const double kMiddle = 0.0000001;   // a ratio this close to 0.5 is the middle
}

CSliderRegion::CSliderRegion()
{
    m_baseName = "SLIDER";
}

CSliderRegion::~CSliderRegion() = default;

osg::MatrixTransform* CSliderRegion::Init(int index, float x, float y, float width, float height,
                                          const std::string& barModel, const std::string& knobModel,
                                          const std::string& incModel, const std::string& decModel, bool vertical)
{
    m_vertical = vertical;
    osg::MatrixTransform* transform = CreateWithoutModel(index, x, y);
    SetSize(width, height);
    // Along: the track's direction; across: the slider's thickness.
    const float along = vertical ? height : width, across = vertical ? width : height;
    const float button = std::min(across, along * 0.25f);
    const float barStart = button * (1.f + kGap), barEnd = along - button * (1.f + kGap);
    const float knobAlong = across * kKnobWidth, barAcross = across * kBarThickness;
    auto at = [&](float a, float c) { return vertical ? osg::Vec2f(c, a) : osg::Vec2f(a, c); };
    auto size = [&](float a, float c) { return vertical ? osg::Vec2f(c, a) : osg::Vec2f(a, c); };

    m_dec.reset(new CButtonRegion);
    m_inc.reset(new CButtonRegion);
    m_bar.reset(new CHudRegion);
    m_knob.reset(new CHudRegion);
    const osg::Vec2f buttonSize = size(button, button);
    osg::Vec2f p = at(0.f, (across - button) * 0.5f);
    m_dec->Init(0, p.x(), p.y(), buttonSize.x(), buttonSize.y(), decModel);
    p = at(along - button, (across - button) * 0.5f);
    m_inc->Init(0, p.x(), p.y(), buttonSize.x(), buttonSize.y(), incModel);
    const osg::Vec2f barSize = size(barEnd - barStart, barAcross);
    p = at(barStart, (across - barAcross) * 0.5f);
    m_bar->CreateFromModel(0, p.x(), p.y(), barSize.x(), barSize.y(), barModel);
    m_knobSize = size(knobAlong, across);
    m_knob->CreateFromModel(0, 0.f, 0.f, m_knobSize.x(), m_knobSize.y(), knobModel);
    m_knob->SetDepth(0.02f);  // over the bar
    m_trackStart = at(barStart, across * 0.5f);
    m_trackEnd = at(barEnd, across * 0.5f);
    AddChild(m_bar.get());
    AddChild(m_dec.get());
    AddChild(m_inc.get());
    AddChild(m_knob.get());
    OnNamed();
    PlaceKnob(0.f);
    TakeValueFromKnob();
    ConsumeClick();  // being built is no change
    return transform;
}

void CSliderRegion::OnNamed()
{
    if (!m_knob) return;
    const std::string name = GetName();
    m_knob->SetName(name);
    m_bar->SetName(name + "SIDE_SLIDER");
    m_dec->SetName(name + "SIDE_DEC");
    m_inc->SetName(name + "SIDE_INC");
}

void CSliderRegion::SetRange(float minimum, float maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
    SetValue(m_value);
}

void CSliderRegion::PlaceKnob(float ratio)
{
    m_ratio = std::clamp(ratio, 0.f, 1.f);
    const osg::Vec2f centre = m_trackStart + (m_trackEnd - m_trackStart) * m_ratio;
    if (m_knob) m_knob->SetPosition(centre.x() - m_knobSize.x() * 0.5f, centre.y() - m_knobSize.y() * 0.5f);
}

void CSliderRegion::TakeValueFromKnob()
{
    const float span = std::fabs(m_maximum - m_minimum);
    if (std::fabs(m_ratio - 0.5) < kMiddle)
        m_value = m_minimum + span * 0.5f;
    else
        m_value = m_minimum + m_ratio * span;
    SetClicked();
}

void CSliderRegion::SetValue(float value)
{
    const float span = std::fabs(m_maximum - m_minimum);
    PlaceKnob(span > 0.f ? (value - m_minimum) / span : 0.f);
    TakeValueFromKnob();
}

void CSliderRegion::MoveKnobTo(float hudX, float hudY)
{
    const osg::Vec2f local = ToLocal(hudX, hudY);
    const float position = m_vertical ? local.y() : local.x();
    const float start = m_vertical ? m_trackStart.y() : m_trackStart.x();
    const float end = m_vertical ? m_trackEnd.y() : m_trackEnd.x();
    const float clamped = std::clamp(position, start, end);
    PlaceKnob(end > start ? (clamped - start) / (end - start) : 0.f);
    TakeValueFromKnob();
}

int CSliderRegion::HandleEvent(const std::string& message, const CGUIEvent& event)
{
    if (!m_knob) return CHudRegion::HandleEvent(message, event);
    if (event.type == CGUIEvent::Press)
    {
        m_dragging = false;
        if (event.targetName == m_inc->GetName() || event.targetName == m_dec->GetName())
        {
            CButtonRegion* button = event.targetName == m_inc->GetName() ? m_inc.get() : m_dec.get();
            button->HandleEvent(message, event);  // its press animation
            SetValue(button == m_inc.get() ? m_value + m_step : m_value - m_step);
            return TookIt;
        }
        if (event.targetName == GetName() || event.targetName == m_bar->GetName())
        {
            const osg::Vec2f hud = PointerToHud(event);
            MoveKnobTo(hud.x(), hud.y());
            m_dragging = true;
            return TookIt;
        }
        return NotMine;
    }
    if (event.type == CGUIEvent::Drag && m_dragging)
    {
        const osg::Vec2f hud = PointerToHud(event);
        MoveKnobTo(hud.x(), hud.y());
        return TookIt;
    }
    if (event.type == CGUIEvent::ClickRelease &&
        (event.targetName == m_inc->GetName() || event.targetName == m_dec->GetName()))
        (event.targetName == m_inc->GetName() ? m_inc : m_dec)->HandleEvent(message, event);  // release animation
    return NotMine;
}
