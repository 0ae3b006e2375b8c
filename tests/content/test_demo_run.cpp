// The engine end to end on synthetic footage with known ground truth: content
// stands where its marker is, and the hider covers the printed border.
#include "CContentObject.h"
#include "CVexaBox.h"
#include "MyKeyboardMouseCallback.h"

#include "FootageTruth.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <osg/Geode>
#include <osg/ShapeDrawable>
#include <osgDB/ReadFile>
#include <osgDB/WriteFile>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace
{
using Truth = FootageTruth;

// Image position of a point given in the marker's frame (mm); fx = fy = 700,
// centred 640 x 480 camera, as the bundled camera file says.
osg::Vec2d project(const Truth& truth, const osg::Vec3d& p)
{
    double c[3];
    for (int i = 0; i < 3; ++i) c[i] = truth.r[i][0] * p.x() + truth.r[i][1] * p.y() + truth.r[i][2] * p.z() + truth.t[i];
    return osg::Vec2d(700.0 * c[0] / c[2] + 320.0, 700.0 * c[1] / c[2] + 240.0);
}

osg::Vec3d rgbAt(const osg::Image& image, const osg::Vec2d& imagePoint)
{
    // Captures are stored bottom-up: image row y is row (height - 1 - y).
    const int x = static_cast<int>(imagePoint.x());
    const int y = image.t() - 1 - static_cast<int>(imagePoint.y());
    const unsigned char* p = image.data(x, y);
    return osg::Vec3d(p[0], p[1], p[2]);
}

void writeRedBox(const std::string& path)
{
    osg::ref_ptr<osg::ShapeDrawable> box = new osg::ShapeDrawable(new osg::Box(osg::Vec3(0.f, 0.f, 15.f), 36.f));
    box->setColor(osg::Vec4(1.f, 0.f, 0.f, 1.f));
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->addDrawable(box.get());
    geode->getOrCreateStateSet()->setMode(GL_LIGHTING, osg::StateAttribute::OFF | osg::StateAttribute::PROTECTED);
    ASSERT_TRUE(osgDB::writeNodeFile(*geode, path));
}

class DemoRun : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* d = std::getenv("DISPLAY");
        if (!d || !*d) GTEST_SKIP() << "needs an X display";
        folder.CopyWorkingFolder();
        writeRedBox(folder / "models/redbox.osgt");
        std::string data;
        const char* names[4] = {"corvane", "glyph-f", "arrow", "sail"};
        for (const char* name : names)
        {
            data += std::string("<VEXA_MARKER>\n<FILE> Data/") + name + ".patt\n<SIZE> 80\n<NAME> " + name + "\n";
            if (std::string(name) == "corvane") data += "<GEN_GEOM> 1\n<USE_HIDER> 1\n<HIDER_SCALE> 1.2\n<FIN_SCALE> 0.6\n";
            data += "</VEXA_MARKER>\n";
            if (std::string(name) != "corvane")
                data += std::string("<ENTITY>\n<NAME> box-") + name + "\n<MARKER> " + name +
                        "\n<MODEL>\n<FILE> models/redbox.osgt\n</MODEL>\n</ENTITY>\n";
        }
        TestFolder::WriteFile(folder / "models/e2e.dat", data);
        TestFolder::WriteFile(folder / "Data/dataList.dat", "<DAT>\n<ASSET_FILE> models/e2e.dat\n</DAT>\n");
        truth = FootageTruth::Read(folder / "Videos/demo.csv");
        ASSERT_FALSE(truth.empty());
    }

    // Runs the engine frame-locked on the demo footage and captures the
    // rendering of video frame `frame`.
    osg::ref_ptr<osg::Image> CaptureFrame(int frame)
    {
        std::vector<std::string> args{"Vexamark_basic", "-FFMPEG", "-video:", "Videos/demo.mp4"};
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        ::testing::internal::CaptureStdout();
        box.Init(static_cast<int>(args.size()), argv.data(), "Data/dataList.dat", false, false, false, false);
        ::testing::internal::GetCapturedStdout();
        for (int i = 0; i < frame; ++i)
        {
            if (!box.Update(0.01f)) return nullptr;
            box.Render();
        }
        box.ToggleCapture();
        if (!box.Update(0.01f)) return nullptr;
        box.Render();  // draws video frame `frame` and captures it
        // A single capture on request shows the same frame.
        const std::string singlePath = CVexaBox::SingleCaptureName(box.GetCaptureCount());
        box.CaptureSingleFrame();
        single = osgDB::readRefImageFile(folder / singlePath);
        const std::string path = box.GetCapturePath() + "/frame0.jpg";
        box.CleanUp();
        return osgDB::readRefImageFile(path);
    }

    osg::ref_ptr<osg::Image> single;
    void CheckContentAndHider(const osg::Image& shot, int frame);

    TestFolder folder;
    ScopedCurrentFolder inFolder{folder.Path()};
    CVexaBox box;
    std::map<int, std::map<std::string, Truth>> truth;
};

TEST_F(DemoRun, ContentStandsOnItsMarkersAndTheHiderCoversThePrint)
{
    const int frame = 60;
    osg::ref_ptr<osg::Image> continuous = CaptureFrame(frame);
    ASSERT_TRUE(continuous.valid());
    ASSERT_TRUE(single.valid());
    for (osg::Image* shot : {continuous.get(), single.get()})
        CheckContentAndHider(*shot, frame);
}

void DemoRun::CheckContentAndHider(const osg::Image& image, int frame)
{
    const osg::Image* shot = &image;
    ASSERT_EQ(shot->s(), 640);
    int checked = 0;
    for (const char* name : {"glyph-f", "arrow", "sail"})
    {
        const Truth& t = truth[frame][name];
        if (!t.visible) continue;
        ++checked;
        // The middle of the box, 15 mm above the card's centre.
        const osg::Vec3d rgb = rgbAt(*shot, project(t, osg::Vec3d(0, 0, 15)));
        EXPECT_GT(rgb.x(), 150) << name << " " << rgb.x() << " " << rgb.y() << " " << rgb.z();
        EXPECT_LT(rgb.y(), 90) << name;
        EXPECT_LT(rgb.z(), 90) << name;
    }
    EXPECT_GE(checked, 2);
    // Inside the black border near each corner of the hidden marker the
    // picture is the table, not ink; on a marker without a hider it is ink.
    const osg::Vec3d inward[4] = {{-32, 32, 0}, {32, 32, 0}, {32, -32, 0}, {-32, -32, 0}};  // 8 mm inside the corner
    auto meanAt = [&](const Truth& t, const osg::Vec3d& p) {
        const osg::Vec3d rgb = rgbAt(*shot, project(t, p));
        return (rgb.x() + rgb.y() + rgb.z()) / 3.0;
    };
    const Truth& hidden = truth[frame]["corvane"];
    const Truth& printed = truth[frame]["glyph-f"];
    ASSERT_TRUE(hidden.visible && printed.visible);
    for (const osg::Vec3d& p : inward)
    {
        EXPECT_GT(meanAt(hidden, p), 60.0) << p.x() << "," << p.y();
        EXPECT_LT(meanAt(printed, p), 40.0) << p.x() << "," << p.y();
    }
}
}

namespace
{
TEST(DemoKeys, NumberKeysEditTheSelectedObjectAndF8SavesIt)
{
    const char* d = std::getenv("DISPLAY");
    if (!d || !*d) GTEST_SKIP() << "needs an X display";
    TestFolder folder;
    folder.CopyWorkingFolder();
    ScopedCurrentFolder inFolder(folder.Path());
    CVexaBox box;
    std::vector<std::string> args{"Vexamark_basic", "-FFMPEG", "-video:", "Videos/demo.mp4", "-keys"};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    ::testing::internal::CaptureStdout();
    box.Init(static_cast<int>(args.size()), argv.data(), "Data/dataList.dat", false, false, false, false);
    auto frame = [&]() {
        ASSERT_TRUE(box.Update(0.01f));
        box.Render();
    };
    for (int i = 0; i < 10; ++i) frame();
    CObjectManager* manager = box.GetObjectManager();
    ASSERT_NE(manager->GetSelectedMarker(), nullptr);
    // Select a marker that carries an object.
    for (int i = 0; i < 20 && !manager->GetSelectedObject(); ++i) frame();
    CContentObject* object = manager->GetSelectedObject();
    ASSERT_NE(object, nullptr);
    const double scale = object->GetScale();
    const osg::Vec3d t = object->GetTranslation();
    const double turn = object->GetRotation().z();
    box.GetKeyboardMouseCallback()->keyPress('8');
    box.GetKeyboardMouseCallback()->keyPress('9');
    box.GetKeyboardMouseCallback()->keyPress('6');
    frame();
    object = manager->GetSelectedObject();
    ASSERT_NE(object, nullptr);
    EXPECT_NEAR(object->GetScale(), scale * 1.1, 1e-9);
    EXPECT_NEAR(object->GetTranslation().y(), t.y() + 1.0, 1e-9);
    EXPECT_NEAR(object->GetRotation().z() - turn, 0.0872664625, 1e-9);
    ::setenv("VEXAMARK_SAVE_AS", (folder / "saved").c_str(), 1);
    box.GetKeyboardMouseCallback()->specialKeyPress(0xFFC5);  // F8
    frame();
    ::unsetenv("VEXAMARK_SAVE_AS");
    ::testing::internal::GetCapturedStdout();
    EXPECT_TRUE(TestFolder::Exists(folder / "saved.zep"));
    EXPECT_EQ(box.GetHud()->GetMessageText(), "Saved current object to dat file");
    box.CleanUp();
}
}
