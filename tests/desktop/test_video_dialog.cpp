// The video settings dialog against the engine's camera stream on the test
// camera: what it shows on opening, the flips applied at once, and Apply's
// rules (the settings file always written, the notice only for changes that
// wait for the next start).
#include "CVideoSettingsDialog.h"

#include "CDSUtils.h"
#include "DSCaptureStream.h"
#include "TestCamera.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include <gtest/gtest.h>

#include <filesystem>

using namespace vexa::media::testing;

namespace
{
const char* const kSettings = "Data/DSVideoSetings.dat";
const char* const kRestart = "Some of your settings will take effect the next time you run the application";

std::vector<std::string> Entries(const QComboBox* list)
{
    std::vector<std::string> entries;
    for (int i = 0; i < list->count(); ++i) entries.push_back(list->itemText(i).toStdString());
    return entries;
}

class VideoDialog : public CameraFolderTest
{
protected:
    void SetUp() override
    {
        CameraFolderTest::SetUp();
        system->addTypicalCamera("/dev/video0", "Cam A");
        system->addTypicalCamera("/dev/video1", "Cam B");
        std::filesystem::create_symlink("/dev/video1", folder / "by-id/usb-Maker_Cam_B-video-index0");
        TestFolder::WriteFile(folder / kSettings,
                              "<VEXA_DSHOWVIDEO_SETTINGS>\n<DEVICE_NAME> Cam A\n<FORMAT_NAME> 320x240 30 16-bit\n"
                              "<VERT_FLIP> 1\n<HORI_FLIP> 0\n<DEINTERLACE> 0\n</VEXA_DSHOWVIDEO_SETTINGS>\n");
        stream = new DSCaptureStream(false, false);
        ASSERT_TRUE(stream->isValid());
    }
    void TearDown() override
    {
        stream = nullptr;
        CameraFolderTest::TearDown();
    }
    std::string Settings() const { return TestFolder::ReadFile(folder / kSettings); }

    osg::ref_ptr<DSCaptureStream> stream;
};
}

TEST_F(VideoDialog, OpensOnTheStreamsDeviceFormatAndSwitches)
{
    CVideoSettingsDialog dialog(stream.get());
    // Cameras by name, with the stable link where the system has one.
    const std::string stable = folder / "by-id/usb-Maker_Cam_B-video-index0";
    EXPECT_EQ(Entries(dialog.DeviceList()), (std::vector<std::string>{"Cam A", "Cam B  (" + stable + ")"}));
    EXPECT_EQ(dialog.DeviceList()->currentIndex(), 0);
    EXPECT_EQ(Entries(dialog.FormatList()),
              (std::vector<std::string>{"640x480 30 16-bit", "320x240 30 16-bit", "1280x720 30 24-bit"}));
    EXPECT_EQ(dialog.FormatList()->currentIndex(), 1);
    EXPECT_EQ(dialog.DeviceList()->maxVisibleItems(), 4);
    EXPECT_EQ(dialog.FormatList()->maxVisibleItems(), 4);
    EXPECT_EQ(dialog.DeviceLabel()->text().toStdString(), "Cam A");
    EXPECT_EQ(dialog.FormatLabel()->text().toStdString(), "320x240 30 16-bit");
    EXPECT_TRUE(dialog.FlipVertical()->isChecked());
    EXPECT_FALSE(dialog.FlipHorizontal()->isChecked());
    EXPECT_FALSE(dialog.DeInterlace()->isChecked());
    EXPECT_EQ(dialog.NoticeLabel()->text().toStdString(), "");
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Video Settings");
}

TEST_F(VideoDialog, FlipsApplyAtOnceWithoutNotice)
{
    CVideoSettingsDialog dialog(stream.get());
    dialog.FlipVertical()->setChecked(false);
    dialog.FlipHorizontal()->setChecked(true);
    EXPECT_FALSE(stream->GetVFlip());
    EXPECT_TRUE(stream->GetHFlip());
    dialog.OnApply();
    EXPECT_FALSE(dialog.RestartNotice());
    EXPECT_NE(Settings().find("<VERT_FLIP> 0"), std::string::npos) << Settings();
    EXPECT_NE(Settings().find("<HORI_FLIP> 1"), std::string::npos) << Settings();
}

TEST_F(VideoDialog, ApplyRules)
{
    struct Case
    {
        const char* what;
        int device, format;  // indices to select, -1: nothing selected
        bool deInterlace;
        bool notice;
        const char* savedDevice;
        const char* savedFormat;
    };
    const Case cases[] = {
        {"nothing changed: saved, no notice", 0, 1, false, false, "Cam A", "320x240 30 16-bit"},
        {"another format", 0, 2, false, true, "Cam A", "1280x720 30 24-bit"},
        {"another camera", 1, 1, false, true, "Cam B", "320x240 30 16-bit"},
        {"de-interlacing", 0, 1, true, true, "Cam A", "320x240 30 16-bit"},
        {"no camera selected", -1, 1, false, true, "NONE", "320x240 30 16-bit"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        stream->SetCurrentDeviceName("Cam A");
        stream->SetCurrentFormat(1);
        stream->SetDeInterlace(false);
        CVideoSettingsDialog dialog(stream.get());
        std::filesystem::remove(folder / kSettings);
        dialog.DeviceList()->setCurrentIndex(c.device);
        dialog.FormatList()->setCurrentIndex(c.format);
        dialog.DeInterlace()->setChecked(c.deInterlace);
        dialog.OnApply();
        EXPECT_EQ(dialog.RestartNotice(), c.notice);
        EXPECT_EQ(dialog.NoticeLabel()->text().toStdString(), c.notice ? kRestart : "");
        const std::string saved = Settings();
        EXPECT_NE(saved.find(std::string("<DEVICE_NAME> ") + c.savedDevice + " \n"), std::string::npos) << saved;
        EXPECT_NE(saved.find(std::string("<FORMAT_NAME> ") + c.savedFormat + " \n"), std::string::npos) << saved;
        EXPECT_NE(saved.find(std::string("<DEINTERLACE> ") + (c.deInterlace ? "1" : "0")), std::string::npos) << saved;
    }
}

TEST_F(VideoDialog, ASettingsFileThatCannotBeWrittenIsSaidAndTheOldOneKept)
{
    CVideoSettingsDialog dialog(stream.get());
    const std::string before = Settings();
    TestFolder::MakeDiskFullFor(folder / kSettings);
    dialog.FormatList()->setCurrentIndex(0);
    ::testing::internal::CaptureStderr();
    dialog.OnApply();
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("Video Settings: Your settings could not be saved: Data/DSVideoSetings.dat cannot be written"),
              std::string::npos)
        << said;
    EXPECT_EQ(Settings(), before);
}
