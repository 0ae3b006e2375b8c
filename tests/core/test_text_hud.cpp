// The text HUD's messages, their two-second life, and the information panel.
#include "cHud.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
class TextHud : public ::testing::Test
{
protected:
    void SetUp() override { camera = hud.createHUD(640, 480, true); }
    cHud hud;
    osg::ref_ptr<osg::Camera> camera;
};

TEST_F(TextHud, MessagesAreFormattedAsTheKeysShowThem)
{
    struct Case
    {
        std::function<void(cHud&)> call;
        const char* shown;
    };
    const Case cases[] = {
        {[](cHud& h) { h.ChangeString("Threshold ", 120.f); }, "Threshold  := 120.00"},
        {[](cHud& h) { h.ChangeString("AutoStepSize", 5.f); }, "AutoStepSize := 5.00"},
        {[](cHud& h) { h.ChangeString("Settings Saved"); }, "Settings Saved"},
        {[](cHud& h) { h.ChangeSwitchString("Use Auto", false); }, "Use Auto := OFF"},
        {[](cHud& h) { h.ChangeSwitchString("Use Auto", true); }, "Use Auto := ON"},
    };
    for (const Case& c : cases)
    {
        c.call(hud);
        EXPECT_EQ(hud.GetMessageText(), c.shown);
        EXPECT_TRUE(hud.IsMessageShown());
    }
}

TEST_F(TextHud, OverlongMessagesAreCutNotOverflowed)
{
    hud.ChangeString(std::string(1000, 'x'), 1.f);
    EXPECT_EQ(hud.GetMessageText().size(), 255u);
}

TEST_F(TextHud, AMessageHidesTwoSecondsAfterItsOwnArrival)
{
    hud.ChangeString("first");
    hud.Update(1.5f);
    hud.ChangeString("second");
    hud.Update(1.5f);
    EXPECT_TRUE(hud.IsMessageShown());  // 1.5 s after the second message
    hud.Update(0.49f);
    EXPECT_TRUE(hud.IsMessageShown());
    hud.Update(0.01f);
    EXPECT_FALSE(hud.IsMessageShown());
    EXPECT_EQ(hud.GetMessageText(), "second");
}

TEST_F(TextHud, InfoPanelStartsShownAndEachToggleFlipsIt)
{
    EXPECT_FALSE(hud.IsInfoHidden());
    EXPECT_EQ(hud.GetInfoText(), "hELLO");
    hud.SetInfoString("help");
    EXPECT_FALSE(hud.IsInfoHidden());  // setting text keeps visibility
    hud.ToggleDisplayInfo();
    EXPECT_TRUE(hud.IsInfoHidden());
    hud.ToggleDisplayInfo();
    EXPECT_FALSE(hud.IsInfoHidden());
    EXPECT_EQ(hud.GetInfoText(), "help");
}

TEST_F(TextHud, CameraIsAnOverlayOverTheScreenInPixels)
{
    ASSERT_TRUE(camera.valid());
    EXPECT_EQ(camera->getRenderOrder(), osg::Camera::POST_RENDER);
    EXPECT_EQ(camera->getClearMask(), static_cast<GLbitfield>(GL_DEPTH_BUFFER_BIT));
    EXPECT_EQ(camera->getReferenceFrame(), osg::Transform::ABSOLUTE_RF);
    EXPECT_EQ(camera->getNumChildren(), 2u);
    double left, right, bottom, top, zNear, zFar;
    ASSERT_TRUE(camera->getProjectionMatrixAsOrtho(left, right, bottom, top, zNear, zFar));
    EXPECT_DOUBLE_EQ(right, 640.0);
    EXPECT_DOUBLE_EQ(top, 480.0);
}
}
