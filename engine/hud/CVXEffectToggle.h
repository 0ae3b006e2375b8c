#pragma once
// An effect toggle ("VXEFFECTTOGGLE_<index>") of the object-edit panel: a
// title ("<name>TITLE", "No Title" until set), a backdrop ("<name>BACK",
// depth -2), an indicator ("<name>INDI", depth -1, ten pop segments) and one
// button per bound effect ("<name>_<n>_FXBUT"). A press on an effect's
// button moves that effect to its next preset; the indicator pops, moves
// behind the button and takes the new preset's base colour (preset 0, the
// effect's own values, leaves the colour as it is).
//
// The parts are owned by the toggle; the effects belong to the effect
// library and live as long as the process.

#include "CHudRegion.h"

#include <memory>
#include <string>
#include <vector>

class CButtonRegion;
class CEffect;
class CHudSkin;
class CTextRegion;

class CVXEffectToggle : public CHudRegion
{
public:
    static const int kIndicatorSegments = 10;

    CVXEffectToggle();
    ~CVXEffectToggle() override;

    /// The backdrop and indicator from the skin's <TOGGLEBACK> and
    /// <TOGGLEINDI> (or `indicatorModel` when given), in width × height at
    /// (x, y); the title across the top.
    osg::MatrixTransform* Init(int index, float x, float y, float width, float height, const CHudSkin& skin,
                               const std::string& indicatorModel = std::string());
    void SetTitle(const std::string& title);
    /// Adds a button for the effect (its icon shown on it, or "Effect group
    /// icon is NULL" on the console when it has none).
    void BindEffect(CEffect* effect, const std::string& buttonModel);
    int HandleEvent(const std::string& message, const CGUIEvent& event) override;

    /// What a press on effect button `n` does.
    void Cycle(size_t n);
    size_t GetEffectCount() const { return m_effects.size(); }
    CEffect* GetEffect(size_t n) const { return n < m_effects.size() ? m_effects[n] : nullptr; }
    CButtonRegion* GetEffectButton(size_t n) const;
    CHudRegion* GetIndicator() const { return m_indicator.get(); }
    CHudRegion* GetBackdrop() const { return m_backdrop.get(); }
    CTextRegion* GetTitle() const { return m_title.get(); }

protected:
    void OnNamed() override;

private:
    float ButtonSide() const;

    std::unique_ptr<CTextRegion> m_title;
    std::unique_ptr<CHudRegion> m_backdrop, m_indicator;
    std::vector<std::unique_ptr<CButtonRegion>> m_buttons;
    std::vector<CEffect*> m_effects;  // not owned
    float m_width = 0.f, m_height = 0.f;
};
