#pragma once
// Three captioned sliders for x, y and z ("VECSLIDER_<index>", sliders
// "<name>_XINPUT", "<name>_YINPUT", "<name>_ZINPUT" captioned "X:", "Y:" and
// "Z:", in rows from the top). When an event reaches one of them it copies
// the three values, sets its clicked and changed flags and answers 2; any
// other event clears the changed flag and answers 0.
//
// The sliders are owned by this region.

#include "CHudRegion.h"

#include <osg/Vec3f>

#include <memory>
#include <string>

class CSliderValueRegion;

class CVecSliderRegion : public CHudRegion
{
public:
    CVecSliderRegion();
    ~CVecSliderRegion() override;

    osg::MatrixTransform* Init(int index, float x, float y, float width, float height, const std::string& textModel,
                               const std::string& knobModel, const std::string& barModel,
                               const std::string& decModel, const std::string& incModel, float minimum,
                               float maximum);
    int HandleEvent(const std::string& message, const CGUIEvent& event) override;

    void SetValues(const osg::Vec3f& values);
    const osg::Vec3f& GetValues() const { return m_values; }
    bool IsChanged() const { return m_changed; }
    /// The changed flag, cleared by reading it.
    bool ConsumeChanged();
    CSliderValueRegion* GetSlider(int axis) const;

protected:
    void OnNamed() override;

private:
    void CopyValues();

    std::unique_ptr<CSliderValueRegion> m_sliders[3];
    osg::Vec3f m_values;
    bool m_changed = false;
};
