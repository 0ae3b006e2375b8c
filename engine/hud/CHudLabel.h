#pragma once
// The text labels of buttons and text regions: "fonts/arial.ttf", light grey
// (0.8) with a near-black drop shadow towards the bottom left, centred in a
// box of the region's size. The caller owns the text it is given (reference
// counted); the font is read once and shared.

#include <osgText/Text>

#include <string>

class CHudLabel
{
public:
    /// A label centred in a width × height box, slightly in front of the
    /// region's model. `characterSize` in HUD pixels; 0 sizes it from the
    /// box (the text then fits on one line).
    static osgText::Text* Create(float width, float height, const std::string& text, float characterSize);
    /// New text for a label made by Create, sized again when it was sized
    /// from its box.
    static void SetText(osgText::Text* label, const std::string& text, float characterSize);
    /// The shared label font (null when "fonts/arial.ttf" cannot be read:
    /// the scene graph's own font is used then).
    static osgText::Font* GetFont();
};
