// Labels of text regions and buttons: the font, colours and shadow, centred
// in the region's box, sized to fit it, renamed and faded with the region.
#include "CButtonRegion.h"
#include "CHudLabel.h"
#include "CTextRegion.h"
#include "HudTestSupport.h"

#include <osgText/Font>

#include <algorithm>

namespace
{
const char* const kBox = "models/hud/labelRegion.IVE";

struct LabelCase
{
    float width, height;
    const char* text;
    float textSize;  // 0: sized from the box
};

TEST_F(HudTest, LabelsSitCentredInsideTheirBox)
{
    const LabelCase cases[] = {
        {200.f, 40.f, "Hello", 0.f},
        {120.f, 30.f, "A much longer label than the box holds", 0.f},
        {640.f, 80.f, "Wide", 0.f},
        {300.f, 60.f, "Rot S", 20.f},
    };
    for (const LabelCase& c : cases)
    {
        SCOPED_TRACE(c.text);
        CTextRegion region;
        region.Init(1, 50.f, 60.f, c.width, c.height, kBox, c.text, c.textSize);
        osgText::Text* label = region.GetTextObject();
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->getText().createUTF8EncodedString(), c.text);
        EXPECT_EQ(label->getAlignment(), osgText::Text::CENTER_CENTER);
        EXPECT_EQ(label->getPosition(), osg::Vec3(c.width / 2, c.height / 2, label->getPosition().z()));
        EXPECT_GT(label->getPosition().z(), 0.f);  // in front of the box
        EXPECT_FLOAT_EQ(label->getMaximumWidth(), c.width);
        EXPECT_FLOAT_EQ(label->getMaximumHeight(), c.height);
        if (c.textSize > 0.f) EXPECT_FLOAT_EQ(label->getCharacterHeight(), c.textSize);
        const osg::BoundingBox box = label->getBoundingBox();
        EXPECT_GE(box.xMin(), 0.f);
        EXPECT_LE(box.xMax(), c.width);
        EXPECT_GE(box.yMin(), 0.f);
        EXPECT_LE(box.yMax(), c.height);
        EXPECT_GT(box.yMax() - box.yMin(), std::min(c.height * 0.15f, 10.f));  // and legible, not a speck
    }
}

TEST_F(HudTest, LabelsUseTheHudFontColoursAndShadow)
{
    CTextRegion region;
    region.Init(2, 0.f, 0.f, 200.f, 40.f, kBox, "Text");
    osgText::Text* label = region.GetTextObject();
    ASSERT_NE(CHudLabel::GetFont(), nullptr);
    EXPECT_EQ(label->getFont(), CHudLabel::GetFont());
    EXPECT_NE(CHudLabel::GetFont()->getFileName().find("arial.ttf"), std::string::npos);
    EXPECT_EQ(label->getColor(), osg::Vec4(0.8f, 0.8f, 0.8f, 1.f));
    EXPECT_EQ(label->getBackdropType(), 5);  // the drop shadow towards the bottom left
    EXPECT_EQ(label->getBackdropType(), osgText::Text::DROP_SHADOW_BOTTOM_LEFT);
    EXPECT_EQ(label->getBackdropColor(), osg::Vec4(0.01f, 0.01f, 0.01f, 1.f));
    // The label reports the region's name when it is picked, and fades with it.
    EXPECT_EQ(label->getName(), "TEXT_2");
    region.SetIndex(9);
    EXPECT_EQ(label->getName(), "TEXT_9");
    region.SetTransparent(true, 0.25);
    EXPECT_FLOAT_EQ(label->getColor().a(), 0.25f);
    EXPECT_FLOAT_EQ(label->getBackdropColor().a(), 0.25f);
    region.SetText("New text");
    EXPECT_EQ(region.GetText(), "New text");
    EXPECT_EQ(label->getText().createUTF8EncodedString(), "New text");
}

TEST_F(HudTest, AButtonsLabelFitsItAndALabelOnlyRegionHasNoBox)
{
    CButtonRegion button;
    button.Init(0, 0.f, 0.f, 60.f, 40.f, "models/hud/buttonRegion.IVE", "Calibrate camera");
    const osg::BoundingBox box = button.GetGeode()->getDrawable(0)->getBoundingBox();
    EXPECT_LE(box.xMax() - box.xMin(), 60.f);
    CTextRegion caption;
    caption.Init(1, 0.f, 0.f, 100.f, 30.f, std::string(), "Caption");
    EXPECT_EQ(caption.GetModel(), nullptr);
    EXPECT_EQ(caption.GetKind(), CHudRegion::ModelRegion);
    EXPECT_EQ(caption.GetText(), "Caption");
}
}
