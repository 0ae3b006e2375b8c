// VexamarkMFC with the test camera in place of the system's cameras: a
// camera "Test Camera" (YUYV 640x480 and 320x240, MJPG 1280x720) showing a
// steady picture, with a brightness slider, an automatic white balance
// switch and a power line menu, and the stable link
// "usb-Test_Camera-video-index0" in the folder named by
// VEXAMARK_TEST_BY_ID (when set). The rest is the real program.
#include "CDSUtils.h"
#include "CVexamarkMFCApp.h"
#include "FakeVideoSystem.h"

#include <linux/videodev2.h>

#include <cstdlib>
#include <filesystem>

using namespace vexa::media;
using namespace vexa::media::testing;

namespace
{
VideoControl control(uint32_t id, const char* name, uint32_t type, int32_t max, int32_t value)
{
    VideoControl c;
    c.id = id;
    c.name = name;
    c.type = type;
    c.maximum = max;
    c.defaultValue = value;
    c.value = value;
    return c;
}

std::shared_ptr<FakeVideoSystem> testCameras()
{
    auto system = std::make_shared<FakeVideoSystem>();
    std::shared_ptr<FakeCamera> camera = system->addTypicalCamera("/dev/video0", "Test Camera");
    camera->steadyFrame = yuyvTopBrightFrame(640, 480);
    VideoControl powerLine = control(V4L2_CID_POWER_LINE_FREQUENCY, "Power Line Frequency", V4L2_CTRL_TYPE_MENU, 2, 1);
    powerLine.menuItems = {{0, "Disabled"}, {1, "50 Hz"}, {2, "60 Hz"}};
    camera->controls = {control(V4L2_CID_BRIGHTNESS, "Brightness", V4L2_CTRL_TYPE_INTEGER, 255, 128),
                        control(V4L2_CID_AUTO_WHITE_BALANCE, "White Balance, Automatic", V4L2_CTRL_TYPE_BOOLEAN, 1, 1),
                        powerLine};
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
