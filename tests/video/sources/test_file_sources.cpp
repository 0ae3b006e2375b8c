// File sources on real clips whose frames carry their own numbers: order,
// looping, rewinding, frame-locking, sound as the clock, and broken files.
#include "CDShowVideoStream.h"
#include "CMJVidStream.h"
#include "CamVidStream.h"
#include "SourceTestSupport.h"

#include "CamVideo.h"
#include "FakeVideoSystem.h"
#include "OpenAlOutput.h"
#include "TestClips.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

using sourcetest::Clip;
using sourcetest::FrameNumber;
using sourcetest::LogTail;
using namespace vexa::media::testing;

namespace
{
using Clock = std::chrono::steady_clock;

// Frame numbers shown while calling UpdateStream for `seconds`, each change once.
std::vector<int> Watch(CVideoStream* stream, double seconds)
{
    std::vector<int> shown;
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end)
    {
        stream->UpdateStream();
        const int n = FrameNumber(*stream);
        if (shown.empty() || shown.back() != n) shown.push_back(n);
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
    return shown;
}

// Every step goes forward by a few frames (more only if this thread was kept
// waiting), wrapping at `count`.
void ExpectForwardInOrder(const std::vector<int>& shown, int count)
{
    for (size_t i = 1; i < shown.size(); ++i)
    {
        const int step = (shown[i] - shown[i - 1] + count) % count;
        EXPECT_TRUE(step >= 1 && step <= count / 3) << shown[i - 1] << " then " << shown[i];
    }
}

// With forward steps only, a smaller number after a larger one is a wrap.
bool Wrapped(const std::vector<int>& shown)
{
    for (size_t i = 1; i < shown.size(); ++i)
        if (shown[i] < shown[i - 1]) return true;
    return false;
}

TEST(MovieStream, PlaysInOrderAtItsOwnPaceAndLoops)
{
    osg::ref_ptr<CMJVidStream> movie = new CMJVidStream(Clip(160, 120, 20, 25), false);
    ASSERT_TRUE(movie->isValid());
    EXPECT_STREQ(movie->className(), "MJVidStream");
    EXPECT_EQ(movie->GetFrameCount(), 20);
    EXPECT_EQ(movie->GetMillisecondsPerFrame(), 40);
    EXPECT_EQ(movie->GetFrameInterval(), 40);
    EXPECT_EQ(movie->s(), 160);
    EXPECT_EQ(movie->t(), 120);
    EXPECT_TRUE(movie->isRunning());
    Watch(movie.get(), 0.1);
    EXPECT_EQ(movie->FramesPresented(), 0u) << "no frames before StartStream";
    movie->StartStream();
    const std::vector<int> shown = Watch(movie.get(), 1.2);
    ASSERT_GT(shown.size(), 10u);
    ExpectForwardInOrder(shown, 20);
    EXPECT_TRUE(Wrapped(shown)) << ::testing::PrintToString(shown);
}

TEST(MovieStream, RewindRestartsAtTheFirstFrame)
{
    osg::ref_ptr<CMJVidStream> movie = new CMJVidStream(Clip(160, 120, 60, 25), false);
    ASSERT_TRUE(movie->isValid());
    movie->StartStream();
    std::vector<int> shown = Watch(movie.get(), 0.5);
    ASSERT_FALSE(shown.empty());
    ASSERT_GE(shown.back(), 5);
    movie->rewind();
    shown = Watch(movie.get(), 0.2);
    ASSERT_FALSE(shown.empty());
    EXPECT_LE(shown.back(), 7) << ::testing::PrintToString(shown);
    EXPECT_THAT(shown, ::testing::Contains(::testing::Le(2)));
}

TEST(MovieStream, LoadNewStreamPlaysTheNewFileWithinItsOwnLength)
{
    osg::ref_ptr<CMJVidStream> movie = new CMJVidStream(Clip(160, 120, 60, 50), false);
    ASSERT_TRUE(movie->isValid());
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(movie->LoadNewStream((sourcetest::ScratchFolder() + "/none.mp4").c_str()));
    EXPECT_FALSE(movie->LoadNewStream(Clip(96, 72, 5, 25).c_str()));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "Failed to open new video stream " + sourcetest::ScratchFolder() + "/none.mp4\n" +
                  "Failed to attach to the new video stream " + Clip(96, 72, 5, 25) + "\n");
    ASSERT_TRUE(movie->LoadNewStream(Clip(160, 120, 7, 50).c_str()));
    EXPECT_EQ(movie->GetFrameCounter(), 0);
    movie->StartStream();
    const std::vector<int> shown = Watch(movie.get(), 0.6);
    ASSERT_FALSE(shown.empty());
    for (int n : shown) EXPECT_LT(n, 7);
    EXPECT_TRUE(Wrapped(shown)) << ::testing::PrintToString(shown);
}

struct BrokenFile
{
    const char* name;
    std::string (*make)();
};

const BrokenFile kBroken[] = {
    {"missing", [] { return sourcetest::ScratchFolder() + "/missing.mp4"; }},
    {"truncated", [] {
         const std::string cut = sourcetest::ScratchFolder() + "/truncated.mp4";
         copyTruncated(Clip(160, 120, 30, 25), cut, fileSize(Clip(160, 120, 30, 25)) / 2);
         return cut;
     }},
    {"corrupt", [] {
         const std::string bad = sourcetest::ScratchFolder() + "/corrupt.mp4";
         copyCorrupted(Clip(160, 120, 30, 25), bad, 0, 256);
         return bad;
     }},
    {"not a video", [] {
         const std::string text = sourcetest::ScratchFolder() + "/notes.mp4";
         FILE* f = std::fopen(text.c_str(), "w");
         std::fputs("just some words, no pictures\n", f);
         std::fclose(f);
         return text;
     }},
};

TEST(BrokenFiles, EverySourceReportsThemAndStaysInvalid)
{
    for (const BrokenFile& b : kBroken)
    {
        SCOPED_TRACE(b.name);
        const std::string path = b.make();
        {
            LogTail log;
            osg::ref_ptr<CMJVidStream> movie = new CMJVidStream(path, false);
            EXPECT_FALSE(movie->isValid());
            EXPECT_EQ(log.Count("MJVidStream: Error: "), 1);
            movie->StartStream();
            movie->UpdateStream();
        }
        {
            LogTail log;
            osg::ref_ptr<CDShowVideoStream> media = new CDShowVideoStream(path);
            EXPECT_FALSE(media->isValid());
            EXPECT_EQ(log.Count("DShowVideoStream: Error: Failed to open Source " + path), 1);
            media->StartStream();
            media->UpdateStream();
        }
        {
            ::testing::internal::CaptureStderr();
            osg::ref_ptr<CamVidStream> cam = new CamVidStream("file " + path + " loop");
            EXPECT_FALSE(cam->isValid());
            cam->StartStream();
            cam->UpdateStream();
            cam = nullptr;
            const std::string err = ::testing::internal::GetCapturedStderr();
            EXPECT_THAT(err, ::testing::HasSubstr("camera library: "));
            EXPECT_THAT(err, ::testing::EndsWith("setupCamera(): Unable to open connection to camera.\n"));
        }
    }
}

// Frame numbers shown over `frames` engine frames of a frame-locked run.
std::vector<int> LockedRun(const std::string& clip, int frames)
{
    osg::ref_ptr<CamVidStream> stream = new CamVidStream("file " + clip + " loop\n");
    EXPECT_TRUE(stream->isValid());
    EXPECT_TRUE(stream->IsFrameLocked());
    EXPECT_FALSE(stream->isRunning()) << "frame-locked: no capture thread";
    stream->StartStream();
    std::vector<int> shown;
    for (int i = 0; i < frames; ++i)
    {
        stream->UpdateStream();
        shown.push_back(FrameNumber(*stream));
    }
    stream->stop();
    stream->CleanUp();
    return shown;
}

TEST(CameraLibraryStream, FrameLockedEachEngineFrameShowsTheNextFrameTheSameEveryRun)
{
    CamVidStream::SetFileFramesLocked(true);
    const std::string clip = Clip(160, 120, 30, 25);
    const std::vector<int> first = LockedRun(clip, 45);
    std::vector<int> expected;
    for (int i = 0; i < 45; ++i) expected.push_back(i % 30);
    EXPECT_EQ(first, expected);
    EXPECT_EQ(LockedRun(clip, 45), first);
    CamVidStream::SetFileFramesLocked(false);
}

// The first frame of a frame-locked file through the camera library, with the
// stream's flips.
std::vector<unsigned char> FirstFrame(const std::string& clip, bool flipX, bool flipY)
{
    osg::ref_ptr<CamVidStream> stream = new CamVidStream("file " + clip + " loop");
    EXPECT_TRUE(stream->isValid());
    stream->SetFlipX(flipX);
    stream->SetFlipY(flipY);
    stream->StartStream();
    stream->UpdateStream();
    EXPECT_EQ(stream->FramesPresented(), 1u);
    std::vector<unsigned char> frame(stream->data(), stream->data() + stream->FrameBytes());
    stream->CleanUp();
    return frame;
}

TEST(CameraLibraryStream, FlipsTurnTheFramesAsTheyAreConverted)
{
    CamVidStream::SetFileFramesLocked(true);
    const int w = 160, h = 120;
    const std::string clip = Clip(w, h, 30, 25);
    const std::vector<unsigned char> upright = FirstFrame(clip, false, false);
    // Upright: frame 0's number reads from the top-down image.
    osg::ref_ptr<osg::Image> image = new osg::Image;
    image->setImage(w, h, 1, GL_RGB, GL_BGR, GL_UNSIGNED_BYTE, const_cast<unsigned char*>(upright.data()),
                    osg::Image::NO_DELETE);
    EXPECT_EQ(FrameNumber(*image), 0);
    struct Case
    {
        bool flipX, flipY;
    };
    for (const Case& c : {Case{true, false}, Case{false, true}, Case{true, true}})
    {
        SCOPED_TRACE(::testing::Message() << "flipX " << c.flipX << " flipY " << c.flipY);
        const std::vector<unsigned char> turned = FirstFrame(clip, c.flipX, c.flipY);
        int wrong = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int ch = 0; ch < 3; ++ch)
                {
                    const int from = ((c.flipY ? h - 1 - y : y) * w + (c.flipX ? w - 1 - x : x)) * 3 + ch;
                    wrong += std::abs(turned[static_cast<size_t>(y * w + x) * 3 + ch] - upright[from]) > 3;
                }
        EXPECT_EQ(wrong, 0);
    }
    CamVidStream::SetFileFramesLocked(false);
}

TEST(CameraLibraryStream, InRealTimeAFilePlaysAtItsOwnRate)
{
    CamVidStream::SetFileFramesLocked(false);
    osg::ref_ptr<CamVidStream> stream = new CamVidStream("file " + Clip(160, 120, 100, 25) + " loop");
    ASSERT_TRUE(stream->isValid());
    EXPECT_FALSE(stream->IsFrameLocked());
    EXPECT_TRUE(stream->isRunning());
    EXPECT_EQ(stream->GetFrameInterval(), 10);
    EXPECT_STREQ(stream->getPixelFormat() == GL_BGR ? "BGR" : "other", "BGR");
    stream->StartStream();
    const auto start = Clock::now();
    const std::vector<int> shown = Watch(stream.get(), 1.2);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    ASSERT_FALSE(shown.empty());
    ExpectForwardInOrder(shown, 100);
    // 25 frames per second, with room for a busy machine.
    EXPECT_NEAR(shown.back(), 25.0 * seconds, 8.0) << ::testing::PrintToString(shown);
    stream->CleanUp();
}

TEST(CameraLibraryStream, ACameraThroughTheLibraryAndNoCameraAtAll)
{
    auto system = std::make_shared<FakeVideoSystem>();
    camVideoSetDeviceFactory(system);
    {
        ::testing::internal::CaptureStderr();
        osg::ref_ptr<CamVidStream> none = new CamVidStream();
        EXPECT_FALSE(none->isValid());
        EXPECT_EQ(::testing::internal::GetCapturedStderr(),
                  "camera library: no camera found\nsetupCamera(): Unable to open connection to camera.\n");
    }
    auto cam = system->addTypicalCamera("/dev/video0", "Cam A");
    for (int i = 0; i < 4; ++i) cam->frames.push_back(yuyvTopBrightFrame(640, 480));
    {
        osg::ref_ptr<CamVidStream> stream = new CamVidStream("v4l2 /dev/video0 320x240");
        ASSERT_TRUE(stream->isValid());
        EXPECT_FALSE(stream->IsFileSource());
        EXPECT_EQ(stream->GetFrameInterval(), 33);
        EXPECT_EQ(stream->s(), 320);
        stream->StartStream();
        for (int i = 0; i < 300 && stream->FramesPresented() < 1; ++i)
        {
            stream->UpdateStream();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_GE(stream->FramesPresented(), 1u);
        stream->CleanUp();
        stream->CleanUp();
    }
    camVideoSetDeviceFactory(nullptr);
}

TEST(MediaStream, ThePictureFollowsTheSoundAndBothLoop)
{
    vexa::media::OpenAlOutput output;
    ASSERT_TRUE(output.open()) << output.lastError();
    LogTail log;
    osg::ref_ptr<CDShowVideoStream> media = new CDShowVideoStream(Clip(160, 120, 15, 25, true));
    ASSERT_TRUE(media->isValid());
    EXPECT_STREQ(media->className(), "DShowVideoStream");
    EXPECT_TRUE(media->HasSound());
    EXPECT_EQ(FrameNumber(*media), 0) << "paused on the first frame";
    media->StartStream();
    const std::vector<int> shown = Watch(media.get(), 0.9);
    const double position = media->GetPosition();
    EXPECT_GT(position, 0.4) << "the sound plays";
    ExpectForwardInOrder(shown, 15);
    EXPECT_TRUE(Wrapped(shown)) << ::testing::PrintToString(shown);
    media->stop();
    const double paused = media->GetPosition();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_NEAR(media->GetPosition(), paused, 0.05) << "stop pauses the sound";
    media->rewind();
    EXPECT_LT(media->GetPosition(), 0.05);
    media->StartStream();
    const std::vector<int> again = Watch(media.get(), 0.15);
    ASSERT_FALSE(again.empty());
    EXPECT_THAT(again, ::testing::Contains(::testing::Le(2))) << "from the start again";
    EXPECT_LE(again.back(), 6);
    media->CleanUp();
    EXPECT_THAT(log.Messages(), ::testing::IsSupersetOf(std::vector<std::string>{"DShowVideoStream::Construstor()....",
                                                         "DShowVideoStream: Constructor : File Source opened",
                                                         "DShowVideoStream: Constructor : complete",
                                                         "DShowVideoStream:CleanUp()...",
                                                         "DShowVideoStream:CleanUp : Complete"}));
}

TEST(MediaStream, ASilentFilePlaysOnTheWallClock)
{
    osg::ref_ptr<CDShowVideoStream> media = new CDShowVideoStream(Clip(160, 120, 20, 50));
    ASSERT_TRUE(media->isValid());
    EXPECT_FALSE(media->HasSound());
    media->StartStream();
    const std::vector<int> shown = Watch(media.get(), 0.6);
    ExpectForwardInOrder(shown, 20);
    EXPECT_TRUE(Wrapped(shown)) << ::testing::PrintToString(shown);
}
}
