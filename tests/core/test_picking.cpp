// Picks in the 3D HUD layer: presses, clicks, drags and empty space.
#include "CHudRegionManager.h"
#include "PickHandler.h"

#include <gtest/gtest.h>

#include <osg/Geode>
#include <osg/Geometry>

namespace
{
class Picking : public ::testing::Test
{
protected:
    void SetUp() override
    {
        hud = CHudRegionManager::Instance();
        osg::Camera* layer = hud->CreateHudLayer("SETTINGS", 640, 480);
        osg::ref_ptr<osg::Geometry> button = osg::createTexturedQuadGeometry(
            osg::Vec3(100.f, 100.f, 0.f), osg::Vec3(100.f, 0.f, 0.f), osg::Vec3(0.f, 100.f, 0.f));
        button->setName("OK_BUTTON");
        osg::ref_ptr<osg::Geode> geode = new osg::Geode;
        geode->addDrawable(button.get());
        layer->getChild(0)->asGroup()->getChild(0)->asGroup()->addChild(geode.get());
        view = new osgUtil::SceneView;
        view->setDefaults(0);
        view->setViewport(0, 0, 640, 480);
        handler = new PickHandler(view.get());
    }
    // An event at window pixel (px, py), y up, as the engine's queue makes them.
    osg::ref_ptr<osgGA::GUIEventAdapter> Event(osgGA::GUIEventAdapter::EventType type, float px, float py)
    {
        osg::ref_ptr<osgGA::GUIEventAdapter> ea = new osgGA::GUIEventAdapter;
        ea->setEventType(type);
        ea->setInputRange(-1.f, -1.f, 1.f, 1.f);
        ea->setMouseYOrientation(osgGA::GUIEventAdapter::Y_INCREASING_UPWARDS);
        ea->setX(px / 320.f - 1.f);
        ea->setY(py / 240.f - 1.f);
        ea->setButtonMask(osgGA::GUIEventAdapter::LEFT_MOUSE_BUTTON);
        return ea;
    }
    bool Send(osgGA::GUIEventAdapter::EventType type, float px, float py)
    {
        return handler->handle(*Event(type, px, py), actions);
    }

    // The handler asks nothing of its viewer.
    struct NoActions : osgGA::GUIActionAdapter
    {
        void requestRedraw() override {}
        void requestContinuousUpdate(bool) override {}
        void requestWarpPointer(float, float) override {}
    } actions;
    CHudRegionManager* hud = nullptr;
    osg::ref_ptr<osgUtil::SceneView> view;
    osg::ref_ptr<PickHandler> handler;
};

TEST_F(Picking, TheNodeUnderThePointerIsNamed)
{
    EXPECT_EQ(handler->PickName(150.f, 150.f), "OK_BUTTON");
    EXPECT_EQ(handler->PickName(20.f, 20.f), "NONE");
}

TEST_F(Picking, AClickIsAPressThenARelease)
{
    const unsigned before = hud->DispatchCount();
    EXPECT_FALSE(Send(osgGA::GUIEventAdapter::PUSH, 150.f, 150.f));
    EXPECT_EQ(hud->LastEvent().type, CGUIEvent::Press);
    EXPECT_EQ(hud->LastEvent().targetName, "OK_BUTTON");
    EXPECT_TRUE(Send(osgGA::GUIEventAdapter::RELEASE, 150.f, 150.f));
    EXPECT_EQ(hud->LastEvent().type, CGUIEvent::ClickRelease);
    EXPECT_EQ(hud->LastEvent().targetName, "OK_BUTTON");
    EXPECT_EQ(hud->DispatchCount(), before + 2);
}

TEST_F(Picking, ADragIsSelectedAndAMovedReleaseIsNoClick)
{
    Send(osgGA::GUIEventAdapter::PUSH, 150.f, 150.f);
    EXPECT_TRUE(Send(osgGA::GUIEventAdapter::DRAG, 400.f, 300.f));
    EXPECT_EQ(hud->LastEvent().type, CGUIEvent::Drag);
    EXPECT_EQ(hud->LastEvent().targetName, "SELECTED");
    const unsigned count = hud->DispatchCount();
    Send(osgGA::GUIEventAdapter::RELEASE, 400.f, 300.f);
    EXPECT_EQ(hud->DispatchCount(), count);
}

TEST_F(Picking, EmptySpaceIsNone)
{
    Send(osgGA::GUIEventAdapter::PUSH, 600.f, 20.f);
    EXPECT_EQ(hud->LastEvent().targetName, "NONE");
    EXPECT_EQ(hud->LastEvent().type, CGUIEvent::Press);
}
}
