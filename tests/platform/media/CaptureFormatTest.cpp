#include "CaptureDeviceEnumerator.h"
#include "CaptureFormat.h"
#include "FakeVideoDevice.h"
#include "FakeVideoSystem.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace vexa {
namespace media {
namespace {

using testing::FakeVideoSystem;

TEST(CaptureFormat, NamesUseWholeRatesUnlessTheFractionIsAboveOneHundredth) {
    struct Case { long w, h; VideoFrameInterval interval; int bits; const char* name; };
    const Case cases[] = {
        {640, 480, {1, 30}, 24, "640x480 30 24-bit"},
        {640, 480, {1001, 30000}, 24, "640x480 29.97 24-bit"},
        {320, 240, {2, 15}, 16, "320x240 7.50 16-bit"},
        {1280, 720, {1, 15}, 16, "1280x720 15 16-bit"},
        {1920, 1080, {1, 60}, 24, "1920x1080 60 24-bit"},
        {800, 600, {1, 24}, 32, "800x600 24 32-bit"},
        {160, 120, {0, 0}, 8, "160x120 0 8-bit"},    // device gives no rate
        {160, 120, {1, 0}, 8, "160x120 0 8-bit"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.name, CaptureFormat::makeName(c.w, c.h, CaptureFormat::framesPerSecond(c.interval), c.bits));
    }
    EXPECT_EQ("640x480 30 24-bit", CaptureFormat::makeName(640, 480, 30.005, 24));
    EXPECT_EQ("640x480 30.02 24-bit", CaptureFormat::makeName(640, 480, 30.02, 24));
}

TEST(CaptureFormat, BitsOfNativeFormats) {
    EXPECT_EQ(16, CaptureFormat::bitsForPixelFormat(fourcc('Y', 'U', 'Y', 'V')));
    EXPECT_EQ(24, CaptureFormat::bitsForPixelFormat(fourcc('M', 'J', 'P', 'G')));
    EXPECT_EQ(24, CaptureFormat::bitsForPixelFormat(fourcc('R', 'G', 'B', '3')));
    EXPECT_EQ(24, CaptureFormat::bitsForPixelFormat(fourcc('B', 'G', 'R', '3')));
    EXPECT_EQ(32, CaptureFormat::bitsForPixelFormat(fourcc('B', 'G', 'R', '4')));
    EXPECT_EQ(32, CaptureFormat::bitsForPixelFormat(fourcc('R', 'G', 'B', '4')));
    EXPECT_EQ(8, CaptureFormat::bitsForPixelFormat(fourcc('G', 'R', 'E', 'Y')));
}

TEST(CaptureFormat, ListsNativeTriplesInDeviceOrderAndFindsTheCurrentOne) {
    FakeVideoSystem sys;
    auto cam = sys.addCamera("/dev/video0", "Cam");
    cam->addFormat(fourcc('Y', 'U', 'Y', 'V'), {{640, 480}, {320, 240}}, {{1, 30}, {1, 15}});
    cam->addFormat(fourcc('M', 'J', 'P', 'G'), {{1280, 720}}, {{1001, 30000}});
    cam->addFormat(fourcc('G', 'R', 'E', 'Y'), {{160, 120}}, {});        // no intervals listed
    cam->addFormat(fourcc('B', 'G', 'R', '3'), {{640, 480}}, {{1, 30}});
    cam->formats.back().emulated = true;                                  // libv4l2's, not the device's
    cam->current = {fourcc('Y', 'U', 'Y', 'V'), 320, 240, 640, 0};
    cam->currentInterval = {1, 15};
    auto dev = sys.createDevice();
    ASSERT_EQ(0, dev->open("/dev/video0"));
    std::vector<CaptureFormat> list;
    int current = -1;
    ASSERT_EQ(0, CaptureFormat::listFormats(*dev, list, current));
    std::vector<std::string> names;
    for (const auto& f : list) names.push_back(f.name);
    EXPECT_EQ((std::vector<std::string>{"640x480 30 16-bit", "640x480 15 16-bit", "320x240 30 16-bit",
                                        "320x240 15 16-bit", "1280x720 29.97 24-bit", "160x120 0 8-bit"}),
              names);
    EXPECT_EQ(3, current);
    cam->currentInterval = {0, 0};  // rate unknown: first entry of the current size
    ASSERT_EQ(0, CaptureFormat::listFormats(*dev, list, current));
    EXPECT_EQ(2, current);
    cam->current = {fourcc('N', 'V', '1', '2'), 999, 999, 0, 0};  // nothing matches
    ASSERT_EQ(0, CaptureFormat::listFormats(*dev, list, current));
    EXPECT_EQ(0, current);
}

TEST(CaptureDeviceEnumerator, CaptureNodesOnlyWithUniqueNamesInOrder) {
    FakeVideoSystem sys;
    sys.addTypicalCamera("/dev/video0", "USB Camera");
    sys.addTypicalCamera("/dev/video1", "USB Camera")->capability.deviceCaps = 0x00800000;  // metadata node
    sys.addTypicalCamera("/dev/video2", "USB Camera");
    sys.addTypicalCamera("/dev/video3", "Busy Cam")->errors["open"] = {EBUSY};
    sys.addTypicalCamera("/dev/video4", "Laptop Cam");
    sys.addTypicalCamera("/dev/video5", "USB Camera");
    std::vector<std::string> log;
    const auto entries = CaptureDeviceEnumerator::enumerate(sys, [&](const std::string& m) { log.push_back(m); });
    ASSERT_EQ(4u, entries.size());
    EXPECT_EQ("USB Camera", entries[0].friendlyName);
    EXPECT_EQ("/dev/video0", entries[0].path);
    EXPECT_EQ("USB Camera #2", entries[1].friendlyName);
    EXPECT_EQ("/dev/video2", entries[1].path);
    EXPECT_EQ("Laptop Cam", entries[2].friendlyName);
    EXPECT_EQ("USB Camera #3", entries[3].friendlyName);
    EXPECT_EQ((std::vector<std::string>{"camera '/dev/video3' cannot be opened: Device or resource busy"}), log);
    // Every node opened for the scan was closed again.
    EXPECT_EQ(sys.find("/dev/video0")->opens, sys.find("/dev/video0")->closes);
}

TEST(CaptureDeviceEnumerator, NoDevicesGivesEmptyList) {
    FakeVideoSystem sys;
    EXPECT_TRUE(CaptureDeviceEnumerator::enumerate(sys).empty());
}

}  // namespace
}  // namespace media
}  // namespace vexa
