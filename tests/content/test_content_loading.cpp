// Loading a content set: file and block order, ids, groups, and hostile files.
#include "CContentObject.h"

#include "ContentScene.h"
#include "EngineLog.h"

#include <gtest/gtest.h>

#include <sstream>

namespace
{
int countOf(const std::vector<std::string>& lines, const std::string& text)
{
    int n = 0;
    for (const std::string& l : lines) n += l == text;
    return n;
}

class ContentLoading : public ::testing::Test
{
protected:
    std::vector<std::string> Log() const { return LogMessages(TestFolder::ReadFile(folder / "Data/messageLog.txt")); }
    TestFolder folder;
    ScopedCurrentFolder inFolder{folder.Path()};
    ContentScene scene{folder};
};

TEST_F(ContentLoading, MarkersComeFirstInEveryFileAndIdsFollowFileOrder)
{
    scene.Load({{"models/a.dat", ContentScene::Entity("first", "NONE", "alpha") + scene.Marker(0, "alpha")},
                {"models/b.dat", scene.Marker(1, "beta") + ContentScene::Entity("second", "NONE", "beta")}});
    CObjectManager& m = scene.Manager();
    ASSERT_EQ(m.GetNumTrackedMarkers(), 2);
    EXPECT_EQ(m.GetTrackedMarker(0)->GetName(), "alpha");
    EXPECT_EQ(m.GetTrackedMarker(1)->GetName(), "beta");
    EXPECT_EQ(m.GetTrackedMarker(1)->GetId(), 1);
    ASSERT_EQ(m.GetNumObjects(), 2);
    EXPECT_EQ(m.GetObject(0)->GetName(), "first");
    EXPECT_EQ(m.GetObject(1)->GetId(), 1);
    // Bound by name.
    EXPECT_EQ(m.GetTrackedMarker(0)->GetObject(), m.GetObject(0));
    EXPECT_EQ(m.GetTrackedMarker(1)->GetObject(), m.GetObject(1));
    const std::vector<std::string> log = Log();
    EXPECT_EQ(countOf(log, "ObjectManager: Init: Marker added"), 2);
    EXPECT_EQ(log.back(), "ObjectManager: Init: Complete");
}

TEST_F(ContentLoading, RejectedMarkersTakeNoIdAndAreLogged)
{
    const std::string noFile = "<VEXA_MARKER>\n    <NAME> nofile\n</VEXA_MARKER>\n";
    const std::string missing = "<VEXA_MARKER>\n    <FILE> Data/none.patt\n    <NAME> missing\n</VEXA_MARKER>\n";
    scene.Load({{"models/a.dat", scene.Marker(0, "one") + noFile + missing + scene.Marker(1, "two")}});
    CObjectManager& m = scene.Manager();
    ASSERT_EQ(m.GetNumTrackedMarkers(), 2);
    EXPECT_EQ(m.GetTrackedMarker(1)->GetName(), "two");
    EXPECT_EQ(m.GetTrackedMarker(1)->GetId(), 1);
    EXPECT_EQ(countOf(Log(), "ObjectManager: Init: Failed to add the marker"), 2);
}

TEST_F(ContentLoading, MarkerDefaultsAndTags)
{
    const std::string plain = "<VEXA_MARKER>\n    <FILE> " + scene.Frames().PatternFile(0) + "\n</VEXA_MARKER>\n";
    const std::string full = scene.Marker(1, "hidden", "cards",
                                          "    <GEN_GEOM> 1\n    <USE_HIDER> 1\n    <HIDER_TYPE> 1\n"
                                          "    <FIN_SCALE> 0.5\n    <HIDER_SCALE> 1.2\n    <AUTO_SWAP_MODE> ON_NEW\n"
                                          "    <TYPE> TRIANGLE\n");
    scene.Load({{"models/a.dat", plain + full}});
    CObjectManager& m = scene.Manager();
    ASSERT_EQ(m.GetNumTrackedMarkers(), 2);
    CTrackedMarker* first = m.GetTrackedMarker(0);
    EXPECT_EQ(first->GetName(), "NONE");
    EXPECT_EQ(first->GetGroup(), "NONE");
    EXPECT_EQ(first->GetMarker()->getType(), 1);
    EXPECT_FALSE(first->HasGeometry());
    EXPECT_FLOAT_EQ(first->GetHiderScale(), 1.f);
    EXPECT_FLOAT_EQ(first->GetFinScale(), 1.f);
    EXPECT_EQ(first->GetAutoSwapMode(), 0);
    CTrackedMarker* second = m.GetTrackedMarker(1);
    EXPECT_EQ(second->GetMarker()->getType(), 1);  // an unknown kind keeps single
    EXPECT_TRUE(second->HasGeometry());
    EXPECT_TRUE(second->UsesHider());
    EXPECT_EQ(second->GetHiderType(), 1);
    EXPECT_FLOAT_EQ(second->GetFinScale(), 0.5f);
    EXPECT_FLOAT_EQ(second->GetHiderScale(), 1.2f);
    EXPECT_EQ(second->GetAutoSwapMode(), 1);
}

TEST_F(ContentLoading, GroupsNeedANameOtherThanNone)
{
    const std::string groups = "<OBJECT_GROUP>\n    <NAME> animals\n    <ICON> models/animals.png\n</OBJECT_GROUP>\n"
                               "<OBJECT_GROUP>\n    <ICON> models/nameless.png\n</OBJECT_GROUP>\n"
                               "<OBJECT_GROUP>\n    <NAME> NONE\n</OBJECT_GROUP>\n";
    scene.Load({{"models/a.dat", groups}});
    const std::vector<ObjectGroup*> kept = scene.Manager().GetGroups();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0]->name, "animals");
    EXPECT_EQ(kept[0]->icon, "models/animals.png");
}

TEST_F(ContentLoading, OnlyLowerCaseDatFilesAreRead)
{
    scene.Load({{"models/a.DAT", scene.Marker(0, "upper")}, {"models/b.dat", scene.Marker(1, "lower")}});
    ASSERT_EQ(scene.Manager().GetNumTrackedMarkers(), 1);
    EXPECT_EQ(scene.Manager().GetTrackedMarker(0)->GetName(), "lower");
}

TEST_F(ContentLoading, HostileFilesLoadWhatIsNotBroken)
{
    struct Case
    {
        const char* name;
        std::string text;
        int markers;
        int objects;
    };
    const std::string good = scene.Marker(0, "good") + ContentScene::Entity("ok", "NONE", "good");
    const Case cases[] = {
        {"unclosed marker block", "<VEXA_MARKER>\n    <FILE> " + scene.Frames().PatternFile(1) + "\n" + good, 2, 1},
        {"unclosed entity", ContentScene::Entity("ok", "NONE", "good").substr(0, 40) + "\n" + good, 1, 2},
        {"numbers that are not numbers",
         "<VEXA_MARKER>\n    <FILE> " + scene.Frames().PatternFile(2) + "\n    <SIZE> wide\n    <CENTER> x y\n"
         "</VEXA_MARKER>\n" + good, 2, 1},
        {"empty file", "", 0, 0},
        {"binary junk", std::string("\x01\x02<VEXA_MARKER\xff\n\0\0", 18) + good, 1, 1},
    };
    for (const Case& c : cases)
    {
        TestFolder caseFolder;
        ScopedCurrentFolder inCase(caseFolder.Path());
        ContentScene caseScene(caseFolder);
        caseScene.Load({{"models/case.dat", c.text}});
        EXPECT_EQ(caseScene.Manager().GetNumTrackedMarkers(), c.markers) << c.name;
        EXPECT_EQ(caseScene.Manager().GetNumObjects(), c.objects) << c.name;
    }
}

TEST_F(ContentLoading, AMissingDataFileIsPassedOver)
{
    TestFolder::WriteFile(folder / "models/b.dat", scene.Marker(1, "later"));
    TestFolder::WriteFile(folder / "Data/dataList.dat",
                          "<DAT>\n<ASSET_FILE> models/none.dat\n<ASSET_FILE> models/b.dat\n</DAT>\n");
    scene.Manager().SetCameraParamFile(scene.Frames().CameraFile());
    ::testing::internal::CaptureStdout();
    scene.Manager().InitNewTricks(0, "models", 640, 480, 800, 600, nullptr, "Data/dataList.dat", false);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Error: Failed to load models/none.dat\n");
    ASSERT_EQ(scene.Manager().GetNumTrackedMarkers(), 1);
    EXPECT_EQ(scene.Manager().GetTrackedMarker(0)->GetName(), "later");
}

TEST_F(ContentLoading, TenThousandObjectsInOneFile)
{
    std::string text;
    for (int i = 0; i < 10000; ++i) text += ContentScene::Entity("object" + std::to_string(i), "many");
    scene.Load({{"models/many.dat", text}});
    EXPECT_EQ(scene.Manager().GetNumObjects(), 10000);
    EXPECT_EQ(scene.Manager().GetObject(9999)->GetId(), 9999);
}

TEST_F(ContentLoading, AMissingContentListLoadsNothingAndStillCompletes)
{
    scene.Manager().SetCameraParamFile(scene.Frames().CameraFile());
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(scene.Manager().InitNewTricks(0, "models", 640, 480, 800, 600, nullptr, "Data/none.dat", false), 1);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Error: Failed to load Data/none.dat\n");
    EXPECT_EQ(scene.Manager().GetNumTrackedMarkers(), 0);
}
}
