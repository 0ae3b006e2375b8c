#pragma once
// Three number fields for x, y and z ("VE3_<index>", fields
// "<name>_XINPUT", "<name>_YINPUT", "<name>_ZINPUT", in rows from the top).
// When an event reaches one of them it copies the three values (integer
// fields as floats), sets its clicked flag and answers 0.
//
// The fields are owned by this region.

#include "CHudRegion.h"

#include <osg/Vec3f>

#include <memory>
#include <string>

class CNumRegion;

class CVec3InputRegion : public CHudRegion
{
public:
    CVec3InputRegion();
    ~CVec3InputRegion() override;

    osg::MatrixTransform* Init(int index, float x, float y, float width, float height, const std::string& textModel,
                               const std::string& incModel, const std::string& decModel, bool integerMode = false);
    int HandleEvent(const std::string& message, const CGUIEvent& event) override;

    /// The values in the fields (clamped by them) and this region's copy.
    void SetValues(const osg::Vec3f& values);
    void SetSteps(const osg::Vec3f& steps);
    const osg::Vec3f& GetValues() const { return m_values; }
    CNumRegion* GetInput(int axis) const;

protected:
    void OnNamed() override;

private:
    void CopyValues();

    std::unique_ptr<CNumRegion> m_inputs[3];
    osg::Vec3f m_values;
};
