#include "TestCamera.h"

#include "CDSUtils.h"

#include <linux/videodev2.h>

#include <filesystem>

using vexa::media::VideoControl;

namespace
{
VideoControl control(uint32_t id, const char* name, uint32_t type, int32_t min, int32_t max, int32_t def,
                     int32_t value)
{
    VideoControl c;
    c.id = id;
    c.name = name;
    c.type = type;
    c.minimum = min;
    c.maximum = max;
    c.defaultValue = def;
    c.value = value;
    return c;
}
}

std::vector<VideoControl> TestCameraControls()
{
    VideoControl powerLine = control(V4L2_CID_POWER_LINE_FREQUENCY, "Power Line Frequency", V4L2_CTRL_TYPE_MENU, 0,
                                     2, 1, 1);
    powerLine.menuItems = {{0, "Disabled"}, {1, "50 Hz"}, {2, "60 Hz"}};
    return {control(V4L2_CID_BRIGHTNESS, "Brightness", V4L2_CTRL_TYPE_INTEGER, -64, 64, 0, 10),
            control(V4L2_CID_AUTO_WHITE_BALANCE, "White Balance, Automatic", V4L2_CTRL_TYPE_BOOLEAN, 0, 1, 1, 1),
            powerLine};
}

void CameraFolderTest::SetUp()
{
    std::filesystem::create_directories(folder / "Data");
    std::filesystem::create_directories(folder / "by-id");
    CDSUtils::SetDeviceFactory(system);
    CDSUtils::SetStableNameFolder(folder / "by-id");
}

void CameraFolderTest::TearDown()
{
    CDSUtils::SetDeviceFactory(nullptr);
    CDSUtils::SetStableNameFolder("");
}
