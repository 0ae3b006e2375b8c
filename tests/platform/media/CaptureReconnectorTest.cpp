#include "CaptureReconnector.h"
#include "Eventually.h"
#include "FakeVideoSystem.h"
#include "V4l2CaptureSession.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <thread>

namespace vexa {
namespace media {
namespace {

using testing::FakeCamera;
using testing::FakeVideoSystem;
using testing::eventually;

const uint32_t kYuyv = fourcc('Y', 'U', 'Y', 'V');

// A session streaming the camera's 320x240 YUYV format (not its default) with a
// reconnector; the test drives the reconnector and its clock.
class ReconnectTest : public ::testing::Test {
protected:
    void SetUp() override { setUpCamera("/dev/video0"); }
    void setUpCamera(const std::string& path) {
        cam = sys.addTypicalCamera(path, "USB Camera");
        cam->steadyFrame = testing::yuyvTopBrightFrame(320, 240);
        auto clock = [this] { return now.load(); };
        session = std::make_unique<V4l2CaptureSession>(sys.createDevice(), sink(), clock);
        reconnector = std::make_unique<CaptureReconnector>(sink(), clock);
        ASSERT_TRUE(session->open(path));
        ASSERT_TRUE(session->applyFormat(1));  // 320x240 30 16-bit
        ASSERT_TRUE(session->start(callback()));
        ASSERT_TRUE(eventually([&] { return frames >= 1; }));
    }
    LogSink sink() {
        return [this](const std::string& m) {
            std::lock_guard<std::mutex> lock(mutex);
            lines.push_back(m);
        };
    }
    V4l2CaptureSession::FrameCallback callback() {
        return [this](const CameraFrame& frame) {
            lastWidth = frame.width();
            ++frames;
            return FrameResult::Ok;
        };
    }
    // Unplugs the camera mid-stream and waits for the session to notice.
    void unplug() {
        {
            std::lock_guard<std::mutex> lock(cam->mutex);
            cam->unplugAfterFrames = cam->framesDequeued + 1;
        }
        ASSERT_TRUE(eventually([&] { return !session->isValid() && !session->isStreaming(); }));
        EXPECT_FALSE(reconnector->poll(*session, callback()));  // notices it
        EXPECT_TRUE(reconnector->isReconnecting());
    }
    void plugBackIn() {
        std::lock_guard<std::mutex> lock(cam->mutex);
        cam->unplugged = false;
        cam->unplugAfterFrames = -1;
    }
    // Advances the clock by a second and tries once.
    bool attempt() {
        now = now + 1.0;
        return reconnector->poll(*session, callback());
    }
    std::vector<std::string> log() {
        std::lock_guard<std::mutex> lock(mutex);
        return lines;
    }

    FakeVideoSystem sys;
    std::shared_ptr<FakeCamera> cam;
    std::atomic<double> now{100.0};
    std::mutex mutex;
    std::vector<std::string> lines;
    std::atomic<int> frames{0};
    std::atomic<int> lastWidth{0};
    std::unique_ptr<V4l2CaptureSession> session;
    std::unique_ptr<CaptureReconnector> reconnector;
};

const char* const kLost =
    "camera '/dev/video0' stopped working (No such device while returning a buffer; unplugged?); capture stopped";
const char* const kNotBack = "camera '/dev/video0' is not back yet; trying again every second";
const char* const kBack = "camera '/dev/video0' is back; capture resumed";

TEST_F(ReconnectTest, ACameraThatComesBackStreamsAgainInTheSameFormat) {
    unplug();
    now = now + 0.5;
    EXPECT_FALSE(reconnector->poll(*session, callback()));
    EXPECT_EQ(1, cam->opens) << "no attempt before a second has passed";
    plugBackIn();
    ASSERT_TRUE(attempt());
    EXPECT_FALSE(reconnector->isReconnecting());
    EXPECT_TRUE(session->isValid());
    const int before = frames;
    ASSERT_TRUE(eventually([&] { return frames >= before + 3; }));
    EXPECT_EQ(320, lastWidth.load());
    EXPECT_EQ(2, cam->opens);
    EXPECT_EQ(1, cam->closes);
    ASSERT_EQ(2u, cam->formatsSet.size());
    EXPECT_EQ(kYuyv, cam->formatsSet.back().pixelFormat);
    EXPECT_EQ(320u, cam->formatsSet.back().width);
    EXPECT_EQ(240u, cam->formatsSet.back().height);
    ASSERT_EQ(2u, cam->intervalsSet.size());
    EXPECT_EQ(30u, cam->intervalsSet.back().denominator);
    EXPECT_EQ(std::vector<std::string>({kLost, kBack}), log());
    EXPECT_FALSE(attempt()) << "streaming again: nothing to do";
    EXPECT_EQ(2, cam->opens);
}

TEST_F(ReconnectTest, AByIdLinkIsReopenedAsTheLink) {
    const std::string link = "/dev/v4l/by-id/usb-Vexa_Cam_0001-video-index0";
    setUpCamera(link);
    unplug();
    plugBackIn();
    ASSERT_TRUE(attempt());
    EXPECT_EQ(2, cam->opens);
    EXPECT_EQ("camera '" + link + "' is back; capture resumed", log().back());
}

TEST_F(ReconnectTest, ACameraThatStaysAwayIsTriedOnceASecondWithFewLines) {
    unplug();
    for (int i = 0; i < 25; ++i) {
        EXPECT_FALSE(attempt()) << i;
        now = now + 0.5;  // between attempts: nothing is tried
        EXPECT_FALSE(reconnector->poll(*session, callback())) << i;
    }
    // Attempts every 1.5 s: a line now, then one at most every 10 s with the count.
    const std::vector<std::string> expected = {
        kLost,
        "camera '/dev/video0' not found",
        kNotBack,
        "camera '/dev/video0' not found (repeated 6 times)",
        std::string(kNotBack) + " (repeated 6 times)",
        "camera '/dev/video0' not found (repeated 6 times)",
        std::string(kNotBack) + " (repeated 6 times)",
        "camera '/dev/video0' not found (repeated 6 times)",
        std::string(kNotBack) + " (repeated 6 times)",
    };
    EXPECT_EQ(expected, log());
    EXPECT_FALSE(session->isValid());
    session->close();
    reconnector->reset();
    plugBackIn();
    EXPECT_FALSE(attempt()) << "a closed session is not reopened";
    EXPECT_EQ(1, cam->opens);
    EXPECT_EQ(1, cam->closes);
}

// The camera is back but another program holds it: the first attempt fails with
// the reason, the next one (the other program gone) resumes.
TEST_F(ReconnectTest, ACameraThatComesBackBusyIsTakenWhenItIsFree) {
    struct Case {
        const char* operation;
        const char* line;
    };
    const Case cases[] = {
        {"open", "camera '/dev/video0' is busy (in use by another program)"},
        {"setFormat", "camera '/dev/video0' is busy: cannot set 320x240 30 16-bit (in use by another program)"},
        {"requestBuffers", "camera '/dev/video0' is busy (in use by another program)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.operation);
        unplug();
        plugBackIn();
        {
            std::lock_guard<std::mutex> lock(cam->mutex);
            cam->errors[c.operation] = {EBUSY};
        }
        EXPECT_FALSE(attempt());
        EXPECT_FALSE(session->isOpen()) << "a failed attempt keeps nothing open";
        ASSERT_TRUE(attempt());
        const int before = frames;
        ASSERT_TRUE(eventually([&] { return frames >= before + 2; }));
        EXPECT_EQ(320, lastWidth.load());
        EXPECT_EQ(std::vector<std::string>({kLost, c.line, kNotBack, kBack}), log());
        std::lock_guard<std::mutex> lock(mutex);
        lines.clear();
        now = now + 20.0;  // past the log's interval: the next case's lines all go out
    }
}

TEST_F(ReconnectTest, ACameraThatComesBackWithoutItsFormatIsNotStreamed) {
    unplug();
    {
        std::lock_guard<std::mutex> lock(cam->mutex);
        cam->unplugged = false;
        cam->formats.erase(cam->formats.begin());  // only MJPG 1280x720 now
    }
    EXPECT_FALSE(attempt());
    EXPECT_FALSE(session->isOpen());
    EXPECT_TRUE(reconnector->isReconnecting());
    EXPECT_EQ(std::vector<std::string>({kLost, "camera '/dev/video0' came back without its format 320x240 30 16-bit",
                                        kNotBack}),
              log());
}

}  // namespace
}  // namespace media
}  // namespace vexa
