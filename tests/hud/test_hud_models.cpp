// The HUD's own models as the engine names them: each loads (upper-case
// extensions as named), takes the texture image its folder holds, and the
// pressable ones cut into press and release segments; the icons load; a
// missing model or texture; the skin block.
#include "CButtonRegion.h"
#include "CHudSkin.h"
#include "COsgSettings.h"
#include "HudTestSupport.h"

#include <osg/MatrixTransform>
#include <osg/Texture2D>
#include <osgDB/ReadFile>

#include <cstdio>

namespace
{
struct ModelCase
{
    const char* file;     // as the engine names it
    const char* texture;  // the image the region gives it
    int segments;         // press segments its animation is cut into; 0 for a still model
};

const ModelCase kModels[] = {
    {"models/hud/buttonRegion.IVE", "models/hud/images/buttonRegion.png", 5},
    {"models/hud/labelRegion.IVE", "models/hud/images/labelRegion.png", 0},
    {"models/hud/okReg.IVE", "models/hud/images/okReg.png", 5},
    {"models/hud/cacelRegion.IVE", "models/hud/images/cacelRegion.png", 5},
    {"models/hud/sliderEnd.IVE", "models/hud/images/sliderEnd.png", 5},
    {"models/hud/sliderBar.IVE", "models/hud/images/sliderBar.png", 0},
    {"models/hud/toggle.IVE", "models/hud/images/toggle.png", 0},
    {"models/hud/indicator.IVE", "models/hud/images/indicator.png", 10},
    {"models/hud/upButtonRegion.IVE", "models/hud/images/upButtonRegion.png", 5},
    {"models/hud/downButtonRegion.IVE", "models/hud/images/downButtonRegion.png", 5},
    {"models/hud/buttonRegion.ive", "models/hud/images/buttonRegion.png", 5},
    {"models/hud/labelRegion.ive", "models/hud/images/labelRegion.png", 0},
    {"models/hud/minus/minus.ive", "models/hud/minus/images/minus.png", 5},
    {"models/hud/plus/plus.ive", "models/hud/plus/images/plus.png", 5},
    {"models/hud/basePlane/basePlane.ive", "models/hud/basePlane/images/basePlane.png", 1},
    {"models/hud/basePlane/backgroundBlack.ive", "models/hud/basePlane/images/backgroundBlack.png", 0},
    {"models/hud/baseFrame/baseFrame.ive", "models/hud/baseFrame/images/baseFrame.png", 0},
    {"models/hud/qorts/panelRight/panelRight.ive", "models/hud/qorts/panelRight/images/panelRight.png", 0},
    {"models/hud/qorts/effectNode/effectNode.ive", "models/hud/qorts/effectNode/images/effectNode.png", 5},
    {"models/hud/qorts/editIcon/editIcon.ive", "models/hud/qorts/editIcon/images/editIcon.png", 5},
    {"models/hud/qorts/infoIcon/infoIcon.ive", "models/hud/qorts/infoIcon/images/infoIcon.png", 5},
    {"models/hud/qorts/toggleBackDrop/toggleBackDrop.ive", "models/hud/qorts/toggleBackDrop/images/toggleBackDrop.png", 0},
    {"models/hud/qorts/menuButton/menuButton.ive", "models/hud/qorts/menuButton/images/menuButton.png", 5},
    {"models/hud/qorts/effectIndi/effectIndi.ive", "models/hud/qorts/effectIndi/images/effectIndi.png", 10},
    {"models/hud/qorts/videoFrame/videoFrame.ive", "models/hud/qorts/videoFrame/images/videoFrame.png", 0},
    {"models/hud/qorts/videoPlane/videoPlane.ive", "models/hud/qorts/videoPlane/images/videoPlane.png", 1},
};

// The uniform scale a model's animated node shows at the end of `segment`.
double scaleAtEnd(CAnimationController* controller, int segment)
{
    osg::AnimationPath* path = controller->GetSegment(0, segment);
    return path->getTimeControlPointMap().rbegin()->second.getScale().x();
}

TEST_F(HudTest, EveryHudModelLoadsWithItsTextureAndAnimation)
{
    for (const ModelCase& c : kModels)
    {
        SCOPED_TRACE(c.file);
        CHudRegion region;
        region.CreateFromModel(1, 0.f, 0.f, 120.f, 60.f, c.file);
        ASSERT_NE(region.GetModel(), nullptr);
        EXPECT_EQ(region.GetModelTransform()->getMatrix(), osg::Matrix::scale(120.f, 60.f, 1.f));
        const osg::StateSet* state = region.GetModelTransform()->getStateSet();
        const auto* texture = dynamic_cast<const osg::Texture2D*>(
            state->getTextureAttribute(0, osg::StateAttribute::TEXTURE));
        ASSERT_NE(texture, nullptr);
        EXPECT_TRUE(state->getTextureMode(0, GL_TEXTURE_2D) & osg::StateAttribute::OVERRIDE);
        ASSERT_NE(texture->getImage(), nullptr);
        const std::string name = texture->getImage()->getFileName();
        const std::string wanted = std::string(c.texture).substr(std::string(c.texture).rfind('/'));
        EXPECT_EQ(name.substr(name.size() - wanted.size()), wanted);
        EXPECT_GE(texture->getImage()->s(), 64);
        // The model reports the region's name wherever it is picked.
        EXPECT_EQ(region.GetModel()->getName(), "REGION_1");

        const bool animated = c.segments > 0 && region.EnableAnimation(c.segments);
        EXPECT_EQ(animated, c.segments > 0);
        if (!animated) continue;
        EXPECT_EQ(region.GetAnimation()->GetSegmentCount(), c.segments);
        if (c.segments == 5)
        {
            EXPECT_NEAR(scaleAtEnd(region.GetAnimation(), 0), 0.9, 1e-6);  // pressed
            EXPECT_NEAR(scaleAtEnd(region.GetAnimation(), 1), 1.0, 1e-6);  // released
        }
        else
            EXPECT_NEAR(scaleAtEnd(region.GetAnimation(), c.segments - 1), 1.0, 1e-6);
    }
}

TEST_F(HudTest, TheIconsAreImagesOfButtonSize)
{
    for (const char* icon : {"vSource", "vSettings", "threshTab", "threshOff", "threshOn", "scan", "hiderOff",
                             "hiderOn", "settings"})
    {
        SCOPED_TRACE(icon);
        osg::ref_ptr<osg::Image> image = osgDB::readRefImageFile(std::string("models/hud/icons/") + icon + ".png");
        ASSERT_TRUE(image.valid());
        EXPECT_EQ(image->s(), image->t());
        // A clear corner (the shadow's margin) and an opaque face.
        EXPECT_LT(image->getColor(0, 0).a(), 0.05f);
        EXPECT_GT(image->getColor(image->s() / 2, image->t() / 2).a(), 0.9f);
    }
}

TEST_F(HudTest, AMissingModelIsReportedAndTheRegionStaysUsable)
{
    testing::internal::CaptureStdout();
    CButtonRegion button;
    button.Init(4, 10.f, 10.f, 50.f, 50.f, "models/hud/noSuchButton.ive", "Go");
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, "Couldn't load region file models/hud/noSuchButton.ive\n");
    EXPECT_EQ(button.GetModel(), nullptr);
    EXPECT_EQ(button.GetName(), "BUTTON_4");
    EXPECT_EQ(button.GetKind(), CHudRegion::ModelRegion);
    EXPECT_FALSE(button.HasAnimation());
    EXPECT_EQ(button.HandleEvent("", Event(CGUIEvent::ClickRelease, "BUTTON_4")), CHudRegion::TookIt);
    EXPECT_TRUE(button.ConsumeClick());
}

TEST_F(HudTest, AModelWithoutItsTextureImageKeepsItsOwnTexture)
{
    TestFolder copy;
    const std::string model = copy / "plain.ive";
    std::FILE* in = std::fopen("models/hud/okReg.ive", "rb");
    std::FILE* out = std::fopen(model.c_str(), "wb");
    ASSERT_TRUE(in && out);
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof(buffer), in)) > 0;) std::fwrite(buffer, 1, n, out);
    std::fclose(in);
    std::fclose(out);
    testing::internal::CaptureStdout();
    CHudRegion region;
    region.CreateFromModel(0, 0.f, 0.f, 10.f, 10.f, model);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");  // no message
    ASSERT_NE(region.GetModel(), nullptr);
    EXPECT_EQ(region.GetModelTransform()->getStateSet()->getTextureAttribute(0, osg::StateAttribute::TEXTURE),
              nullptr);
}

struct SkinCase
{
    const char* line;
    std::string CHudSkin::*entry;
};

TEST_F(HudTest, ASkinBlockSetsOneModelPerTag)
{
    const SkinCase cases[] = {
        {"<OK> ok.ive", &CHudSkin::ok},           {"<CANCEL> cancel.ive", &CHudSkin::cancel},
        {"<INCREASE> inc.ive", &CHudSkin::increase}, {"<DECREASE> dec.ive", &CHudSkin::decrease},
        {"<SLIDER> knob.ive", &CHudSkin::slider}, {"<BAR> bar.ive", &CHudSkin::bar},
        {"<TEXTBOX> box.ive", &CHudSkin::textBox}, {"<BUTTON> button.ive", &CHudSkin::button},
        {"<MENU_BUTTON> menu.ive", &CHudSkin::menuButton}, {"<RIGHT_PANEL> panel.ive", &CHudSkin::rightPanel},
        {"<EFFECT_NODE> node.ive", &CHudSkin::effectNode}, {"<TOGGLEINDI> indi.ive", &CHudSkin::toggleIndi},
        {"<TOGGLEBACK> back.ive", &CHudSkin::toggleBack},
    };
    TestFolder files;
    std::string text = "<MENU_LAYOUT>\n<SKIN>\n";
    for (const SkinCase& c : cases) text += std::string(c.line) + "\n";
    text += "</SKIN>\n<FADE_MIN> 0\n</MENU_LAYOUT>\n";
    TestFolder::WriteFile(files / "layout.hud", text);
    COsgSettings file;
    ASSERT_TRUE(file.Load(files / "layout.hud"));
    ASSERT_TRUE(file.FindFirst("<SKIN>"));
    CHudSkin skin;
    EXPECT_TRUE(hud->ReadSkin(file, skin));
    for (const SkinCase& c : cases)
    {
        const std::string line = c.line;
        EXPECT_EQ(skin.*c.entry, line.substr(line.find(' ') + 1)) << line;
    }
    EXPECT_EQ(skin.upButton, "");
    // The caller goes on after the block.
    EXPECT_TRUE(file.NextUnless("</MENU_LAYOUT>"));
    EXPECT_EQ(file.NextString(), "<FADE_MIN>");
}

TEST_F(HudTest, ASkinBlockReportsWhatItCannotUse)
{
    const struct
    {
        const char* text;
        const char* printed;
        bool closed;
    } cases[] = {
        {"<SKIN>\n<KNOB> k.ive\n<BAR> b.ive\n</SKIN>\n",
         "Skin: expected a widget tag such as <BUTTON> or </SKIN>, found <KNOB>\n", true},
        {"<SKIN>\n<BAR>\n</SKIN>\n", "Skin: expected a model file after <BAR>, found nothing\n", true},
        {"<SKIN>\n<BAR> b.ive\n", "Skin: expected </SKIN>, found the end of the file\n", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        TestFolder files;
        TestFolder::WriteFile(files / "skin.hud", c.text);
        COsgSettings file;
        ASSERT_TRUE(file.Load(files / "skin.hud"));
        ASSERT_TRUE(file.FindFirst("<SKIN>"));
        CHudSkin skin;
        testing::internal::CaptureStdout();
        EXPECT_EQ(skin.Read(file), c.closed);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed);
    }
}
}
