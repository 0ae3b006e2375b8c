#include "CVecSliderRegion.h"

#include "CSliderValueRegion.h"

namespace
{
const char* const kSuffix[3] = {"_XINPUT", "_YINPUT", "_ZINPUT"};
const char* const kCaption[3] = {"X:", "Y:", "Z:"};
const float kRowGap = 0.08f;  // between rows, as a share of a row's height
}

CVecSliderRegion::CVecSliderRegion()
{
    m_baseName = "VECSLIDER";
}

CVecSliderRegion::~CVecSliderRegion() = default;

osg::MatrixTransform* CVecSliderRegion::Init(int index, float x, float y, float width, float height,
                                             const std::string& textModel, const std::string& knobModel,
                                             const std::string& barModel, const std::string& decModel,
                                             const std::string& incModel, float minimum, float maximum)
{
    osg::MatrixTransform* transform = CreateWithoutModel(index, x, y);
    SetSize(width, height);
    const float row = height / (3.f + 2.f * kRowGap);
    for (int axis = 0; axis < 3; ++axis)
    {
        m_sliders[axis].reset(new CSliderValueRegion);
        const float rowY = height - (axis + 1) * row - axis * row * kRowGap;
        m_sliders[axis]->Init(0, 0.f, rowY, width, row, kCaption[axis], textModel, knobModel, barModel, decModel,
                              incModel, minimum, maximum);
        AddChild(m_sliders[axis].get());
    }
    OnNamed();
    CopyValues();
    return transform;
}

void CVecSliderRegion::OnNamed()
{
    if (!m_sliders[0]) return;
    for (int axis = 0; axis < 3; ++axis) m_sliders[axis]->SetName(GetName() + kSuffix[axis]);
}

CSliderValueRegion* CVecSliderRegion::GetSlider(int axis) const
{
    return axis >= 0 && axis < 3 ? m_sliders[axis].get() : nullptr;
}

void CVecSliderRegion::CopyValues()
{
    for (int axis = 0; axis < 3; ++axis)
        if (m_sliders[axis]) m_values[axis] = m_sliders[axis]->GetValue();
}

int CVecSliderRegion::HandleEvent(const std::string& message, const CGUIEvent& event)
{
    const int result = CHudRegion::HandleEvent(message, event);
    if (result != ChildTookIt)
    {
        m_changed = false;
        return NotMine;
    }
    CopyValues();
    SetClicked();
    m_changed = true;
    return ChildTookIt;
}

void CVecSliderRegion::SetValues(const osg::Vec3f& values)
{
    for (int axis = 0; axis < 3; ++axis)
        if (m_sliders[axis])
        {
            m_sliders[axis]->SetValue(values[axis]);
            m_sliders[axis]->ConsumeClick();
        }
    CopyValues();
}

bool CVecSliderRegion::ConsumeChanged()
{
    const bool changed = m_changed;
    m_changed = false;
    return changed;
}
