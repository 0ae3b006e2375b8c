#pragma once
// A push button ("BUTTON_<index>"): a model with an optional label. A press
// on it plays the model's press animation (segment 0), calls the click
// callback and sets the clicked-by-press flag; the release of a click on it
// plays the release animation (segment 1) and sets the clicked flag
// (ConsumeClick), which is what owners that poll the button read.

#include "CHudRegion.h"

#include <functional>
#include <string>

class CButtonRegion : public CHudRegion
{
public:
    using ClickCallback = std::function<void(CButtonRegion& button)>;
    static const int kAnimationSegments = 5;

    CButtonRegion();

    /// The model scaled to width × height at (x, y) with `label` on it
    /// (none when empty); its animation cut into 5 segments, and
    /// `startSegment` played once.
    osg::MatrixTransform* Init(int index, float x, float y, float width, float height, const std::string& modelFile,
                               const std::string& label = std::string(), int startSegment = 1);
    int HandleEvent(const std::string& message, const CGUIEvent& event) override;

    /// Called on every press on the button (optional).
    void SetClickCallback(ClickCallback callback) { m_callback = std::move(callback); }
    /// The clicked-by-press flag, cleared by reading it.
    bool ConsumePressed();
    bool HasAnimation() const { return m_hasAnimation; }
    void SetLabel(const std::string& text);

private:
    ClickCallback m_callback;
    bool m_pressed = false;
    bool m_hasAnimation = false;
    float m_width = 0.f, m_height = 0.f;
};
