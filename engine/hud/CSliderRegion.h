#pragma once
// A slider ("SLIDER_<index>"): a bar ("<name>SIDE_SLIDER") with a knob that
// carries the slider's own name, a decrease button at the start of the bar
// ("<name>SIDE_DEC") and an increase button at its end ("<name>SIDE_INC").
// A press on the knob or the bar moves the knob to the pointer and starts a
// drag; drags ("SELECTED") then move it until the next press anywhere.
// Every change sets the clicked flag.
//
// The value runs from minimum (knob at the track's start) to minimum +
// |maximum - minimum| (at its end). The parts are owned by the slider.

#include "CHudRegion.h"

#include <memory>
#include <string>

class CButtonRegion;

class CSliderRegion : public CHudRegion
{
public:
    CSliderRegion();
    ~CSliderRegion() override;

    /// Bar, knob and the two buttons in width × height at (x, y), along x
    /// or, when `vertical`, along y.
    osg::MatrixTransform* Init(int index, float x, float y, float width, float height, const std::string& barModel,
                               const std::string& knobModel, const std::string& incModel,
                               const std::string& decModel, bool vertical);
    int HandleEvent(const std::string& message, const CGUIEvent& event) override;

    /// Moves the knob to the value's place on the track (clamped to the
    /// track) and takes the value from there.
    void SetValue(float value);
    float GetValue() const { return m_value; }
    void SetRange(float minimum, float maximum);
    float GetMinimum() const { return m_minimum; }
    float GetMaximum() const { return m_maximum; }
    void SetStep(float step) { m_step = step; }
    float GetStep() const { return m_step; }
    bool IsDragging() const { return m_dragging; }
    bool IsVertical() const { return m_vertical; }
    /// Moves the knob to a HUD position (clamped to the track).
    void MoveKnobTo(float hudX, float hudY);
    /// The track's ends in the slider's own coordinates.
    osg::Vec2f GetTrackStart() const { return m_trackStart; }
    osg::Vec2f GetTrackEnd() const { return m_trackEnd; }
    CHudRegion* GetKnob() const { return m_knob.get(); }
    CHudRegion* GetBar() const { return m_bar.get(); }
    CButtonRegion* GetIncButton() const { return m_inc.get(); }
    CButtonRegion* GetDecButton() const { return m_dec.get(); }

protected:
    void OnNamed() override;

private:
    void PlaceKnob(float ratio);
    void TakeValueFromKnob();

    std::unique_ptr<CHudRegion> m_bar, m_knob;
    std::unique_ptr<CButtonRegion> m_inc, m_dec;
    bool m_vertical = false;
    float m_value = 0.f, m_minimum = 0.f, m_maximum = 1.f, m_step = 0.1f;
    float m_ratio = 0.f;  // the knob's place on the track, 0..1
    osg::Vec2f m_trackStart, m_trackEnd;
    osg::Vec2f m_knobSize;
    bool m_dragging = false;
};
