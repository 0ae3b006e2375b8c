#include "CHudLabel.h"

#include "CPathResolver.h"

#include <osgText/Font>

#include <cstdio>

namespace
{
const float kDepth = 0.05f;           // in front of the region's model
const float kHeightShare = 0.46f;     // a label sized from its box fills this much of its height
const float kWidthShare = 0.88f;      // and at most this much of its width

// The character size that fits `text` on one line in the label's box.
void fitToBox(osgText::Text* label)
{
    const float width = label->getMaximumWidth(), height = label->getMaximumHeight();
    float size = height * kHeightShare;
    label->setMaximumWidth(0.f);  // measured on one line
    label->setCharacterSize(size);
    const osg::BoundingBox box = label->getBoundingBox();
    const float textWidth = box.valid() ? box.xMax() - box.xMin() : 0.f;
    if (textWidth > width * kWidthShare) size *= width * kWidthShare / textWidth;
    label->setCharacterSize(size);
    label->setMaximumWidth(width);
}
}

osgText::Font* CHudLabel::GetFont()
{
    static osg::ref_ptr<osgText::Font> font;
    static bool tried = false;
    if (!tried)
    {
        tried = true;
        font = osgText::readRefFontFile(CPathResolver::Resolve("fonts/arial.ttf"));
        if (!font.valid()) std::printf("HUD labels: expected the font fonts/arial.ttf, found none\n");
    }
    return font.get();
}

osgText::Text* CHudLabel::Create(float width, float height, const std::string& text, float characterSize)
{
    osg::ref_ptr<osgText::Text> label = new osgText::Text;
    label->setDataVariance(osg::Object::DYNAMIC);
    if (osgText::Font* font = GetFont()) label->setFont(font);
    label->setFontResolution(64, 64);
    label->setColor(osg::Vec4(0.8f, 0.8f, 0.8f, 1.f));
    label->setBackdropType(osgText::Text::DROP_SHADOW_BOTTOM_LEFT);
    label->setBackdropColor(osg::Vec4(0.01f, 0.01f, 0.01f, 1.f));
    label->setAlignment(osgText::Text::CENTER_CENTER);
    label->setMaximumWidth(width);
    label->setMaximumHeight(height);
    label->setPosition(osg::Vec3(width * 0.5f, height * 0.5f, kDepth));
    SetText(label.get(), text, characterSize);
    return label.release();
}

void CHudLabel::SetText(osgText::Text* label, const std::string& text, float characterSize)
{
    if (!label) return;
    label->setText(text);
    if (characterSize > 0.f)
        label->setCharacterSize(characterSize);
    else
        fitToBox(label);
}
