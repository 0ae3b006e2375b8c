#include "CamVideo.h"
#include "CamVideoLibrary.h"
#include "FakeVideoSystem.h"
#include "TestClips.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace vexa {
namespace media {
namespace {

using testing::FakeVideoSystem;

// YUYV frame whose top-left quarter is bright, the rest dark.
std::vector<uint8_t> yuyvLeftTopBright(int w, int h) {
    std::vector<uint8_t> f(static_cast<size_t>(w) * h * 2);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &f[(static_cast<size_t>(y) * w + x) * 2];
            p[0] = (y < h / 2 && x < w / 2) ? 235 : 16;
            p[1] = 128;
        }
    return f;
}

// Frame number of a BGR top-down image.
int numberOf(const unsigned char* bgr, int w, int h) {
    std::vector<uint8_t> bgra(static_cast<size_t>(w) * h * 4);
    for (size_t i = 0, n = static_cast<size_t>(w) * h; i < n; ++i) {
        bgra[4 * i] = bgr[3 * i];
        bgra[4 * i + 1] = bgr[3 * i + 1];
        bgra[4 * i + 2] = bgr[3 * i + 2];
    }
    return testing::readFrameNumber(bgra.data(), w, h, w * 4);
}

// A receiver with a BGR picture of its own, mirrored when asked.
class Receiver : public IFrameReceiver {
public:
    Receiver(int w, int h, bool mirrored) : picture(static_cast<size_t>(w) * h * 3, 0), w_(w), h_(h), mirrored_(mirrored) {}
    FrameTarget frameTarget(int width, int height) override {
        std::lock_guard<std::mutex> lock(mutex);
        FrameTarget t;
        if (width != w_ || height != h_ || !taking) return t;
        t.pixels = picture.data();
        t.rowBytes = w_ * 3;
        t.width = w_;
        t.height = h_;
        t.layout = FrameTarget::Layout::Bgr24;
        t.mirrored = mirrored_;
        return t;
    }
    void frameWritten() override { ++written; }
    // The green level at a picture position, read from the stored frame.
    int green(int x, int y) {
        std::lock_guard<std::mutex> lock(mutex);
        return picture[(static_cast<size_t>(y) * w_ + x) * 3 + 1];
    }
    std::mutex mutex;
    std::vector<uint8_t> picture;
    std::atomic<int> written{0};
    bool taking = true;

private:
    int w_, h_;
    bool mirrored_;
};

template <typename F>
unsigned char* poll(F f) {
    for (int i = 0; i < 300; ++i) {
        if (unsigned char* p = f()) return p;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return nullptr;
}

class CamVideoTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = testing::makeTempDir("camvideo");
        testing::ClipSpec spec;
        spec.frames = 10;
        ASSERT_EQ("", testing::makeClip(dir_ + "/Clip.mkv", spec));
    }
    CamVideoLibrary make() {
        return CamVideoLibrary(system, [this](const std::string& m) { lines.push_back(m); }, [this] { return now; });
    }
    static std::string dir_;
    std::shared_ptr<FakeVideoSystem> system = std::make_shared<FakeVideoSystem>();
    std::vector<std::string> lines;
    double now = 50.0;
};
std::string CamVideoTest::dir_;

TEST_F(CamVideoTest, LockedFileGivesEveryFrameInOrderAndLoops) {
    CamVideoLibrary lib(system, LogSink(), [this] { return now; });
    ASSERT_EQ(0, lib.open(("file " + dir_ + "/Clip.mkv loop locked").c_str())) << lib.lastError();
    EXPECT_EQ(CamVideoLibrary::kPixelFormatBgr24, lib.pixelFormat());
    int w = 0, h = 0;
    ASSERT_EQ(0, lib.size(&w, &h));
    EXPECT_EQ(160, w);
    EXPECT_EQ(120, h);
    EXPECT_EQ(nullptr, lib.image());  // not started
    ASSERT_EQ(0, lib.captureStart());
    EXPECT_EQ(0, lib.currentDevice());
    unsigned char* previous = nullptr;
    for (int i = 0; i < 25; ++i) {
        unsigned char* img = lib.image();
        ASSERT_NE(nullptr, img);
        EXPECT_EQ(i % 10, numberOf(img, w, h)) << i;
        EXPECT_NE(previous, img);  // the handed-out frame is never overwritten by the next
        previous = img;
    }
}

TEST_F(CamVideoTest, FileWithoutLoopEndsAndCaseOrSeparatorsDoNotMatter) {
    CamVideoLibrary lib(system, LogSink());
    std::string messy = dir_ + "\\clip.MKV";
    ASSERT_EQ(0, lib.open(("file \"" + messy + "\" noloop locked").c_str())) << lib.lastError();
    ASSERT_EQ(0, lib.captureStart());
    int frames = 0;
    while (lib.image()) ++frames;
    EXPECT_EQ(10, frames);
    EXPECT_EQ(nullptr, lib.image());
}

TEST_F(CamVideoTest, RealTimeFileFollowsTheClockAndPausesOnStop) {
    CamVideoLibrary lib = make();
    ASSERT_EQ(0, lib.open(("file " + dir_ + "/Clip.mkv").c_str()));
    ASSERT_EQ(0, lib.captureStart());
    unsigned char* img = lib.image();
    ASSERT_NE(nullptr, img);
    EXPECT_EQ(0, numberOf(img, 160, 120));
    now += 0.01;
    EXPECT_EQ(nullptr, lib.image());  // still frame 0's time
    now += 0.15;                      // 0.16 s at 25 fps: frame 4
    img = lib.image();
    ASSERT_NE(nullptr, img);
    EXPECT_EQ(4, numberOf(img, 160, 120));
    ASSERT_EQ(0, lib.captureStop());
    now += 100.0;  // time passes while stopped
    ASSERT_EQ(0, lib.captureStart());
    now += 0.04;
    img = lib.image();
    ASSERT_NE(nullptr, img);
    EXPECT_EQ(5, numberOf(img, 160, 120));
    now += 0.4;  // 0.6 s: frame 15 -> 5 again after the loop
    img = lib.image();
    ASSERT_NE(nullptr, img);
    EXPECT_EQ(5, numberOf(img, 160, 120));
}

TEST_F(CamVideoTest, BadConfigurationsAndFilesFailWithTheirMessage) {
    CamVideoLibrary lib = make();
    EXPECT_GT(0, lib.open("file nowhere/none.mp4"));
    EXPECT_EQ("camera library: cannot open video file 'nowhere/none.mp4': file not found", lib.lastError());
    EXPECT_GT(0, lib.open("scanner 3"));
    EXPECT_GT(0, lib.pixelFormat());
    int w = 0, h = 0;
    EXPECT_GT(0, lib.size(&w, &h));
    EXPECT_GT(0, lib.captureStart());
    EXPECT_EQ(nullptr, lib.image());
    EXPECT_EQ(-1, lib.currentDevice());
    EXPECT_EQ(0, lib.captureStop());
    EXPECT_EQ(0, lib.close());
    EXPECT_EQ(3u, lines.size());  // file, configuration, start
}

TEST_F(CamVideoTest, NoCameraFailsCleanly) {
    CamVideoLibrary lib = make();
    EXPECT_GT(0, lib.open(nullptr));
    EXPECT_EQ("camera library: no camera found", lib.lastError());
    EXPECT_FALSE(lib.isValid());
}

TEST_F(CamVideoTest, FirstCameraDeliversBgrTopDown) {
    auto cam = system->addTypicalCamera("/dev/video0", "USB Camera");
    cam->steadyFrame = testing::yuyvTopBrightFrame(640, 480);
    CamVideoLibrary lib = make();
    ASSERT_EQ(0, lib.open(""));
    int w = 0, h = 0;
    ASSERT_EQ(0, lib.size(&w, &h));
    EXPECT_EQ(640, w);
    EXPECT_EQ(480, h);
    ASSERT_EQ(0, lib.captureStart());
    unsigned char* img = poll([&] { return lib.image(); });
    ASSERT_NE(nullptr, img);
    EXPECT_GT(img[1], 220);                                       // top row bright
    EXPECT_LT(img[(static_cast<size_t>(h) - 1) * w * 3 + 1], 40);  // bottom row dark
    EXPECT_EQ(0, lib.captureStop());
    EXPECT_EQ(0, lib.captureStop());
    ASSERT_EQ(0, lib.captureStart());  // start again after a stop
    EXPECT_NE(nullptr, poll([&] { return lib.image(); }));
    EXPECT_EQ(0, lib.close());
    EXPECT_EQ(cam->opens, cam->closes);
}

TEST_F(CamVideoTest, AReceiverTakesCameraFramesStraightIntoItsMemory) {
    auto cam = system->addTypicalCamera("/dev/video0", "USB Camera");
    cam->steadyFrame = yuyvLeftTopBright(320, 240);
    CamVideoLibrary lib = make();
    ASSERT_EQ(0, lib.open("v4l2 /dev/video0 320x240"));
    Receiver receiver(320, 240, true);
    lib.setFrameReceiver(&receiver);
    ASSERT_EQ(0, lib.captureStart());
    for (int i = 0; i < 300 && receiver.written < 3; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_GE(receiver.written.load(), 3);
    EXPECT_EQ(nullptr, lib.image()) << "frames go to the receiver only";
    EXPECT_FALSE(lib.deliverFrame()) << "cameras deliver by themselves";
    // Upright (rows top-down) and mirrored as the receiver asked: the bright
    // top-left quarter is at the top right.
    EXPECT_GT(receiver.green(300, 10), 220);
    EXPECT_LT(receiver.green(20, 10), 40);
    EXPECT_LT(receiver.green(300, 230), 40);
    // A receiver that takes no frame now leaves its memory alone; frames are
    // not counted as dropped.
    {
        std::lock_guard<std::mutex> lock(receiver.mutex);
        receiver.taking = false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // a frame under way may still land
    const int before = receiver.written;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(before, receiver.written.load());
    // Closing drops the receiver: opening again goes back to image().
    EXPECT_EQ(0, lib.close());
    ASSERT_EQ(0, lib.open("v4l2 /dev/video0 320x240"));
    ASSERT_EQ(0, lib.captureStart());
    EXPECT_NE(nullptr, poll([&] { return lib.image(); }));
    EXPECT_EQ(before, receiver.written.load());
    EXPECT_EQ(0, lib.close());
    EXPECT_TRUE(lines.empty()) << lines.front();
}

TEST_F(CamVideoTest, AReceiverTakesFileFramesWhenItAsks) {
    CamVideoLibrary lib = make();
    ASSERT_EQ(0, lib.open(("file " + dir_ + "/Clip.mkv loop locked").c_str())) << lib.lastError();
    Receiver receiver(160, 120, false);
    lib.setFrameReceiver(&receiver);
    EXPECT_FALSE(lib.deliverFrame()) << "not started";
    ASSERT_EQ(0, lib.captureStart());
    EXPECT_EQ(nullptr, lib.image());
    for (int i = 0; i < 12; ++i) {
        ASSERT_TRUE(lib.deliverFrame()) << i;
        std::lock_guard<std::mutex> lock(receiver.mutex);
        EXPECT_EQ(i % 10, numberOf(receiver.picture.data(), 160, 120)) << i;
    }
    EXPECT_EQ(12, receiver.written.load());
    lib.setFrameReceiver(nullptr);
    EXPECT_FALSE(lib.deliverFrame());
    unsigned char* img = lib.image();
    ASSERT_NE(nullptr, img);
    EXPECT_EQ(2, numberOf(img, 160, 120));
}

TEST_F(CamVideoTest, CameraByPathWithSize) {
    system->addTypicalCamera("/dev/video0", "Cam A");
    auto b = system->addTypicalCamera("/dev/video1", "Cam B");
    b->steadyFrame = testing::yuyvTopBrightFrame(320, 240);
    CamVideoLibrary lib = make();
    ASSERT_EQ(0, lib.open("v4l2 /dev/video1 320x240"));
    EXPECT_EQ(1, lib.currentDevice());
    int w = 0, h = 0;
    lib.size(&w, &h);
    EXPECT_EQ(320, w);
    EXPECT_EQ(240, h);
    ASSERT_EQ(0, lib.open("v4l2 1 1024x768"));  // size not offered: the format it has now
    lib.size(&w, &h);
    EXPECT_EQ(320, w);
    EXPECT_EQ("camera library: camera '/dev/video1' offers no 1024x768 format; using its current format", lines.back());
    EXPECT_GT(0, lib.open("v4l2 /dev/video7"));
    EXPECT_EQ("camera library: cannot open camera '/dev/video7'", lib.lastError());
}

TEST_F(CamVideoTest, UnpluggedCameraTurnsInvalidAndClosesCleanly) {
    auto cam = system->addTypicalCamera("/dev/video0", "USB Camera");
    cam->steadyFrame = testing::yuyvTopBrightFrame(640, 480);
    cam->unplugAfterFrames = 2;
    CamVideoLibrary lib = make();
    ASSERT_EQ(0, lib.open(nullptr));
    ASSERT_EQ(0, lib.captureStart());
    for (int i = 0; i < 300 && lib.isValid(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(lib.isValid());
    EXPECT_EQ(0, lib.captureStop());
    EXPECT_EQ(0, lib.close());
}

TEST_F(CamVideoTest, CFunctionsUseTheProcessWideLibrary) {
    auto cam = system->addTypicalCamera("/dev/video0", "USB Camera");
    cam->steadyFrame = testing::yuyvTopBrightFrame(640, 480);
    std::vector<std::string> got;
    camVideoSetLogSink([&](const std::string& m) { got.push_back(m); });
    camVideoSetDeviceFactory(system);
    ASSERT_EQ(0, camVideoOpen(nullptr));
    EXPECT_EQ(CamVideoLibrary::kPixelFormatBgr24, camVideoGetPixelFormat());
    int w = 0, h = 0;
    EXPECT_EQ(0, camVideoGetSize(&w, &h));
    EXPECT_EQ(640, w);
    EXPECT_EQ(0, camVideoCapStart());
    EXPECT_EQ(0, camVideoGetCurrentDevice());
    EXPECT_NE(nullptr, poll([] { return camVideoGetImage(); }));
    EXPECT_EQ(0, camVideoCapStop());
    EXPECT_EQ(0, camVideoClose());
    camVideoSetFrameLocked(1);
    ASSERT_EQ(0, camVideoOpen(("file " + dir_ + "/Clip.mkv").c_str()));
    ASSERT_EQ(0, camVideoCapStart());
    for (int i = 0; i < 3; ++i) {
        unsigned char* img = camVideoGetImage();
        ASSERT_NE(nullptr, img);
        EXPECT_EQ(i, numberOf(img, 160, 120));
    }
    camVideoSetFrameLocked(0);
    EXPECT_EQ(0, camVideoClose());
    EXPECT_TRUE(got.empty());
    camVideoSetDeviceFactory(nullptr);
    camVideoSetLogSink(LogSink());
}

}  // namespace
}  // namespace media
}  // namespace vexa
