// Binding objects to markers, selection, editing arithmetic, auto swap and
// the swing gesture, on markers really seen by the tracker.
#include "CContentObject.h"

#include "ContentScene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace
{
class Binding : public ::testing::Test
{
protected:
    TestFolder folder;
    ScopedCurrentFolder inFolder{folder.Path()};
    ContentScene scene{folder};
};

TEST_F(Binding, GroupObjectsAreDealtOverTheGroupsMarkers)
{
    std::string data;
    for (int i = 0; i < 5; ++i) data += scene.Marker(i, "m" + std::to_string(i), "cards");
    data += ContentScene::Entity("a", "cards") + ContentScene::Entity("b", "cards");
    data += "<OBJECT_GROUP>\n    <NAME> cards\n</OBJECT_GROUP>\n";
    scene.Load({{"models/a.dat", data}});
    CObjectManager& m = scene.Manager();
    ASSERT_EQ(m.GetNumTrackedMarkers(), 5);
    const char* expected[5] = {"a", "b", "a", "b", "a"};
    for (int i = 0; i < 5; ++i)
    {
        ASSERT_NE(m.GetTrackedMarker(i)->GetObject(), nullptr) << i;
        EXPECT_EQ(m.GetTrackedMarker(i)->GetObject()->GetName(), expected[i]) << i;
    }
    EXPECT_TRUE(m.HookThisObjectToAllGroupMarkers("b"));
    for (int i = 0; i < 5; ++i) EXPECT_EQ(m.GetTrackedMarker(i)->GetObject()->GetName(), "b");
    EXPECT_FALSE(m.HookThisObjectToAllGroupMarkers(-1));
    EXPECT_FALSE(m.HookThisObjectToAllGroupMarkers(2));
    EXPECT_FALSE(m.HookThisObjectToAllGroupMarkers("nobody"));
    EXPECT_FALSE(m.HookThisObjectToAllGroupMarkers(static_cast<CContentObject*>(nullptr)));
}

TEST_F(Binding, LookupsIgnoreNoneAndWrapWithinGroups)
{
    scene.Load({{"models/a.dat", ContentScene::Entity("x", "g") + ContentScene::Entity("y", "h") +
                                     ContentScene::Entity("z", "g") + ContentScene::Entity("NONE")}});
    CObjectManager& m = scene.Manager();
    EXPECT_EQ(m.FindObjectByName("NONE"), nullptr);
    EXPECT_TRUE(m.FindObjectsInGroup("NONE").empty());
    EXPECT_EQ(m.GetGroupNames(), (std::vector<std::string>{"g", "h", "NONE"}));
    CContentObject* x = m.FindObjectByName("x");
    CContentObject* z = m.FindObjectByName("z");
    EXPECT_EQ(m.GetNextObjectInGroup(x), z);
    EXPECT_EQ(m.GetNextObjectInGroup(z), x);
    EXPECT_EQ(m.GetPreviousObjectInGroup(x), z);
    EXPECT_EQ(m.GetNextObjectByID(m.GetObject(3)), m.GetObject(0));
}

TEST_F(Binding, TheMarkerSeenLastIsSelected)
{
    scene.Load({{"models/a.dat", scene.Marker(0, "one") + scene.Marker(1, "two") + ContentScene::Entity("o", "NONE", "one")}});
    CObjectManager& m = scene.Manager();
    scene.Step(0.04f);
    EXPECT_EQ(m.GetSelectedMarker(), m.GetTrackedMarker(0));  // nothing visible: the first
    scene.Frames().Place(1, TrackerScene::PoseAt(100, 0, 600));
    for (int i = 0; i < 3; ++i) scene.Step(0.04f);
    EXPECT_EQ(m.GetSelectedMarker(), m.GetTrackedMarker(1));
    scene.Frames().Place(0, TrackerScene::PoseAt(-100, 0, 600));
    scene.Step(0.04f);
    EXPECT_EQ(m.GetSelectedMarker(), m.GetTrackedMarker(0));
    scene.Frames().Clear();
    scene.Step(0.04f);
    EXPECT_EQ(m.GetSelectedMarker(), m.GetTrackedMarker(0));  // kept while none is seen
    EXPECT_EQ(m.GetNumFoundMarkers(), 0);
}

TEST_F(Binding, EditingArithmetic)
{
    scene.Load({{"models/a.dat", scene.Marker(0, "one") + ContentScene::Entity("o", "NONE", "one")}});
    CObjectManager& m = scene.Manager();
    scene.Step(0.04f);
    CContentObject* object = m.GetSelectedObject();
    ASSERT_NE(object, nullptr);
    m.ScaleObject(true);
    m.ScaleObject(false);
    EXPECT_NEAR(object->GetScale(), 0.99, 1e-9);
    m.RotateObject(true, 3);
    EXPECT_EQ(object->GetRotation(), osg::Vec3d(0, 0, 0));
    for (int i = 0; i < 72; ++i) m.RotateObject(true, 1);
    EXPECT_NEAR(object->GetRotation().y(), 2.0 * M_PI, 1e-6);
    m.TranslateObject(1.f, 2.f, 3.f);
    m.TranslateObject(1.f, 2.f, 3.f);  // set, not added
    EXPECT_EQ(object->GetTranslation(), osg::Vec3d(1, 2, 3));
    m.SetObjectRotation(90.f, 0.f, 0.f);
    EXPECT_NEAR(object->GetRotation().x(), M_PI / 2, 1e-6);
}

TEST_F(Binding, EditingWithoutAnObjectSaysSo)
{
    scene.Load({{"models/a.dat", scene.Marker(0, "bare")}});
    scene.Step(0.04f);
    ::testing::internal::CaptureStdout();
    scene.Manager().ScaleObject(true);
    scene.Manager().RotateObject(true, 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "No selectedObj\nNo selectedObj\n");
}

TEST_F(Binding, AutoSwapAfterALongAbsenceOnly)
{
    scene.Load({{"models/a.dat", scene.Marker(0, "swap", "NONE", "    <AUTO_SWAP_MODE> ON_NEW\n") +
                                     ContentScene::Entity("first", "NONE", "swap") + ContentScene::Entity("second") +
                                     ContentScene::Entity("third")}});
    CObjectManager& m = scene.Manager();
    CTrackedMarker* marker = m.GetTrackedMarker(0);
    auto show = [&](bool visible, float seconds) {
        scene.Frames().Clear();
        if (visible) scene.Frames().Place(0, TrackerScene::PoseAt(0, 0, 600));
        for (float t = 0.f; t < seconds; t += 0.25f) scene.Step(0.25f);
    };
    show(true, 1.f);  // first sight after start: lost long since creation
    const std::string shownFirst = marker->GetObject()->GetName();
    show(false, 3.f);
    show(true, 1.f);
    EXPECT_EQ(marker->GetObject()->GetName(), shownFirst);  // covered 3 s: same object
    show(false, 5.f);
    show(true, 1.f);
    const CContentObject* after = marker->GetObject();
    EXPECT_NE(after->GetName(), shownFirst);  // covered 5 s: the next object by id
    EXPECT_TRUE(marker->TakeObjectChanged());
}

TEST_F(Binding, ASwingTowardsTheCameraAndBack)
{
    scene.Load({{"models/a.dat", scene.Marker(0, "swing")}});
    CTrackedMarker* marker = scene.Manager().GetTrackedMarker(0);
    auto at = [&](double distance) {
        scene.Frames().Clear();
        scene.Frames().Place(0, TrackerScene::PoseAt(0, 0, distance));
        scene.Step(0.04f);
    };
    for (int i = 0; i < 5; ++i) at(500);  // settle the filter
    std::vector<int> states;
    // Away from the camera (towards negative OpenGL z) in 10 mm steps.
    for (int i = 1; i <= 6; ++i)
    {
        at(500 + 10 * i);
        states.push_back(marker->GetSwingState());
    }
    EXPECT_NE(std::find(states.begin(), states.end(), 1), states.end());
    EXPECT_EQ(states.back(), 3);
    states.clear();
    for (int i = 1; i <= 6; ++i)
    {
        at(560 - 10 * i);
        states.push_back(marker->GetSwingState());
    }
    EXPECT_NE(std::find(states.begin(), states.end(), 2), states.end());
    EXPECT_EQ(states.back(), 0);
}
}
