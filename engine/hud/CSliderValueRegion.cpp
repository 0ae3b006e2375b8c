#include "CSliderValueRegion.h"

#include "CSliderRegion.h"
#include "CTextRegion.h"

#include <cstdio>

CSliderValueRegion::CSliderValueRegion()
{
    m_baseName = "VSLIDE";
}

CSliderValueRegion::~CSliderValueRegion() = default;

osg::MatrixTransform* CSliderValueRegion::Init(int index, float x, float y, float width, float height,
                                               const std::string& caption, const std::string& textModel,
                                               const std::string& knobModel, const std::string& barModel,
                                               const std::string& decModel, const std::string& incModel,
                                               float minimum, float maximum, float captionShare)
{
    m_caption = caption;
    osg::MatrixTransform* transform = CreateWithoutModel(index, x, y);
    SetSize(width, height);
    const float captionWidth = width * captionShare, gap = height * 0.15f;
    m_text.reset(new CTextRegion);
    m_text->Init(0, 0.f, 0.f, captionWidth, height, textModel, caption);
    m_slider.reset(new CSliderRegion);
    m_slider->Init(0, captionWidth + gap, 0.f, width - captionWidth - gap, height, barModel, knobModel, incModel,
                   decModel, false);
    m_slider->SetRange(minimum, maximum);
    m_slider->SetStep((maximum - minimum) / 20.f);
    m_slider->ConsumeClick();
    AddChild(m_text.get());
    AddChild(m_slider.get());
    OnNamed();
    RefreshCaption();
    return transform;
}

void CSliderValueRegion::OnNamed()
{
    if (!m_slider) return;
    m_text->SetName(GetName() + "_CAPTION");
    m_slider->SetName(GetName() + "_VS");
}

int CSliderValueRegion::HandleEvent(const std::string& message, const CGUIEvent& event)
{
    const int result = CHudRegion::HandleEvent(message, event);
    if (result != ChildTookIt) return result;
    RefreshCaption();
    if (m_slider->ConsumeClick()) SetClicked();
    return ChildTookIt;
}

void CSliderValueRegion::SetValue(float value)
{
    if (!m_slider) return;
    m_slider->SetValue(value);
    if (m_slider->ConsumeClick()) SetClicked();
    RefreshCaption();
}

float CSliderValueRegion::GetValue() const
{
    return m_slider ? m_slider->GetValue() : 0.f;
}

void CSliderValueRegion::RefreshCaption()
{
    if (!m_text) return;
    char text[160];
    std::snprintf(text, sizeof(text), "%s %.2f", m_caption.c_str(), m_slider->GetValue());
    m_text->SetText(text);
}
