// The program's dialogs opened from its menus with the keyboard, on the test
// camera and the null sound device: each shows (screenshot not blank), and
// the sound and camera choices are saved to their settings files.
#include "DesktopProgram.h"

#include <filesystem>

namespace
{
class DesktopDialogs : public DesktopProgram
{
};
}

TEST_F(DesktopDialogs, SoundAndCameraChoicesAreSavedAndEachDialogShows)
{
    Start(VEXAMARK_CAMERA_HOST_PATH, {});
    EXPECT_TRUE(ScreenshotNotBlank(main, "camera-main-window"));

    // Tools > Audio Settings...: the last entry applied is saved for the next start.
    Menu("t", "a");
    ASSERT_NE(Dialog("Sound Settings", "sound-settings"), 0u) << program->StandardError();
    x.Key("End");
    x.Chord("Alt+a");
    EXPECT_TRUE(WaitUntil(20.0, [&]() {
        return TestFolder::ReadFile(folder / "Data/soundSettings.dat").find("DirectSound") != std::string::npos;
    })) << TestFolder::ReadFile(folder / "Data/soundSettings.dat");
    x.Key("Escape");
    EXPECT_TRUE(WaitForWindowGone("Sound Settings"));

    // Tools > Camera Settings...: Apply writes the camera settings with the camera's stable name.
    const std::string cameraSettings = folder / "Data/DSVideoSetings.dat";
    std::filesystem::remove(cameraSettings);
    Menu("t", "c");
    const Window video = Dialog("Video Settings", "video-settings");
    ASSERT_NE(video, 0u) << program->StandardError();
    x.Chord("Alt+a");
    EXPECT_TRUE(WaitUntil(20.0, [&]() { return TestFolder::Exists(cameraSettings); }));
    const std::string saved = TestFolder::ReadFile(cameraSettings);
    EXPECT_NE(saved.find("<DEVICE_NAME> Test Camera \n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<DEVICE_ID> " + folder / "by-id/usb-Test_Camera-video-index0"), std::string::npos) << saved;

    // Properties: the camera's controls.
    x.Chord("Alt+p");
    ASSERT_NE(Dialog("Camera Properties", "camera-properties"), 0u);
    x.Key("Escape");
    EXPECT_TRUE(WaitForWindowGone("Camera Properties"));
    x.PointInto(video, 0.3);
    x.Key("Escape");
    EXPECT_TRUE(WaitForWindowGone("Video Settings"));

    // Help > About, and the Quick Start Guide.
    Menu("h", "a");
    ASSERT_NE(Dialog("About VexamarkMFC", "about"), 0u);
    x.Key("Return");
    EXPECT_TRUE(WaitForWindowGone("About VexamarkMFC"));
    Menu("h", "q");
    EXPECT_TRUE(WaitForOpened("open file://" + folder.Path() + "/Help%20Documents/Quick%20Start%20Guide.html"))
        << Opened();

    // Capture > View Pictures: the captures folder.
    Menu("c", "v");
    EXPECT_TRUE(WaitForOpened("open file://" + folder.Path() + "/captures")) << Opened();

    x.RequestClose(main);
    EXPECT_EQ(WaitForExit(), 0) << program->StandardError();
}
