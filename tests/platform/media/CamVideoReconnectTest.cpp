#include "CamVideoLibrary.h"
#include "Eventually.h"
#include "FakeVideoSystem.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vexa {
namespace media {
namespace {

using testing::FakeCamera;
using testing::FakeVideoSystem;
using testing::eventually;

// The library streaming a camera at 320x240; the test owns the clock, the
// library's watcher thread makes the attempts when the clock says one is due.
class CamVideoReconnectTest : public ::testing::Test {
protected:
    void SetUp() override {
        cam = system->addTypicalCamera("/dev/video0", "USB Camera");
        cam->steadyFrame = testing::yuyvTopBrightFrame(320, 240);
        lib = std::make_unique<CamVideoLibrary>(system, sink(), [this] { return now.load(); });
        ASSERT_EQ(0, lib->open("v4l2 /dev/video0 320x240"));
        ASSERT_EQ(0, lib->captureStart());
        ASSERT_TRUE(eventually([&] { return lib->image() != nullptr; }));
    }
    LogSink sink() {
        return [this](const std::string& m) {
            std::lock_guard<std::mutex> lock(mutex);
            lines.push_back(m);
        };
    }
    void unplug() {
        {
            std::lock_guard<std::mutex> lock(cam->mutex);
            cam->unplugAfterFrames = cam->framesDequeued + 1;
        }
        ASSERT_TRUE(eventually([&] { return !lib->isValid(); }));
    }
    void plugBackIn(int busyOpens) {
        std::lock_guard<std::mutex> lock(cam->mutex);
        cam->unplugged = false;
        cam->unplugAfterFrames = -1;
        cam->errors["open"] = std::deque<int>(static_cast<size_t>(busyOpens), EBUSY);
    }
    // Moves the clock on a second at a time until the camera streams again.
    bool comesBack() {
        return eventually([&] {
            now = now + 1.0;
            return lib->isValid();
        });
    }
    std::vector<std::string> log() {
        std::lock_guard<std::mutex> lock(mutex);
        return lines;
    }
    int dequeued() {
        std::lock_guard<std::mutex> lock(cam->mutex);
        return cam->framesDequeued;
    }

    std::shared_ptr<FakeVideoSystem> system = std::make_shared<FakeVideoSystem>();
    std::shared_ptr<FakeCamera> cam;
    std::atomic<double> now{50.0};
    std::mutex mutex;
    std::vector<std::string> lines;
    std::unique_ptr<CamVideoLibrary> lib;
};

const char* const kLost =
    "camera '/dev/video0' stopped working (No such device while returning a buffer; unplugged?); capture stopped";
const char* const kBack = "camera '/dev/video0' is back; capture resumed";

TEST_F(CamVideoReconnectTest, AnUnpluggedCameraStreamsAgainWhenItIsBack) {
    unplug();
    plugBackIn(0);
    ASSERT_TRUE(comesBack());
    const int before = dequeued();
    ASSERT_TRUE(eventually([&] { return dequeued() >= before + 3; }));
    unsigned char* img = nullptr;
    ASSERT_TRUE(eventually([&] { return (img = lib->image()) != nullptr; }));
    EXPECT_GT(img[1], 220);                          // top row bright: a whole new frame
    EXPECT_LT(img[(239 * 320) * 3 + 1], 40);         // bottom row dark
    int w = 0, h = 0;
    ASSERT_EQ(0, lib->size(&w, &h));
    EXPECT_EQ(320, w);
    EXPECT_EQ(240, h);
    EXPECT_EQ(320u, cam->formatsSet.back().width);
    EXPECT_EQ(std::vector<std::string>({kLost, kBack}), log());
    EXPECT_EQ(0, lib->close());
    EXPECT_EQ(cam->opens, cam->closes);
}

TEST_F(CamVideoReconnectTest, ACameraThatComesBackBusyIsTakenWhenItIsFree) {
    unplug();
    plugBackIn(1);
    ASSERT_TRUE(comesBack());
    EXPECT_EQ(std::vector<std::string>({kLost, "camera '/dev/video0' is busy (in use by another program)",
                                        "camera '/dev/video0' is not back yet; trying again every second", kBack}),
              log());
}

// While the camera stays away the library goes on: few lines however long it
// waits, stop and start keep working, and close ends the waiting.
TEST_F(CamVideoReconnectTest, ACameraThatStaysAwayIsWaitedForUntilClosed) {
    unplug();
    lib->image();  // a frame from before the loss may still be waiting
    ASSERT_TRUE(eventually([&] {
        now = now + 1.0;
        return log().size() >= 3;  // a first attempt failed
    }));
    for (int i = 0; i < 60; ++i) {
        now = now + 1.0;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const std::vector<std::string> got = log();
    EXPECT_EQ(kLost, got.front());
    // At most the two lines of a failed attempt per 10 s of the clock.
    const size_t tens = static_cast<size_t>((now - 50.0) / 10.0) + 1;
    EXPECT_LE(got.size(), 1 + 2 * tens);
    for (size_t i = 1; i < got.size(); ++i)
        EXPECT_TRUE(got[i].rfind("camera '/dev/video0' not found", 0) == 0 ||
                    got[i].rfind("camera '/dev/video0' is not back yet; trying again every second", 0) == 0)
            << got[i];
    EXPECT_EQ(nullptr, lib->image()) << "no new frame while it is away";
    EXPECT_EQ(0, lib->captureStop());
    EXPECT_EQ(0, lib->captureStart()) << "a camera being waited for counts as started";
    EXPECT_FALSE(lib->isValid());
    EXPECT_EQ(0, lib->close());
    EXPECT_EQ(cam->opens, cam->closes);
    const int opens = cam->opens;
    plugBackIn(0);
    for (int i = 0; i < 5; ++i) now = now + 1.0;
    lib.reset();  // ends the watcher
    EXPECT_EQ(opens, cam->opens) << "a closed camera is not reopened";
}

}  // namespace
}  // namespace media
}  // namespace vexa
