// The program's dialogs opened from its menus with the keyboard, on the test
// camera and the null sound device: each shows (screenshot not blank), and
// the sound and camera choices are saved to their settings files.
#include "DesktopProgram.h"

#include <chrono>
#include <filesystem>
#include <thread>

namespace
{
class DesktopDialogs : public DesktopProgram
{
protected:
    // Opens a menu with Alt+`menu` and picks the item with `item`.
    void Menu(const char* menu, const char* item)
    {
        x.PointInto(main, 0.3);
        x.Chord(std::string("Alt+") + menu);
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        x.Key(item);
    }
};
}

TEST_F(DesktopDialogs, SoundAndCameraChoicesAreSavedAndEachDialogShows)
{
    Start(VEXAMARK_CAMERA_HOST_PATH, {});
    EXPECT_TRUE(ScreenshotNotBlank(main, "camera-main-window"));

    // Tools > Audio Settings...: the last entry applied is saved for the next start.
    Menu("t", "a");
    const Window sound = WaitForWindow("Sound Settings");
    ASSERT_NE(sound, 0u) << program->StandardError();
    EXPECT_TRUE(ScreenshotNotBlank(sound, "sound-settings"));
    x.PointInto(sound, 0.3);
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
    const Window video = WaitForWindow("Video Settings");
    ASSERT_NE(video, 0u) << program->StandardError();
    EXPECT_TRUE(ScreenshotNotBlank(video, "video-settings"));
    x.PointInto(video, 0.3);
    x.Chord("Alt+a");
    EXPECT_TRUE(WaitUntil(20.0, [&]() { return TestFolder::Exists(cameraSettings); }));
    const std::string saved = TestFolder::ReadFile(cameraSettings);
    EXPECT_NE(saved.find("<DEVICE_NAME> Test Camera \n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<DEVICE_ID> " + folder / "by-id/usb-Test_Camera-video-index0"), std::string::npos) << saved;

    // Properties: the camera's controls.
    x.Chord("Alt+p");
    const Window properties = WaitForWindow("Camera Properties");
    ASSERT_NE(properties, 0u);
    EXPECT_TRUE(ScreenshotNotBlank(properties, "camera-properties"));
    x.PointInto(properties, 0.3);
    x.Key("Escape");
    EXPECT_TRUE(WaitForWindowGone("Camera Properties"));
    x.PointInto(video, 0.3);
    x.Key("Escape");
    EXPECT_TRUE(WaitForWindowGone("Video Settings"));

    // Help > About, and the Quick Start Guide.
    Menu("h", "a");
    const Window about = WaitForWindow("About VexamarkMFC");
    ASSERT_NE(about, 0u);
    EXPECT_TRUE(ScreenshotNotBlank(about, "about"));
    x.PointInto(about, 0.3);
    x.Key("Return");
    EXPECT_TRUE(WaitForWindowGone("About VexamarkMFC"));
    Menu("h", "q");
    EXPECT_TRUE(WaitUntil(20.0, [&]() {
        return Opened().find("open file://" + folder.Path() + "/Help%20Documents/Quick%20Start%20Guide.html\n") !=
               std::string::npos;
    })) << Opened();

    // Capture > View Pictures: the captures folder.
    Menu("c", "v");
    EXPECT_TRUE(WaitUntil(20.0, [&]() {
        return Opened().find("open file://" + folder.Path() + "/captures\n") != std::string::npos;
    })) << Opened();

    x.RequestClose(main);
    EXPECT_EQ(WaitForExit(), 0) << program->StandardError();
}
