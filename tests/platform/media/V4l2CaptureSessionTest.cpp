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

// Collects log lines and frames from a session; frames are converted into the
// probe's own BGRA picture, rows top-down.
struct Probe {
    std::mutex mutex;
    std::vector<std::string> lines;
    std::atomic<int> frames{0};
    std::vector<uint8_t> picture;
    std::vector<uint8_t> firstRow, lastRow;  // of the latest frame, as stored
    int width = 0, height = 0;
    bool takeFrames = true;

    LogSink sink() {
        return [this](const std::string& m) {
            std::lock_guard<std::mutex> lock(mutex);
            lines.push_back(m);
        };
    }
    V4l2CaptureSession::FrameCallback callback() {
        return [this](const CameraFrame& frame) {
            std::lock_guard<std::mutex> lock(mutex);
            const int w = frame.width(), h = frame.height();
            picture.resize(static_cast<size_t>(w) * h * 4);
            FrameTarget target;
            target.pixels = takeFrames ? picture.data() : nullptr;
            target.rowBytes = w * 4;
            target.width = w;
            target.height = h;
            const FrameResult r = frame.convertTo(target);
            if (r != FrameResult::Ok) return r;
            width = w;
            height = h;
            firstRow.assign(picture.begin(), picture.begin() + w * 4);
            lastRow.assign(picture.end() - w * 4, picture.end());
            ++frames;
            return r;
        };
    }
    int linesContaining(const std::string& text) {
        std::lock_guard<std::mutex> lock(mutex);
        int n = 0;
        for (const auto& l : lines) n += l.find(text) != std::string::npos;
        return n;
    }
    std::string all() {
        std::lock_guard<std::mutex> lock(mutex);
        std::string s;
        for (const auto& l : lines) s += l + "\n";
        return s;
    }
};

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        cam = sys.addTypicalCamera("/dev/video0", "USB Camera");
        cam->steadyFrame = testing::yuyvTopBrightFrame(640, 480);
    }
    std::unique_ptr<V4l2CaptureSession> makeSession() {
        return std::make_unique<V4l2CaptureSession>(sys.createDevice(), probe.sink());
    }
    FakeVideoSystem sys;
    std::shared_ptr<FakeCamera> cam;
    Probe probe;
};

TEST_F(SessionTest, HandsEveryFrameToTheCallbackToConvertWhereItBelongs) {
    auto s = makeSession();
    ASSERT_TRUE(s->open("/dev/video0"));
    EXPECT_EQ("USB Camera", s->cardName());
    EXPECT_EQ((std::vector<std::string>{"640x480 30 16-bit", "320x240 30 16-bit", "1280x720 30 24-bit"}), s->formatNames());
    EXPECT_EQ(0, s->defaultFormatIndex());
    ASSERT_TRUE(s->start(probe.callback()));
    ASSERT_TRUE(eventually([&] { return probe.frames >= 5; }));
    s->stop();
    EXPECT_FALSE(s->isStreaming());
    EXPECT_EQ(640, probe.width);
    EXPECT_EQ(480, probe.height);
    // The picture's top half is bright: in a top-down target the first row is.
    EXPECT_GT(probe.firstRow[1], 220);
    EXPECT_LT(probe.lastRow[1], 40);
    EXPECT_EQ(255, probe.lastRow[3]);
    EXPECT_EQ(1, cam->streamOns);
    EXPECT_EQ(1, cam->streamOffs);
    EXPECT_EQ("", probe.all());
}

TEST_F(SessionTest, FramesTheCallbackDoesNotTakeAreNeitherDeliveredNorDropped) {
    probe.takeFrames = false;
    auto s = makeSession();
    ASSERT_TRUE(s->open("/dev/video0"));
    ASSERT_TRUE(s->start(probe.callback()));
    ASSERT_TRUE(eventually([&] {
        std::lock_guard<std::mutex> lock(cam->mutex);
        return cam->framesDequeued >= 5;
    }));
    s->stop();
    EXPECT_EQ(0u, s->framesDelivered());
    EXPECT_EQ(0u, s->framesDropped());
    EXPECT_EQ("", probe.all());
}

TEST_F(SessionTest, AppliesChosenFormatAndRate) {
    cam->steadyFrame = testing::mjpegTopBrightFrame(1280, 720);
    ASSERT_FALSE(cam->steadyFrame.empty());
    auto s = makeSession();
    ASSERT_TRUE(s->open("/dev/video0"));
    ASSERT_TRUE(s->applyFormat(2));
    EXPECT_EQ(fourcc('M', 'J', 'P', 'G'), cam->current.pixelFormat);
    EXPECT_EQ(1280u, cam->current.width);
    ASSERT_EQ(1u, cam->intervalsSet.size());
    EXPECT_EQ(30u, cam->intervalsSet[0].denominator);
    EXPECT_EQ(250, s->frameTimeoutMs());
    ASSERT_TRUE(s->start(probe.callback()));
    ASSERT_TRUE(eventually([&] { return probe.frames >= 3; }));
    s->stop();
    EXPECT_EQ(1280, probe.width);
    EXPECT_GT(probe.firstRow[1], 220);
    EXPECT_LT(probe.lastRow[1], 40);
}

TEST_F(SessionTest, TruncatedAndCorruptMjpegFramesAreDroppedWithOneLine) {
    const auto good = testing::mjpegTopBrightFrame(1280, 720);
    auto truncated = good;
    truncated.resize(good.size() / 2);
    auto noStart = good;
    noStart[0] = 0;
    auto scrambled = good;  // header intact, tables destroyed
    for (size_t i = 20; i < 400 && i < scrambled.size(); ++i) scrambled[i] = static_cast<uint8_t>(i * 7);
    cam->frames = {truncated, good, noStart, truncated, scrambled, truncated, good};
    cam->steadyFrame.clear();
    auto s = makeSession();
    ASSERT_TRUE(s->open("/dev/video0"));
    ASSERT_TRUE(s->applyFormat(2));
    ASSERT_TRUE(s->start(probe.callback()));
    ASSERT_TRUE(eventually([&] { return s->framesDelivered() + s->framesDropped() >= 7; }));
    s->stop();
    EXPECT_EQ(2u, s->framesDelivered());
    EXPECT_EQ(5u, s->framesDropped());
    EXPECT_EQ(1, probe.linesContaining("dropped a truncated frame")) << probe.all();
}

TEST_F(SessionTest, TruncatedRawFramesAreDropped) {
    auto half = testing::yuyvTopBrightFrame(640, 480);
    half.resize(half.size() / 2);
    cam->frames = {half, testing::yuyvTopBrightFrame(640, 480)};
    cam->steadyFrame.clear();
    auto s = makeSession();
    ASSERT_TRUE(s->open("/dev/video0"));
    ASSERT_TRUE(s->start(probe.callback()));
    ASSERT_TRUE(eventually([&] { return s->framesDelivered() + s->framesDropped() >= 2; }));
    s->stop();
    EXPECT_EQ(1u, s->framesDelivered());
    EXPECT_EQ(1u, s->framesDropped());
}

TEST_F(SessionTest, InjectedErrorsGiveOneClearLineEach) {
    struct Case {
        const char* what;
        std::function<void(FakeCamera&)> inject;
        bool opens;
        bool starts;
        std::string line;
    };
    const Case cases[] = {
        {"busy on open", [](FakeCamera& c) { c.errors["open"] = {EBUSY}; }, false, false,
         "camera '/dev/video0' is busy (in use by another program)"},
        {"busy on set format", [](FakeCamera& c) { c.errors["setFormat"] = {EBUSY}; }, true, false,
         "camera '/dev/video0' is busy: cannot set 640x480 30 16-bit (in use by another program)"},
        {"busy on buffers", [](FakeCamera& c) { c.errors["requestBuffers"] = {EBUSY}; }, true, false,
         "camera '/dev/video0' is busy (in use by another program)"},
        {"bandwidth on stream-on", [](FakeCamera& c) { c.errors["streamOn"] = {ENOSPC}; }, true, false,
         "camera '/dev/video0': not enough USB bandwidth to stream 640x480 30 16-bit (No space left on device); "
         "choose a smaller size or rate, or another USB port"},
        {"not a capture node", [](FakeCamera& c) { c.capability.deviceCaps = 0; }, false, false,
         "camera '/dev/video0' is not a streaming video capture device"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeVideoSystem local;
        auto camera = local.addTypicalCamera("/dev/video0", "USB Camera");
        camera->steadyFrame = testing::yuyvTopBrightFrame(640, 480);
        c.inject(*camera);
        Probe p;
        V4l2CaptureSession s(local.createDevice(), p.sink());
        EXPECT_EQ(c.opens, s.open("/dev/video0"));
        EXPECT_EQ(c.starts, s.start(p.callback()));
        EXPECT_EQ(c.line, p.lines.empty() ? "" : p.lines.front());
        EXPECT_EQ(1, p.linesContaining(c.line)) << p.all();
        s.close();
        EXPECT_EQ(camera->opens, camera->closes);
    }
    // Missing device node.
    Probe p;
    V4l2CaptureSession s(sys.createDevice(), p.sink());
    EXPECT_FALSE(s.open("/dev/video9"));
    EXPECT_EQ("camera '/dev/video9' not found\n", p.all());
}

TEST_F(SessionTest, RetryingABusyCameraDoesNotFloodTheLog) {
    cam->errors["open"] = std::deque<int>(20, EBUSY);
    auto s = makeSession();
    for (int i = 0; i < 20; ++i) EXPECT_FALSE(s->open("/dev/video0"));
    EXPECT_TRUE(s->open("/dev/video0"));
    EXPECT_EQ(1, probe.linesContaining("busy"));
}

TEST_F(SessionTest, EagainAndTimeoutsAreLoggedOnceAndStopStaysQuick) {
    cam->stickyErrors["wait"] = EAGAIN;
    auto s = makeSession();
    ASSERT_TRUE(s->open("/dev/video0"));
    ASSERT_TRUE(s->start(probe.callback()));
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    {
        std::lock_guard<std::mutex> lock(cam->mutex);  // the capture thread reads it
        cam->stickyErrors["wait"] = ETIMEDOUT;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(700));  // > 2 time-outs of 250 ms
    const auto t0 = std::chrono::steady_clock::now();
    s->stop();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(3000));  // no hang
    EXPECT_EQ(1, probe.linesContaining("no frame ready (Resource temporarily unavailable)")) << probe.all();
    EXPECT_EQ(1, probe.linesContaining("no frame for 250 ms")) << probe.all();
    EXPECT_TRUE(s->isValid());
}

TEST_F(SessionTest, UnknownFrameRateGivesABoundedTimeout) {
    FakeVideoSystem local;
    auto c = local.addCamera("/dev/video0", "Odd Cam");
    c->addFormat(fourcc('Y', 'U', 'Y', 'V'), {{320, 240}}, {{0, 0}});
    c->current = {fourcc('Y', 'U', 'Y', 'V'), 320, 240, 640, 0};
    c->steadyFrame = testing::yuyvTopBrightFrame(320, 240);
    V4l2CaptureSession s(local.createDevice(), probe.sink());
    ASSERT_TRUE(s.open("/dev/video0"));
    EXPECT_EQ("320x240 0 16-bit", s.formatNames().at(0));
    ASSERT_TRUE(s.applyFormat(0));
    EXPECT_EQ(1000, s.frameTimeoutMs());
    EXPECT_TRUE(c->intervalsSet.empty());  // 0/0 is never sent to the device
    EXPECT_EQ(1, probe.linesContaining("camera '/dev/video0' gives no frame rate for 320x240 0 16-bit; waiting up to 1000 ms per frame"));
    ASSERT_TRUE(s.start(probe.callback()));
    ASSERT_TRUE(eventually([&] { return probe.frames >= 2; }));
}

TEST_F(SessionTest, UnpluggedCameraStopsTheThreadAndReportsInvalid) {
    cam->unplugAfterFrames = 3;
    auto s = makeSession();
    ASSERT_TRUE(s->open("/dev/video0"));
    ASSERT_TRUE(s->start(probe.callback()));
    ASSERT_TRUE(eventually([&] { return !s->isValid(); }));
    ASSERT_TRUE(eventually([&] { return !s->isStreaming(); }));
    EXPECT_EQ(3, probe.frames.load());  // the third frame was delivered, its buffer not handed back
    EXPECT_EQ(1, probe.linesContaining("camera '/dev/video0' stopped working (No such device")) << probe.all();
    EXPECT_FALSE(s->start(probe.callback()));
    s->stop();
    s->stop();
    s->close();
    EXPECT_FALSE(s->isOpen());
}

TEST_F(SessionTest, DequeueFailureMidStreamIsHandledLikeUnplug) {
    cam->errors["dequeue"] = {0};
    cam->errors["dequeue"].clear();
    cam->stickyErrors.clear();
    auto s = makeSession();
    ASSERT_TRUE(s->open("/dev/video0"));
    ASSERT_TRUE(s->start(probe.callback()));
    ASSERT_TRUE(eventually([&] { return probe.frames >= 2; }));
    {
        std::lock_guard<std::mutex> lock(cam->mutex);
        cam->stickyErrors["dequeue"] = ENODEV;
    }
    ASSERT_TRUE(eventually([&] { return !s->isValid(); }));
    EXPECT_EQ(1, probe.linesContaining("No such device while taking a frame"));
}

TEST_F(SessionTest, LifecycleTwice) {
    auto s = makeSession();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(s->open("/dev/video0"));
        for (int run = 0; run < 2; ++run) {
            const int before = probe.frames;
            ASSERT_TRUE(s->start(probe.callback()));
            EXPECT_TRUE(s->start(probe.callback()));  // already streaming: no second thread
            ASSERT_TRUE(eventually([&] { return probe.frames >= before + 2; }));
            s->stop();
            s->stop();
        }
        s->close();
    }
    EXPECT_EQ(4, cam->streamOns);
    EXPECT_EQ(4, cam->streamOffs);
    EXPECT_EQ(2, cam->opens);
    EXPECT_EQ(2, cam->closes);
}

TEST_F(SessionTest, DestroyedWhileStreaming) {
    {
        auto s = makeSession();
        ASSERT_TRUE(s->open("/dev/video0"));
        ASSERT_TRUE(s->start(probe.callback()));
        ASSERT_TRUE(eventually([&] { return probe.frames >= 1; }));
    }
    EXPECT_EQ(1, cam->closes);
    const int frames = probe.frames;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(frames, probe.frames.load());
}

TEST_F(SessionTest, ControlsReadAndWrite) {
    VideoControl brightness;
    brightness.id = 0x00980900;
    brightness.name = "Brightness";
    brightness.minimum = 0;
    brightness.maximum = 255;
    brightness.value = 128;
    cam->controls = {brightness};
    auto s = makeSession();
    ASSERT_TRUE(s->open("/dev/video0"));
    const auto list = s->controls();
    ASSERT_EQ(1u, list.size());
    EXPECT_EQ("Brightness", list[0].name);
    EXPECT_TRUE(s->setControl(brightness.id, 200));
    int32_t v = 0;
    EXPECT_TRUE(s->getControl(brightness.id, v));
    EXPECT_EQ(200, v);
    EXPECT_FALSE(s->setControl(brightness.id, 999));
    EXPECT_EQ(1, probe.linesContaining("cannot set control 9963776: Numerical result out of range"));
}

}  // namespace
}  // namespace media
}  // namespace vexa
