#pragma once
// A number field ("NUM_<index>"): a text box showing the value ("%d" in
// integer mode, "%.3f" otherwise) with an increase button ("<name>_IncButton")
// and a decrease button ("<name>_DecButton") beside it. A press on either
// moves the value one step, clamped to [minimum, maximum] (-999..999 unless
// set), and sets the clicked flag.
//
// The text box and the buttons are this region's children and owned by it.

#include "CHudRegion.h"

#include <memory>
#include <string>

class CButtonRegion;
class CTextRegion;

class CNumRegion : public CHudRegion
{
public:
    CNumRegion();
    ~CNumRegion() override;

    /// The text box `textModel` with the buttons `incModel` and `decModel`
    /// stacked at its right (increase above), in width × height at (x, y).
    osg::MatrixTransform* Init(int index, float x, float y, float width, float height, const std::string& textModel,
                               const std::string& incModel, const std::string& decModel, bool integerMode);
    int HandleEvent(const std::string& message, const CGUIEvent& event) override;

    void Increase();
    void Decrease();
    /// Clamps to [minimum, maximum] and shows the value.
    void SetValue(float value);
    float GetValue() const;
    int GetIntValue() const { return m_intValue; }
    void SetStep(float step) { m_floatStep = step; }
    void SetIntStep(int step) { m_intStep = step; }
    void SetRange(int minimum, int maximum);
    int GetMinimum() const { return m_minimum; }
    int GetMaximum() const { return m_maximum; }
    bool IsIntegerMode() const { return m_integerMode; }
    /// What the text box shows.
    const std::string& GetDisplayedText() const;
    CButtonRegion* GetIncButton() const { return m_inc.get(); }
    CButtonRegion* GetDecButton() const { return m_dec.get(); }

protected:
    void OnNamed() override;

private:
    void Refresh();

    std::unique_ptr<CTextRegion> m_text;
    std::unique_ptr<CButtonRegion> m_inc, m_dec;
    bool m_integerMode = true;
    float m_floatValue = 0.f;
    int m_intValue = 0;
    int m_intStep = 1;
    float m_floatStep = 0.1f;
    int m_minimum = -999, m_maximum = 999;
};
