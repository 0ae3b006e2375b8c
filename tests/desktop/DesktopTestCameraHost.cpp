// VexamarkMFC with the test camera in place of the system's cameras: a
// camera "Test Camera" (YUYV 640x480 and 320x240, MJPG 1280x720) showing a
// steady picture, with the test camera's controls, and the stable link
// "usb-Test_Camera-video-index0" in the folder named by
// VEXAMARK_TEST_BY_ID (when set). The rest is the real program.
#include "CDSUtils.h"
#include "CVexamarkMFCApp.h"
#include "TestCamera.h"

#include <cstdlib>
#include <filesystem>

using namespace vexa::media;
using namespace vexa::media::testing;

namespace
{
std::shared_ptr<FakeVideoSystem> testCameras()
{
    auto system = std::make_shared<FakeVideoSystem>();
    std::shared_ptr<FakeCamera> camera = system->addTypicalCamera("/dev/video0", "Test Camera");
    camera->steadyFrame = yuyvTopBrightFrame(640, 480);
    camera->controls = TestCameraControls();
    return system;
}
}

int main(int argc, char** argv)
{
    CDSUtils::SetDeviceFactory(testCameras());
    if (const char* folder = std::getenv("VEXAMARK_TEST_BY_ID"))
    {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        std::filesystem::create_symlink("/dev/video0", std::string(folder) + "/usb-Test_Camera-video-index0", error);
        CDSUtils::SetStableNameFolder(folder);
    }
    return CVexamarkMFCApp::Run(argc, argv);
}
