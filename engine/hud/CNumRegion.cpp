#include "CNumRegion.h"

#include "CButtonRegion.h"
#include "CTextRegion.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{
const float kGap = 0.04f;  // between the box and the buttons, as a share of the height
}

CNumRegion::CNumRegion()
{
    m_baseName = "NUM";
}

CNumRegion::~CNumRegion() = default;

osg::MatrixTransform* CNumRegion::Init(int index, float x, float y, float width, float height,
                                       const std::string& textModel, const std::string& incModel,
                                       const std::string& decModel, bool integerMode)
{
    m_integerMode = integerMode;
    osg::MatrixTransform* transform = CreateWithoutModel(index, x, y);
    SetSize(width, height);
    const float side = height * 0.5f;  // each button is a square of half the height
    const float boxWidth = std::max(width - side - height * kGap, side);
    m_text.reset(new CTextRegion);
    m_text->Init(0, 0.f, 0.f, boxWidth, height, textModel, "12345");
    m_inc.reset(new CButtonRegion);
    m_inc->Init(0, width - side, side, side, side, incModel);
    m_dec.reset(new CButtonRegion);
    m_dec->Init(0, width - side, 0.f, side, side, decModel);
    AddChild(m_text.get());
    AddChild(m_inc.get());
    AddChild(m_dec.get());
    OnNamed();
    Refresh();
    return transform;
}

void CNumRegion::OnNamed()
{
    if (!m_text) return;
    const std::string name = GetName();
    m_text->SetName(name + "_Text");
    m_inc->SetName(name + "_IncButton");
    m_dec->SetName(name + "_DecButton");
}

int CNumRegion::HandleEvent(const std::string& message, const CGUIEvent& event)
{
    const int result = CHudRegion::HandleEvent(message, event);
    if (event.type != CGUIEvent::Press || !m_inc) return result;
    if (event.targetName == m_inc->GetName())
    {
        Increase();
        SetClicked();
    }
    else if (event.targetName == m_dec->GetName())
    {
        Decrease();
        SetClicked();
    }
    return result;
}

void CNumRegion::Increase()
{
    if (m_integerMode)
        m_intValue = std::clamp(m_intValue + m_intStep, m_minimum, m_maximum);
    else
        m_floatValue = std::clamp(m_floatValue + m_floatStep, float(m_minimum), float(m_maximum));
    Refresh();
}

void CNumRegion::Decrease()
{
    if (m_integerMode)
        m_intValue = std::clamp(m_intValue - m_intStep, m_minimum, m_maximum);
    else
        m_floatValue = std::clamp(m_floatValue - m_floatStep, float(m_minimum), float(m_maximum));
    Refresh();
}

void CNumRegion::SetValue(float value)
{
    const float clamped = std::clamp(value, float(m_minimum), float(m_maximum));
    m_floatValue = clamped;
    m_intValue = static_cast<int>(std::lround(clamped));
    Refresh();
}

float CNumRegion::GetValue() const
{
    return m_integerMode ? static_cast<float>(m_intValue) : m_floatValue;
}

void CNumRegion::SetRange(int minimum, int maximum)
{
    m_minimum = std::min(minimum, maximum);
    m_maximum = std::max(minimum, maximum);
    m_intValue = std::clamp(m_intValue, m_minimum, m_maximum);
    m_floatValue = std::clamp(m_floatValue, float(m_minimum), float(m_maximum));
    Refresh();
}

const std::string& CNumRegion::GetDisplayedText() const
{
    static const std::string none;
    return m_text ? m_text->GetText() : none;
}

void CNumRegion::Refresh()
{
    if (!m_text) return;
    char text[64];
    if (m_integerMode)
        std::snprintf(text, sizeof(text), "%d", m_intValue);
    else
        std::snprintf(text, sizeof(text), "%.3f", m_floatValue);
    m_text->SetText(text);
}
