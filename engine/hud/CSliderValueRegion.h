#pragma once
// A slider with a caption ("VSLIDE_<index>"): a text box at the left showing
// the caption and the slider's value, and the slider ("<name>_VS") to its
// right. When an event reaches one of its parts it shows the value again,
// takes over the slider's change (its clicked flag) and answers 2.
//
// The caption and the slider are owned by this region.

#include "CHudRegion.h"

#include <memory>
#include <string>

class CSliderRegion;
class CTextRegion;

class CSliderValueRegion : public CHudRegion
{
public:
    CSliderValueRegion();
    ~CSliderValueRegion() override;

    /// The caption box (`textModel`, a share `captionShare` of the width)
    /// and the slider from `minimum` to `maximum`, in width × height at (x, y).
    osg::MatrixTransform* Init(int index, float x, float y, float width, float height, const std::string& caption,
                               const std::string& textModel, const std::string& knobModel,
                               const std::string& barModel, const std::string& decModel,
                               const std::string& incModel, float minimum, float maximum,
                               float captionShare = 0.38f);
    int HandleEvent(const std::string& message, const CGUIEvent& event) override;

    void SetValue(float value);
    float GetValue() const;
    /// The caption box's text: "<caption> <value>" with two decimals.
    void RefreshCaption();
    const std::string& GetCaption() const { return m_caption; }
    CSliderRegion* GetSlider() const { return m_slider.get(); }
    CTextRegion* GetCaptionRegion() const { return m_text.get(); }

protected:
    void OnNamed() override;

private:
    std::unique_ptr<CTextRegion> m_text;
    std::unique_ptr<CSliderRegion> m_slider;
    std::string m_caption;
};
