// The 3D HUD is told when the selected marker changes or its object does.
#include "CContentObject.h"
#include "CHudRegionManager.h"
#include "HudMarkerInputCallback.h"

#include "ContentScene.h"

#include <gtest/gtest.h>

#include <osgUtil/UpdateVisitor>

namespace
{
TEST(HudMarkerEvents, NewSelectionsAndObjectChangesAreAnnounced)
{
    TestFolder folder;
    ScopedCurrentFolder inFolder(folder.Path());
    ContentScene scene(folder);
    scene.Load({{"models/a.dat", scene.Marker(0, "one") + scene.Marker(1, "two") +
                                     ContentScene::Entity("a", "NONE", "one") + ContentScene::Entity("b")}});
    CHudRegionManager* hud = CHudRegionManager::Instance();
    osg::ref_ptr<osg::Group> group = new osg::Group;
    group->setUpdateCallback(new HudMarkerInputCallback(&scene.Manager(), hud, nullptr));
    osgUtil::UpdateVisitor update;
    auto frame = [&]() {
        scene.Step(0.04f);
        const unsigned before = hud->DispatchCount();
        group->accept(update);
        return hud->DispatchCount() > before ? hud->LastEvent() : CGUIEvent();
    };
    EXPECT_EQ(frame().targetName, "NONE");  // nothing visible: nothing said
    scene.Frames().Place(0, TrackerScene::PoseAt(-100, 0, 600));
    CGUIEvent e = frame();
    EXPECT_EQ(e.targetName, "NEW_MARKER_SEL");
    EXPECT_EQ(e.type, CGUIEvent::NewMarkerSelected);
    EXPECT_EQ(frame().type, 0);  // the same marker: nothing new
    scene.Manager().ChangeCurrentObject(true);
    e = frame();
    EXPECT_EQ(e.targetName, "OBJ_CHANGE");
    EXPECT_EQ(e.type, CGUIEvent::ObjectChanged);
    scene.Frames().Place(1, TrackerScene::PoseAt(100, 0, 600));
    EXPECT_EQ(frame().targetName, "NEW_MARKER_SEL");  // the newer marker is selected
}
}
