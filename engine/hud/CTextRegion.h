#pragma once
// A text label on a box model ("TEXT_<index>"): the box from a model file
// (or none), the text centred on it. Its events are the base region's.

#include "CHudRegion.h"

#include <string>

class CTextRegion : public CHudRegion
{
public:
    CTextRegion();

    /// The box `modelFile` (empty: no box) at (x, y) sized width × height,
    /// with `text` on it; `textSize` in HUD pixels, 0 to size it from the box.
    osg::MatrixTransform* Init(int index, float x, float y, float width, float height, const std::string& modelFile,
                               const std::string& text, float textSize = 0.f);
    void SetText(const std::string& text);
    const std::string& GetText() const { return m_text; }
    osgText::Text* GetTextObject() const { return GetLabel(); }

private:
    std::string m_text;
    float m_textSize = 0.f;
};
