// The engine settings file: what each tag does when read, and the exact text
// written back.
#include "CVexaBox.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace
{
const char* const kDefaultFile =
    "<VEXA_SETTINGS> \n"
    "    <CAMERA_PARAM> Data/camera_para.dat \n"
    "    <IMAGEPROC_MODE> 0 \n"
    "    <LABELING_MODE> 0 \n"
    "    <DETECTION_MODE> 0 \n"
    "    <MAX_LOOP_COUNT> 10 \n"
    "    <LOOP_BREAK_THRESHOLD> 0.1 \n"
    "    <LOOP_BREAK_THRESH_RATIO> 0.99 \n"
    "    <THRESHOLD> 90 \n"
    "    <USING_AUTO> 0 \n"
    "    <AUTO_STEPS> 4 \n"
    "    <AUTOSTEP_SIZE> 5 \n"
    "    <MASTER_CONF> 0.8 \n"
    "    <SHADOWMAP_RES> 1024 \n"
    "    <CLEAR_COLOR> 0.5 0.5 0.6 1 \n"
    "    <CAPTURE_COUNT> 0 \n"
    "    <CAPTURE_NEW_ON> 0 \n"
    "    <ROTATE_SETTINGS> 0 \n"
    "    <SHOW_MOUSE> 0 \n"
    "    <ADAPTIVE_THRESHOLD> 1 \n"
    "</VEXA_SETTINGS> \n";

class EngineSettings : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::mkdir((folder / "Data").c_str(), 0755);
        box.SetSettingsPath(path);
    }
    void Write(const std::string& text) { TestFolder::WriteFile(path, text); }
    SquareTracker& Tracker() { return *box.GetObjectManager()->GetTracker(); }

    TestFolder folder;
    ScopedCurrentFolder inFolder{folder.Path()};
    std::string path = folder / "Data/VexaSettings.tsf";
    CVexaBox box;
};

TEST_F(EngineSettings, AMissingFileIsWrittenWithTheCurrentValues)
{
    ::testing::internal::CaptureStdout();
    box.ReadSettings();
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(TestFolder::ReadFile(path), kDefaultFile);
}

TEST_F(EngineSettings, AFileWithoutTheRootBlockIsRewritten)
{
    Write("<THRESHOLD> 120\n");
    box.ReadSettings();
    EXPECT_EQ(Tracker().getUserThreshold(), 90);
    EXPECT_EQ(TestFolder::ReadFile(path), kDefaultFile);
}

TEST_F(EngineSettings, ThresholdLineWithCommaDollarBlankAndCommentLines)
{
    Write("# engine settings\n"
          "<VEXA_SETTINGS>\n"
          "\n"
          "    <THRESHOLD> 120, 5\n"
          "    # <THRESHOLD> 10\n"
          "    <AUTO_STEPS> 7 # seven\n"
          "$\n"
          "    <AUTOSTEP_SIZE> 9\n"
          "</VEXA_SETTINGS>\n");
    box.ReadSettings();
    EXPECT_EQ(Tracker().getUserThreshold(), 120);
    EXPECT_EQ(Tracker().getMaxAutoSteps(), 7);
    EXPECT_EQ(Tracker().getAutoStepSize(), 5);  // after "$": not read
}

TEST_F(EngineSettings, EachTagTakesEffectAsDocumented)
{
    Write("<VEXA_SETTINGS>\n"
          "<IMAGEPROC_MODE> 1\n<LABELING_MODE> 1\n<DETECTION_MODE> 2\n<MAX_LOOP_COUNT> 7\n"
          "<LOOP_BREAK_THRESHOLD> 0.25\n<LOOP_BREAK_THRESH_RATIO> 0.5\n<THRESHOLD> 300\n<USING_AUTO> 2\n"
          "<AUTO_STEPS> 25\n<AUTOSTEP_SIZE> -3\n<MASTER_CONF> 0.65\n<CLEAR_COLOR> 0.1 0.2 0.3 0.4\n"
          "<CAPTURE_COUNT> 17\n<CAPTURE_NEW_ON> 2\n<ROTATE_SETTINGS> 3\n<SHOW_MOUSE> 5\n<threshold> 10\n"
          "<ADAPTIVE_THRESHOLD> 0\n"
          "</VEXA_SETTINGS>\n");
    box.ReadSettings();
    EXPECT_EQ(Tracker().getImageProcMode(), 1);
    EXPECT_EQ(Tracker().GetLabelingMode(), 1);
    EXPECT_EQ(box.GetObjectManager()->GetPatternDetectionMode(), 2);
    EXPECT_EQ(Tracker().GetMaxLoopCount(), 7);
    EXPECT_DOUBLE_EQ(Tracker().GetLoopBreakThreshold(), 0.25);
    EXPECT_DOUBLE_EQ(Tracker().GetLoopBreakThreshRatio(), 0.5);
    EXPECT_EQ(Tracker().getUserThreshold(), 255);   // clamped; the lower-case tag is not a tag
    EXPECT_FALSE(Tracker().getUseAuto());           // only exactly 1 switches it on
    EXPECT_EQ(Tracker().getMaxAutoSteps(), 20);     // clamped to 0..20
    EXPECT_EQ(Tracker().getAutoStepSize(), 0);
    EXPECT_FLOAT_EQ(Tracker().GetTol(), 0.65f);
    EXPECT_EQ(box.GetClearColor(), osg::Vec4f(0.1f, 0.2f, 0.3f, 0.4f));
    EXPECT_EQ(box.GetCaptureCount(), 17);
    EXPECT_TRUE(box.GetCaptureNewOn());
    EXPECT_TRUE(box.GetRotateSettings());
    EXPECT_TRUE(box.GetShowMouse());
    EXPECT_FALSE(Tracker().GetAdaptiveThreshold());  // on by default
}

TEST_F(EngineSettings, InitSettingsReadOnlyTheirOwnTags)
{
    Write("<VEXA_SETTINGS>\n<CAMERA_PARAM> Data\\cam.dat\n<CAMERA_CONFIG> Data/camera.cfg\n"
          "<SHADOWMAP_RES> 2048\n<THRESHOLD> 120\n</VEXA_SETTINGS>\n");
    box.ReadInitSettings();
    EXPECT_EQ(box.GetObjectManager()->GetCameraParamFile(), "Data/cam.dat");
    EXPECT_EQ(box.GetCameraConfig(), "Data/camera.cfg");
    EXPECT_EQ(box.GetShadowMapResolution(), 2048);
    EXPECT_EQ(Tracker().getUserThreshold(), 90);

    // The late read ignores them.
    box.GetObjectManager()->SetCameraParamFile("Data/other.dat");
    box.ReadSettings();
    EXPECT_EQ(box.GetObjectManager()->GetCameraParamFile(), "Data/other.dat");
    EXPECT_EQ(Tracker().getUserThreshold(), 120);
}

TEST_F(EngineSettings, OptionalLinesAreWrittenOnlyWhenSet)
{
    Write("<VEXA_SETTINGS>\n<CAMERA_CONFIG> Data/camera.cfg\n<USE_SCREEN_SAVER> Videos/saver.avi\n"
          "<SCREEN_SAVER_TIMEOUT> 12.5\n<STATIC_TOOLBAR> TOOLS\n<STATIC_TOOLBAR> OTHER\n<SETTINGS_MENU>\n"
          "</VEXA_SETTINGS>\n");
    box.ReadInitSettings();
    box.ReadSettings();
    box.WriteSettings();
    const std::string text = TestFolder::ReadFile(path);
    EXPECT_NE(text.find("    <CAMERA_PARAM> Data/camera_para.dat \n    <CAMERA_CONFIG> Data/camera.cfg \n"),
              std::string::npos);
    EXPECT_NE(text.find("    <ROTATE_SETTINGS> 0 \n"
                        "    <USE_SCREEN_SAVER> Videos/saver.avi \n"
                        "    <SCREEN_SAVER_TIMEOUT> 12.5 \n"
                        "    <STATIC_TOOLBAR> TOOLS \n"
                        "    <SETTINGS_MENU> 1 \n"
                        "    <SHOW_MOUSE> 0 \n"
                        "    <ADAPTIVE_THRESHOLD> 1 \n"),
              std::string::npos)
        << text;
}

TEST_F(EngineSettings, WrittenValuesReadBackUnchanged)
{
    Write("<VEXA_SETTINGS>\n<THRESHOLD> 133\n<USING_AUTO> 1\n<MASTER_CONF> 0.75\n"
          "<CLEAR_COLOR> 0 0.25 1 1\n<CAPTURE_COUNT> 4\n</VEXA_SETTINGS>\n");
    box.ReadSettings();
    box.WriteSettings();
    const std::string first = TestFolder::ReadFile(path);
    CVexaBox second;
    second.SetSettingsPath(path);
    second.ReadSettings();
    second.WriteSettings();
    EXPECT_EQ(TestFolder::ReadFile(path), first);
    EXPECT_NE(first.find("    <THRESHOLD> 133 \n    <USING_AUTO> 1 \n"), std::string::npos);
}

TEST_F(EngineSettings, AFailedWriteKeepsTheOldFile)
{
    const std::string old = "<VEXA_SETTINGS>\n<THRESHOLD> 120\n</VEXA_SETTINGS>\n";
    Write(old);
    TestFolder::MakeDiskFullFor(path);
    box.WriteSettings();
    EXPECT_EQ(TestFolder::ReadFile(path), old);
    // The next write, with room on the disk, replaces it.
    std::remove((path + ".tmp~").c_str());
    box.WriteSettings();
    EXPECT_EQ(TestFolder::ReadFile(path), kDefaultFile);
}
}
