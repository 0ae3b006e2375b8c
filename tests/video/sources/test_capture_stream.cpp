// The camera stream against the camera test double: device and format
// choice with their messages, the settings file, frames reaching the image,
// a camera lost while streaming, and the faults real cameras show.
#include "BlackMagicStream.h"
#include "CDSUtils.h"
#include "CVideo.h"
#include "DSCaptureStream.h"
#include "SourceTestSupport.h"

#include "FakeVideoSystem.h"
#include "TestFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>

using namespace vexa::media;
using namespace vexa::media::testing;
using sourcetest::LogTail;
using ::testing::HasSubstr;

namespace
{
const char* const kSettings = "Data/DSVideoSetings.dat";
const std::string kPrefix = "DShowStream::Constructor: ";

// YUYV frame whose top-left quarter is bright, the rest dark.
std::vector<uint8_t> yuyvTopLeftBright(int w, int h)
{
    std::vector<uint8_t> f(static_cast<size_t>(w) * h * 2);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            uint8_t* p = &f[(static_cast<size_t>(y) * w + x) * 2];
            p[0] = (y < h / 2 && x < w / 2) ? 235 : 16;
            p[1] = 128;
        }
    return f;
}

std::string settingsText(const std::string& device, const std::string& format, int v, int h, int d,
                         const std::vector<std::string>& preferred = {})
{
    std::string text = "<VEXA_DSHOWVIDEO_SETTINGS> \n    <DEVICE_NAME> " + device + " \n    <FORMAT_NAME> " + format +
                       " \n    <VERT_FLIP> " + std::to_string(v) + " \n    <HORI_FLIP> " + std::to_string(h) +
                       " \n    <DEINTERLACE> " + std::to_string(d) + " \n";
    for (const std::string& p : preferred) text += "    <PREF_FORMAT> " + p + " \n";
    return text + "</VEXA_DSHOWVIDEO_SETTINGS> \n";
}

class CaptureStream : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(folder / "Data");
        CDSUtils::SetDeviceFactory(system);
        ::testing::internal::CaptureStderr();
    }
    void TearDown() override
    {
        StopCapture();
        CDSUtils::SetDeviceFactory(nullptr);
    }
    std::string StopCapture()
    {
        if (capturing) boxes += ::testing::internal::GetCapturedStderr();
        capturing = false;
        return boxes;
    }
    std::string Settings() const { return TestFolder::ReadFile(folder / kSettings); }
    // Waits (bounded) until the camera has given `count` frames.
    void WaitForFrames(const std::shared_ptr<FakeCamera>& cam, int count)
    {
        for (int i = 0; i < 400; ++i)
        {
            {
                std::lock_guard<std::mutex> lock(cam->mutex);
                if (cam->framesDequeued >= count) return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    // Runs engine frames, 5 ms apart, until `done` holds (at most `frames` of them).
    template <typename F>
    void UpdateUntil(CVideoStream& stream, F done, int frames = 400)
    {
        for (int i = 0; i < frames && !done(); ++i)
        {
            stream.UpdateStream();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    TestFolder folder;
    ScopedCurrentFolder inFolder{folder.Path()};
    std::shared_ptr<FakeVideoSystem> system = std::make_shared<FakeVideoSystem>();
    LogTail log;
    bool capturing = true;
    std::string boxes;
};

TEST_F(CaptureStream, WithoutACameraTheUserIsToldAndThePictureIsBlack)
{
    osg::ref_ptr<DSCaptureStream> stream = new DSCaptureStream(false, false);
    EXPECT_FALSE(stream->isValid());
    EXPECT_EQ(stream->s(), 640);
    EXPECT_EQ(stream->t(), 480);
    EXPECT_THAT(log.Messages(), ::testing::ElementsAre("DShowStream::Constructor()...",
                                                       kPrefix + "Error: Failed to connect to a valid capture device "));
    EXPECT_EQ(StopCapture(), "Warning! No WebCam Detected: Please ensure a working webcam is attached to your computer\n");
    EXPECT_FALSE(TestFolder::Exists(folder / kSettings));
    stream->UpdateStream();
    stream->CleanUp();
}

TEST_F(CaptureStream, TheVideoManagerCarriesOnWithoutACamera)
{
    CVideo video;
    ASSERT_TRUE(video.InitWebCamStream(1, "DSHOW", false, false, ""));
    ASSERT_NE(video.GetStream(), nullptr);
    EXPECT_STREQ(video.GetStream()->className(), "DSCaptureStream");
    EXPECT_FALSE(video.GetStream()->isValid());
    EXPECT_NE(video.GetLayer(), nullptr);
    EXPECT_EQ(log.Count("CVideo::Init: Error: Could not initialize video!"), 1);
    video.StartWebStream();
    EXPECT_TRUE(video.Update(0.5f));
    video.StopStreams();
    video.CleanUp();
}

struct DeviceCase
{
    const char* name;
    const char* requested;      // saved device name, null: no settings file
    bool secondBusy;            // "Cam B" refuses to be opened for streaming
    bool firstBusy;             // "Cam A" likewise
    const char* chosen;         // null: no connection
    std::vector<std::string> lines;  // in this order among the log lines
    const char* savedDevice;    // device name written back
    const char* box;            // standard error, "" for none
};

TEST_F(CaptureStream, DeviceChoiceAndFallbacks)
{
    const DeviceCase cases[] = {
        {"first by default", nullptr, false, false, "Cam A",
         {kPrefix + "Trying default Cam A", kPrefix + "Connection successful"}, "Cam A", ""},
        {"requested and found", "Cam B", false, false, "Cam B",
         {kPrefix + "Sreaching for requested device Cam B", kPrefix + "Requested Device found Cam B",
          kPrefix + "Connection successful"},
         "Cam B", ""},
        {"requested but absent", "Gone Cam", false, false, "Cam A",
         {kPrefix + "Sreaching for requested device Gone Cam",
          kPrefix + "Warning: Unable to find Requested Device, trying default Cam A", kPrefix + "Connection successful"},
         "Cam A", ""},
        {"requested but busy", "Cam B", true, false, "Cam A",
         {"camera '/dev/video1' is busy (in use by another program)", kPrefix + "Warning: Failed to connect to Cam B",
          kPrefix + "Trying to connect to Cam A", kPrefix + "Connection Successful to device Cam A"},
         "Cam A", ""},
        {"every device busy", "Cam B", true, true, nullptr,
         {kPrefix + "Warning: Failed to connect to Cam B", kPrefix + "Trying to connect to Cam A",
          kPrefix + "Error: Failed to connect to a valid capture device "},
         "NONE",
         "Unable to connect to webcam: Could not connect to the previous device 'Cam B', please ensure it is correctly "
         "connected to your computer\n"},
    };
    for (const DeviceCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        auto a = system->addTypicalCamera("/dev/video0", "Cam A");
        auto b = system->addTypicalCamera("/dev/video1", "Cam B");
        a->frames.push_back(yuyvTopLeftBright(640, 480));
        // The device list opens each camera once; the binding opens it again.
        if (c.firstBusy) a->errors["open"] = {0, EBUSY};
        if (c.secondBusy) b->errors["open"] = {0, EBUSY};
        std::filesystem::remove(folder / kSettings);
        if (c.requested) TestFolder::WriteFile(folder / kSettings, settingsText(c.requested, "NONE", 1, 1, 0));
        ::testing::internal::GetCapturedStderr();
        ::testing::internal::CaptureStderr();
        LogTail tail;
        {
            osg::ref_ptr<DSCaptureStream> stream = new DSCaptureStream(false, false);
            EXPECT_EQ(stream->isValid(), c.chosen != nullptr);
            if (c.chosen) EXPECT_EQ(stream->GetCurrentDeviceName(), c.chosen);
            EXPECT_THAT(stream->GetConnectedDeviceList(), ::testing::ElementsAre("Cam A", "Cam B"));
            EXPECT_THAT(tail.Messages(), ::testing::IsSupersetOf(c.lines));
            std::vector<std::string> seen;
            for (const std::string& m : tail.Messages())
                if (std::find(c.lines.begin(), c.lines.end(), m) != c.lines.end()) seen.push_back(m);
            EXPECT_EQ(seen, c.lines) << "order";
            EXPECT_THAT(Settings(), HasSubstr(std::string("<DEVICE_NAME> ") + c.savedDevice + " \n"));
        }
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.box);
        ::testing::internal::CaptureStderr();
        // Every open was closed again.
        for (const auto& cam : {a, b})
        {
            std::lock_guard<std::mutex> lock(cam->mutex);
            EXPECT_EQ(cam->opens, cam->closes);
        }
        system->remove("/dev/video0");
        system->remove("/dev/video1");
    }
}

TEST_F(CaptureStream, PreferredFormatIsChosenAndTheSettingsAreRewrittenExactly)
{
    auto cam = system->addTypicalCamera("/dev/video0", "Cam A");
    TestFolder::WriteFile(folder / kSettings, "# camera\n<VEXA_DSHOWVIDEO_SETTINGS>\n<DEVICE_NAME> NONE\n"
                                              "<FORMAT_NAME> NONE\n<VERT_FLIP> 0\n<UNKNOWN> 5\n"
                                              "<PREF_FORMAT> 1280x720 60 24-bit\n<PREF_FORMAT> 320x240 30 16-bit\n"
                                              "</VEXA_DSHOWVIDEO_SETTINGS>\n");
    osg::ref_ptr<DSCaptureStream> stream = new DSCaptureStream(false, false);
    ASSERT_TRUE(stream->isValid());
    EXPECT_THAT(stream->GetDeviceFormatList(),
                ::testing::ElementsAre("640x480 30 16-bit", "320x240 30 16-bit", "1280x720 30 24-bit"));
    EXPECT_EQ(stream->GetCurrentFormat(), "320x240 30 16-bit");
    EXPECT_EQ(stream->GetVideoWidth(), 320);
    EXPECT_EQ(stream->GetVideoHeight(), 240);
    EXPECT_EQ(stream->s(), 320);
    EXPECT_FALSE(stream->GetVFlip());
    EXPECT_TRUE(stream->GetHFlip());
    EXPECT_THAT(log.Messages(), ::testing::IsSupersetOf(std::vector<std::string>{
                                    "DShowStream::CreateDeviceFormatList: Found default format index 0",
                                    kPrefix + "3 formats found",
                                    kPrefix + "Search for prefered format",
                                    kPrefix + "Prefered format found 320x240 30 16-bit",
                                    kPrefix + "Successfully set device format",
                                    "DShowStream::Constructor() Successful",
                                }));
    EXPECT_EQ(Settings(), settingsText("Cam A", "320x240 30 16-bit", 0, 1, 0,
                                       {"1280x720 60 24-bit", "320x240 30 16-bit"}));
    {
        std::lock_guard<std::mutex> lock(cam->mutex);
        ASSERT_FALSE(cam->formatsSet.empty());
        EXPECT_EQ(cam->formatsSet.back().width, 320u);
    }
}

TEST_F(CaptureStream, RequestedFormatOrTheDevicesOwn)
{
    struct Case
    {
        const char* requested;
        const char* chosen;
        const char* line;
    };
    for (const Case& c : {Case{"1280x720 30 24-bit", "1280x720 30 24-bit", "Requested format Found"},
                          Case{"800x600 30 16-bit", "640x480 30 16-bit",
                               "Requested format not avaliable using default 640x480 30 16-bit"}})
    {
        system->addTypicalCamera("/dev/video0", "Cam A");
        TestFolder::WriteFile(folder / kSettings, settingsText("Cam A", c.requested, 1, 1, 0));
        LogTail tail;
        osg::ref_ptr<DSCaptureStream> stream = new DSCaptureStream(false, false);
        EXPECT_TRUE(stream->isValid());
        EXPECT_EQ(stream->GetCurrentFormat(), c.chosen);
        EXPECT_EQ(tail.Count(kPrefix + "Search for requested format " + c.requested), 1);
        EXPECT_EQ(tail.Count(kPrefix + c.line), 1);
        EXPECT_EQ(Settings(), settingsText("Cam A", c.chosen, 1, 1, 0));
        stream = nullptr;
        system->remove("/dev/video0");
    }
}

TEST_F(CaptureStream, AFailedSettingsWriteKeepsTheOldFile)
{
    system->addTypicalCamera("/dev/video0", "Cam A");
    const std::string old = settingsText("Cam A", "NONE", 1, 1, 0, {"320x240 30 16-bit"});
    TestFolder::WriteFile(folder / kSettings, old);
    // The temporary sibling cannot be created: a folder is in its place.
    std::filesystem::create_directories(folder / (std::string(kSettings) + ".tmp~"));
    osg::ref_ptr<DSCaptureStream> stream = new DSCaptureStream(false, false);
    EXPECT_TRUE(stream->isValid());
    EXPECT_EQ(Settings(), old);
    EXPECT_EQ(log.Count("DShowStream::SaveSettings: Error: could not write Data/DSVideoSetings.dat"), 1);
}

TEST_F(CaptureStream, FramesArriveUprightAndMirroredByDefault)
{
    auto cam = system->addTypicalCamera("/dev/video0", "Cam A");
    for (int i = 0; i < 3; ++i) cam->frames.push_back(yuyvTopLeftBright(640, 480));
    osg::ref_ptr<DSCaptureStream> stream = new DSCaptureStream(false, false);
    ASSERT_TRUE(stream->isValid());
    EXPECT_TRUE(stream->GetVFlip() && stream->GetHFlip());
    WaitForFrames(cam, 3);
    for (int i = 0; i < 200 && stream->FramesPresented() == 0; ++i)
    {
        stream->UpdateStream();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_GT(stream->FramesPresented(), 0u);
    // First image row = top of the picture; the bright quarter is mirrored to the right.
    EXPECT_GT(stream->data(600, 10)[1], 200);
    EXPECT_LT(stream->data(40, 10)[1], 50);
    EXPECT_LT(stream->data(600, 470)[1], 50);
    stream->CleanUp();
    stream->CleanUp();
}

TEST_F(CaptureStream, ChangingTheFlipsLeavesTheShownFrameAndTurnsTheNext)
{
    auto cam = system->addTypicalCamera("/dev/video0", "Cam A");
    cam->frames.push_back(yuyvTopLeftBright(640, 480));
    osg::ref_ptr<DSCaptureStream> stream = new DSCaptureStream(false, false);
    ASSERT_TRUE(stream->isValid());
    for (int i = 0; i < 200 && stream->FramesPresented() == 0; ++i)
    {
        stream->UpdateStream();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(stream->FramesPresented(), 1u);
    const std::vector<unsigned char> shown(stream->data(), stream->data() + stream->FrameBytes());
    // Not mirrored any more, and the stream turned upside down on top.
    stream->SetHFlip(false);
    stream->SetFlipY(true);
    for (int i = 0; i < 20; ++i)
    {
        stream->UpdateStream();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(std::vector<unsigned char>(stream->data(), stream->data() + stream->FrameBytes()), shown);
    {
        std::lock_guard<std::mutex> lock(cam->mutex);
        cam->frames.push_back(yuyvTopLeftBright(640, 480));
    }
    for (int i = 0; i < 200 && stream->FramesPresented() < 2; ++i)
    {
        stream->UpdateStream();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(stream->FramesPresented(), 2u);
    EXPECT_GT(stream->data(40, 470)[1], 200) << "the bright quarter at the bottom left";
    EXPECT_LT(stream->data(40, 10)[1], 50);
    EXPECT_LT(stream->data(600, 470)[1], 50);
    EXPECT_EQ(Settings(), settingsText("Cam A", "640x480 30 16-bit", 1, 1, 0)) << "saved at connection only";
    stream->CleanUp();
}

TEST_F(CaptureStream, DeInterlacingHalvesTheHeight)
{
    auto cam = system->addCamera("/dev/video0", "PAL Grabber");
    cam->addFormat(fourcc('Y', 'U', 'Y', 'V'), {{720, 576}}, {{1, 25}});
    cam->current = {fourcc('Y', 'U', 'Y', 'V'), 720, 576, 1440, 720 * 576 * 2};
    cam->currentInterval = {1, 25};
    TestFolder::WriteFile(folder / kSettings, settingsText("NONE", "NONE", 1, 1, 1));
    osg::ref_ptr<DSCaptureStream> stream = new DSCaptureStream(false, false);
    ASSERT_TRUE(stream->isValid());
    EXPECT_EQ(stream->GetVideoWidth(), 720);
    EXPECT_EQ(stream->GetVideoHeight(), 288);
    EXPECT_EQ(stream->t(), 288);
    EXPECT_EQ(stream->GetCurrentFormat(), "720x576 25 16-bit");
}

TEST_F(CaptureStream, ACameraLostWhileStreamingLeavesTheLastFrame)
{
    auto cam = system->addTypicalCamera("/dev/video0", "Cam A");
    for (int i = 0; i < 5; ++i) cam->frames.push_back(yuyvTopLeftBright(640, 480));
    cam->unplugAfterFrames = 5;
    osg::ref_ptr<DSCaptureStream> stream = new DSCaptureStream(false, false);
    ASSERT_TRUE(stream->isValid());
    UpdateUntil(*stream, [&] { return !stream->isValid(); });
    EXPECT_FALSE(stream->isValid());
    EXPECT_FALSE(stream->IsStreaming());
    EXPECT_GT(stream->data(600, 10)[1], 200) << "the last frame stays";
    for (int i = 0; i < 5; ++i) stream->UpdateStream();
    EXPECT_EQ(log.Count("camera '/dev/video0' stopped working (No such device while"), 1);
    EXPECT_EQ(log.Count("DShowStream: Error: Lost the connection to device Cam A, showing the last frame"), 1);
    stream->CleanUp();
    stream = nullptr;
}

// The camera is unplugged and plugged in again: the stream picks it up by
// itself in the format and flips it had, and the new frames are shown.
TEST_F(CaptureStream, ACameraPluggedInAgainIsShownAgainInItsFormatAndFlips)
{
    auto cam = system->addTypicalCamera("/dev/video0", "Cam A");
    for (int i = 0; i < 3; ++i) cam->frames.push_back(yuyvTopLeftBright(320, 240));
    cam->unplugAfterFrames = 3;
    TestFolder::WriteFile(folder / kSettings, settingsText("Cam A", "320x240 30 16-bit", 1, 0, 0));
    osg::ref_ptr<DSCaptureStream> stream = new DSCaptureStream(false, false);
    ASSERT_TRUE(stream->isValid());
    UpdateUntil(*stream, [&] { return !stream->isValid(); });
    ASSERT_FALSE(stream->isValid());
    EXPECT_LT(stream->data(300, 10)[1], 50) << "the last frame: only its top left is bright";
    {
        std::lock_guard<std::mutex> lock(cam->mutex);
        cam->unplugged = false;
        cam->unplugAfterFrames = -1;
        cam->steadyFrame = yuyvTopBrightFrame(320, 240);
    }
    // The stream tries again a second after it noticed the loss (up to 5 s here).
    UpdateUntil(*stream, [&] { return stream->isValid() && stream->data(300, 10)[1] > 200; }, 1000);
    ASSERT_TRUE(stream->isValid());
    EXPECT_TRUE(stream->IsStreaming());
    EXPECT_EQ(stream->t(), 240);
    EXPECT_GT(stream->data(300, 10)[1], 200) << "a new frame, upright";
    EXPECT_LT(stream->data(300, 230)[1], 50);
    {
        std::lock_guard<std::mutex> lock(cam->mutex);
        EXPECT_EQ(cam->formatsSet.back().width, 320u);
    }
    EXPECT_EQ(log.Count("camera '/dev/video0' stopped working (No such device while"), 1);
    EXPECT_EQ(log.Count("DShowStream: Error: Lost the connection to device Cam A, showing the last frame"), 1);
    EXPECT_EQ(log.Count("camera '/dev/video0' is back; capture resumed"), 1);
    // Lost again and closed while it is waited for: nothing stays open.
    {
        std::lock_guard<std::mutex> lock(cam->mutex);
        cam->unplugAfterFrames = cam->framesDequeued + 1;
    }
    UpdateUntil(*stream, [&] { return !stream->isValid(); });
    EXPECT_FALSE(stream->isValid());
    stream->CleanUp();
    stream->UpdateStream();
    std::lock_guard<std::mutex> lock(cam->mutex);
    EXPECT_EQ(cam->opens, cam->closes);
}

struct Fault
{
    const char* name;
    void (*inject)(FakeCamera& cam);
    bool valid;
    const char* line;   // logged exactly once
    const char* box;    // standard error
};

TEST_F(CaptureStream, InjectedFaultsGiveOneLineEachAndNoHang)
{
    const Fault faults[] = {
        {"busy when setting the format", [](FakeCamera& c) { c.errors["setFormat"] = {EBUSY}; }, false,
         "camera '/dev/video0' is busy: cannot set 640x480 30 16-bit (in use by another program)", ""},
        {"no USB bandwidth", [](FakeCamera& c) { c.errors["streamOn"] = {ENOSPC}; }, false,
         "camera '/dev/video0': not enough USB bandwidth to stream 640x480 30 16-bit",
         "Webcam error: Failed to connect to device 'Cam A' please ensure the device is correctly connected and "
         "installed\n"},
        {"no frame ready", [](FakeCamera& c) { c.stickyErrors["wait"] = EAGAIN; }, true,
         "camera '/dev/video0': no frame ready", ""},
        {"a silent camera", [](FakeCamera&) {}, true, "camera '/dev/video0': no frame for 250 ms", ""},
        {"no frame rate", [](FakeCamera& c) {
             c.formats.clear();
             c.addFormat(fourcc('Y', 'U', 'Y', 'V'), {{640, 480}}, {{0, 0}});
             c.currentInterval = {0, 0};
             c.frames.push_back(yuyvTopBrightFrame(640, 480));
         },
         true, "camera '/dev/video0' gives no frame rate for 640x480 0 16-bit; waiting up to 1000 ms per frame", ""},
        {"truncated MJPEG", [](FakeCamera& c) {
             c.formats.clear();
             c.addFormat(fourcc('M', 'J', 'P', 'G'), {{320, 240}}, {{1, 30}});
             c.current = {fourcc('M', 'J', 'P', 'G'), 320, 240, 0, 320 * 240 * 2};
             std::vector<uint8_t> good = mjpegTopBrightFrame(320, 240);
             std::vector<uint8_t> cut(good.begin(), good.begin() + good.size() / 2);
             c.frames = {cut, cut, good};
         },
         true, "camera '/dev/video0': dropped a truncated frame", ""},
    };
    for (const Fault& f : faults)
    {
        SCOPED_TRACE(f.name);
        auto cam = system->addTypicalCamera("/dev/video0", "Cam A");
        f.inject(*cam);
        std::filesystem::remove(folder / kSettings);
        ::testing::internal::GetCapturedStderr();
        ::testing::internal::CaptureStderr();
        LogTail tail;
        osg::ref_ptr<DSCaptureStream> stream = new DSCaptureStream(false, false);
        EXPECT_EQ(stream->isValid(), f.valid);
        for (int i = 0; i < 120; ++i)  // 0.6 s of engine frames
        {
            stream->UpdateStream();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        stream->CleanUp();
        stream->UpdateStream();
        EXPECT_EQ(tail.Count(f.line), 1) << ::testing::PrintToString(tail.Messages());
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), f.box);
        ::testing::internal::CaptureStderr();
        if (std::string(f.name) == "truncated MJPEG")
        {
            EXPECT_EQ(stream->FramesPresented(), 1u) << "only the whole frame is shown";
            EXPECT_GT(stream->data(160, 10)[1], 180);
        }
        stream = nullptr;
        system->remove("/dev/video0");
    }
}

TEST_F(CaptureStream, ConnectingTwiceInARowWorksBothTimes)
{
    auto cam = system->addTypicalCamera("/dev/video0", "Cam A");
    for (int round = 0; round < 2; ++round)
    {
        osg::ref_ptr<DSCaptureStream> stream = new DSCaptureStream(false, false);
        EXPECT_TRUE(stream->isValid()) << "round " << round;
        stream->StartStream();
        stream->stop();
        stream->StartStream();
        stream->CleanUp();
    }
    std::lock_guard<std::mutex> lock(cam->mutex);
    EXPECT_EQ(cam->streamOns, 2);
    EXPECT_EQ(cam->opens, cam->closes);
}

TEST_F(CaptureStream, DeviceControlsStandForThePropertyPages)
{
    auto cam = system->addTypicalCamera("/dev/video0", "Cam A");
    VideoControl brightness;
    brightness.id = 0x00980900;
    brightness.name = "Brightness";
    brightness.minimum = 0;
    brightness.maximum = 255;
    brightness.value = 128;
    cam->controls.push_back(brightness);
    osg::ref_ptr<DSCaptureStream> stream = new DSCaptureStream(false, false);
    ASSERT_TRUE(stream->isValid());
    const std::vector<CDSUtils::Property> props = stream->GetProperties();
    ASSERT_EQ(props.size(), 1u);
    EXPECT_EQ(props[0].name, "Brightness");
    EXPECT_FALSE(stream->SetProperty(brightness.id, 300));
    EXPECT_TRUE(stream->SetProperty(brightness.id, 100));
    int32_t value = 0;
    EXPECT_TRUE(stream->GetProperty(brightness.id, value));
    EXPECT_EQ(value, 100);
    stream->DisplayProperties();
    EXPECT_EQ(log.Count("Brightness = 100 (0..255, step 1)"), 1);
    std::vector<std::string> names;
    EXPECT_EQ(CDSUtils::EnumerateDevices(names), 1);
    EXPECT_THAT(names, ::testing::ElementsAre("Cam A"));
}

TEST_F(CaptureStream, TheGrabberStreamConnectsTheSameWayAndDeliversThroughTheSharedCallback)
{
    auto cam = system->addTypicalCamera("/dev/video0", "Cam A");
    for (int i = 0; i < 3; ++i) cam->frames.push_back(yuyvTopLeftBright(640, 480));
    osg::ref_ptr<BlackMagicStream> stream = new BlackMagicStream(false, false);
    ASSERT_TRUE(stream->isValid());
    EXPECT_STREQ(stream->className(), "BlackMagicStream");
    EXPECT_TRUE(stream->isRunning());
    stream->StartStream();
    WaitForFrames(cam, 3);
    for (int i = 0; i < 200 && stream->FramesPresented() == 0; ++i)
    {
        stream->UpdateStream();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_GT(stream->data(600, 10)[1], 200);
    EXPECT_EQ(Settings(), settingsText("Cam A", "640x480 30 16-bit", 1, 1, 0));
    stream->CleanUp();
    stream = nullptr;  // the destructor ends the housekeeping thread
}
}
