// The real libv4l2 backend on what every machine has: missing nodes and nodes that
// are not cameras. (No camera is attached on the build machines.)
#include "CaptureDeviceEnumerator.h"
#include "TestClips.h"
#include "V4l2CaptureSession.h"
#include "V4l2Device.h"
#include "V4l2DeviceFactory.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>

namespace vexa {
namespace media {
namespace {

TEST(V4l2DeviceFactory, ListsVideoNodesInNumberOrder) {
    const std::string dir = testing::makeTempDir("dev");
    for (const char* name : {"video10", "video2", "video0", "videoX", "vbi0", "video"}) std::ofstream(dir + "/" + name);
    V4l2DeviceFactory factory(dir);
    EXPECT_EQ((std::vector<std::string>{dir + "/video0", dir + "/video2", dir + "/video10"}), factory.devicePaths());
    // None of them is a camera: the scan finds no capture device and says nothing.
    std::vector<std::string> log;
    EXPECT_TRUE(CaptureDeviceEnumerator::enumerate(factory, [&](const std::string& m) { log.push_back(m); }).empty());
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(V4l2DeviceFactory(dir + "/absent").devicePaths().empty());
}

TEST(V4l2Device, ErrorsOfMissingAndNonCameraNodes) {
    V4l2Device device;
    EXPECT_EQ(ENOENT, device.open("/nonexistent/video0"));
    EXPECT_FALSE(device.isOpen());
    VideoCapability cap;
    EXPECT_EQ(EBADF, device.queryCapability(cap));
    EXPECT_EQ(EBADF, device.waitForFrame(10));
    EXPECT_EQ(ENOTTY, device.open("/dev/null"));  // libv4l2 takes only V4L2 nodes
    EXPECT_FALSE(device.isOpen());
    uint32_t count = 4;
    EXPECT_EQ(EBADF, device.requestBuffers(count));
    device.close();
    device.close();
    EXPECT_FALSE(device.isOpen());
}

TEST(V4l2Device, SessionOnANonCameraNodeSaysWhatItIs) {
    std::vector<std::string> log;
    V4l2CaptureSession session(std::make_unique<V4l2Device>(), [&](const std::string& m) { log.push_back(m); });
    EXPECT_FALSE(session.open("/dev/null"));
    EXPECT_FALSE(session.open("/dev/video-none"));
    EXPECT_EQ((std::vector<std::string>{"camera '/dev/null' is not a streaming video capture device",
                                        "camera '/dev/video-none' not found"}),
              log);
    EXPECT_FALSE(session.isOpen());
}

}  // namespace
}  // namespace media
}  // namespace vexa
