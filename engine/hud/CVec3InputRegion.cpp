#include "CVec3InputRegion.h"

#include "CNumRegion.h"

#include <algorithm>
#include <cmath>

namespace
{
const char* const kSuffix[3] = {"_XINPUT", "_YINPUT", "_ZINPUT"};
const float kRowGap = 0.08f;  // between rows, as a share of a row's height
}

CVec3InputRegion::CVec3InputRegion()
{
    m_baseName = "VE3";
}

CVec3InputRegion::~CVec3InputRegion() = default;

osg::MatrixTransform* CVec3InputRegion::Init(int index, float x, float y, float width, float height,
                                             const std::string& textModel, const std::string& incModel,
                                             const std::string& decModel, bool integerMode)
{
    osg::MatrixTransform* transform = CreateWithoutModel(index, x, y);
    SetSize(width, height);
    const float row = height / (3.f + 2.f * kRowGap);
    for (int axis = 0; axis < 3; ++axis)
    {
        m_inputs[axis].reset(new CNumRegion);
        const float rowY = height - (axis + 1) * row - axis * row * kRowGap;
        m_inputs[axis]->Init(0, 0.f, rowY, width, row, textModel, incModel, decModel, integerMode);
        AddChild(m_inputs[axis].get());
    }
    OnNamed();
    CopyValues();
    return transform;
}

void CVec3InputRegion::OnNamed()
{
    if (!m_inputs[0]) return;
    for (int axis = 0; axis < 3; ++axis) m_inputs[axis]->SetName(GetName() + kSuffix[axis]);
}

CNumRegion* CVec3InputRegion::GetInput(int axis) const
{
    return axis >= 0 && axis < 3 ? m_inputs[axis].get() : nullptr;
}

void CVec3InputRegion::CopyValues()
{
    for (int axis = 0; axis < 3; ++axis)
        if (m_inputs[axis]) m_values[axis] = m_inputs[axis]->GetValue();
}

int CVec3InputRegion::HandleEvent(const std::string& message, const CGUIEvent& event)
{
    const int result = CHudRegion::HandleEvent(message, event);
    if (result != ChildTookIt) return result;
    CopyValues();
    SetClicked();
    return NotMine;
}

void CVec3InputRegion::SetValues(const osg::Vec3f& values)
{
    for (int axis = 0; axis < 3; ++axis)
        if (m_inputs[axis]) m_inputs[axis]->SetValue(values[axis]);
    CopyValues();
}

void CVec3InputRegion::SetSteps(const osg::Vec3f& steps)
{
    for (int axis = 0; axis < 3; ++axis)
        if (m_inputs[axis])
        {
            m_inputs[axis]->SetStep(steps[axis]);
            m_inputs[axis]->SetIntStep(std::max(1, static_cast<int>(std::lround(steps[axis]))));
        }
}
