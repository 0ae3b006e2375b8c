#include "MediaFileReader.h"
#include "TestClips.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

using vexa::media::MediaFileReader;
namespace t = vexa::media::testing;
using RR = MediaFileReader::ReadResult;

namespace {

// Clips shared by the tests of this file, made once.
class ReaderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = t::makeTempDir("reader");
        t::ClipSpec spec;
        spec.frames = 30;
        ASSERT_EQ("", t::makeClip(dir_ + "/h264.mp4", spec));
        spec.preferH264 = false;
        ASSERT_EQ("", t::makeClip(dir_ + "/mpeg4.mkv", spec));
        spec.preferH264 = true;
        spec.audioSampleRate = 44100;
        spec.audioChannels = 2;
        ASSERT_EQ("", t::makeClip(dir_ + "/sound.mp4", spec));
        ASSERT_EQ("", t::makeClip(dir_ + "/sound.avi", spec));
    }
    static std::string clip(const char* name) { return dir_ + "/" + name; }

    // Reads frames until the end or 'limit'; returns their numbers.
    static std::vector<int> readNumbers(MediaFileReader& r, int limit, bool bottomUp = false) {
        std::vector<uint8_t> px(static_cast<size_t>(r.info().width) * r.info().height * 4);
        std::vector<int> numbers;
        while (static_cast<int>(numbers.size()) < limit &&
               r.readNextFrame(px.data(), r.info().width * 4, bottomUp) == RR::Frame)
            numbers.push_back(t::readFrameNumber(px.data(), r.info().width, r.info().height, r.info().width * 4, bottomUp));
        return numbers;
    }
    static std::vector<int> range(int from, int count) {
        std::vector<int> v;
        for (int i = 0; i < count; ++i) v.push_back(from + i);
        return v;
    }
    static std::string dir_;
};
std::string ReaderTest::dir_;

TEST_F(ReaderTest, InfoOfEachContainer) {
    struct Case { const char* file; bool audio; const char* codec; };
    for (const Case& c : {Case{"h264.mp4", false, "h264"}, Case{"mpeg4.mkv", false, "mpeg4"},
                          Case{"sound.mp4", true, "h264"}, Case{"sound.avi", true, "mpeg4"}}) {
        SCOPED_TRACE(c.file);
        MediaFileReader r;
        ASSERT_TRUE(r.open(clip(c.file))) << r.lastError();
        EXPECT_EQ(160, r.info().width);
        EXPECT_EQ(120, r.info().height);
        EXPECT_NEAR(25.0, r.info().frameRate, 0.01);
        EXPECT_NEAR(30, r.info().frameCount, 1);
        EXPECT_NEAR(1.2, r.info().durationSeconds, 0.1);
        EXPECT_EQ(c.audio, r.info().hasAudio);
        EXPECT_EQ(c.codec, r.info().videoCodec);
    }
}

TEST_F(ReaderTest, FrameLockedReadGivesEveryFrameInOrderThenEnd) {
    for (const char* file : {"h264.mp4", "mpeg4.mkv", "sound.avi"}) {
        SCOPED_TRACE(file);
        MediaFileReader r;
        ASSERT_TRUE(r.open(clip(file))) << r.lastError();
        EXPECT_EQ(range(0, 30), readNumbers(r, 100));
        std::vector<uint8_t> px(160 * 120 * 4, 7);
        EXPECT_EQ(RR::EndOfStream, r.readNextFrame(px.data(), 160 * 4));
        EXPECT_EQ(RR::EndOfStream, r.readNextFrame(px.data(), 160 * 4));
        EXPECT_EQ(7, px[0]);  // buffer untouched at the end
        EXPECT_EQ(30, r.framesDelivered());
        EXPECT_EQ(29, r.currentFrameIndex());
        EXPECT_FALSE(r.endedEarly());
        EXPECT_EQ("", r.lastError());
    }
}

TEST_F(ReaderTest, LoopingWrapsToFrameZero) {
    MediaFileReader r;
    ASSERT_TRUE(r.open(clip("h264.mp4")));
    r.setLooping(true);
    std::vector<int> expected;
    for (int i = 0; i < 75; ++i) expected.push_back(i % 30);
    EXPECT_EQ(expected, readNumbers(r, 75));
    EXPECT_EQ(75, r.framesDelivered());
    EXPECT_EQ(14, r.currentFrameIndex());
}

TEST_F(ReaderTest, RewindRestartsAtFirstFrameEveryTime) {
    for (const char* file : {"sound.mp4", "mpeg4.mkv"}) {
        SCOPED_TRACE(file);
        MediaFileReader r;
        ASSERT_TRUE(r.open(clip(file)));
        EXPECT_EQ(range(0, 10), readNumbers(r, 10));
        ASSERT_TRUE(r.rewind());
        EXPECT_EQ(range(0, 5), readNumbers(r, 5));
        ASSERT_TRUE(r.rewind());
        EXPECT_EQ(range(0, 30), readNumbers(r, 40));  // and after the end
        ASSERT_TRUE(r.rewind());
        EXPECT_EQ(range(0, 3), readNumbers(r, 3));
    }
}

TEST_F(ReaderTest, BottomUpRowsAreTheTopDownRowsReversed) {
    MediaFileReader a, b;
    ASSERT_TRUE(a.open(clip("h264.mp4")));
    ASSERT_TRUE(b.open(clip("h264.mp4")));
    const int w = 160, h = 120, stride = w * 4 + 64;  // padded rows
    std::vector<uint8_t> top(static_cast<size_t>(stride) * h), bottom(static_cast<size_t>(stride) * h);
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(RR::Frame, a.readNextFrame(top.data(), stride, false));
        ASSERT_EQ(RR::Frame, b.readNextFrame(bottom.data(), stride, true));
    }
    for (int y = 0; y < h; ++y)
        ASSERT_EQ(0, std::memcmp(&top[static_cast<size_t>(y) * stride], &bottom[static_cast<size_t>(h - 1 - y) * stride], w * 4))
            << "row " << y;
    EXPECT_EQ(3, t::readFrameNumber(bottom.data(), w, h, stride, true));
}

TEST_F(ReaderTest, PacingGivesTheFrameDueAtEachClockTime) {
    MediaFileReader r;
    ASSERT_TRUE(r.open(clip("h264.mp4")));
    struct Step { double t; RR result; int number; };
    const Step steps[] = {{0.0, RR::Frame, 0},       {0.01, RR::NoNewFrame, 0}, {0.04, RR::Frame, 1},
                          {0.2, RR::Frame, 5},       {0.1, RR::NoNewFrame, 5},  {0.5, RR::Frame, 12},
                          {5.0, RR::EndOfStream, 12}};  // past the end without looping: last frame stays
    std::vector<uint8_t> px(160 * 120 * 4);
    for (const Step& s : steps) {
        SCOPED_TRACE(s.t);
        const RR got = r.readFrameDueAt(s.t, px.data(), 160 * 4);
        EXPECT_EQ(s.result, got);
        EXPECT_EQ(s.number, t::readFrameNumber(px.data(), 160, 120, 160 * 4));
    }
    EXPECT_EQ(0, r.frameDueAt(0.0));
    EXPECT_EQ(29, r.frameDueAt(99.0));
    r.setLooping(true);
    EXPECT_EQ(5, r.frameDueAt(1.4));  // 35 % 30
    ASSERT_TRUE(r.rewind());
    EXPECT_EQ(RR::Frame, r.readFrameDueAt(1.4, px.data(), 160 * 4));
    EXPECT_EQ(5, t::readFrameNumber(px.data(), 160, 120, 160 * 4));
    // A long stall: whole rounds are skipped, the frame due is still right.
    EXPECT_EQ(RR::Frame, r.readFrameDueAt(3600.0 + 0.4, px.data(), 160 * 4));
    EXPECT_EQ(static_cast<int>((3600 * 25 + 10) % 30), t::readFrameNumber(px.data(), 160, 120, 160 * 4));
    EXPECT_EQ(3600 * 25 + 10 + 1, r.framesDelivered());
    EXPECT_EQ(RR::Frame, r.readFrameDueAt(3600.0 + 0.48, px.data(), 160 * 4));
    EXPECT_EQ(static_cast<int>((3600 * 25 + 12) % 30), t::readFrameNumber(px.data(), 160, 120, 160 * 4));
}

// A 16-bit mono WAV file: sound but no picture.
void writeWav(const std::string& path) {
    std::ofstream f(path, std::ios::binary);
    const int rate = 8000, samples = 8000;
    auto u32 = [&](uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
    f << "RIFF"; u32(36 + samples * 2); f << "WAVEfmt "; u32(16); u16(1); u16(1); u32(rate); u32(rate * 2); u16(2); u16(16);
    f << "data"; u32(samples * 2);
    for (int i = 0; i < samples; ++i) u16(static_cast<uint16_t>((i * 50) & 0x7fff));
}

TEST_F(ReaderTest, BadFilesGiveOneClearLine) {
    const std::string d = dir_;
    ASSERT_TRUE(t::copyTruncated(clip("h264.mp4"), d + "/cut.mp4", t::fileSize(clip("h264.mp4")) / 2));
    ASSERT_TRUE(t::copyTruncated(clip("h264.mp4"), d + "/empty.mp4", 0));
    ASSERT_TRUE(t::copyCorrupted(clip("mpeg4.mkv"), d + "/header.mkv", 0, 4096));
    { std::ofstream(d + "/notes.avi") << "this is not a video\n"; }
    writeWav(d + "/sound.wav");
    struct Case { std::string file; std::string message; };
    const Case cases[] = {
        {d + "/absent.mp4", "cannot open video file '" + d + "/absent.mp4': file not found"},
        {d + "/cut.mp4", "cannot open video file '" + d + "/cut.mp4': Invalid data found when processing input (not a video file, truncated or corrupt)"},
        {d + "/empty.mp4", "cannot open video file '" + d + "/empty.mp4': Invalid data found when processing input (not a video file, truncated or corrupt)"},
        {d + "/header.mkv", "cannot open video file '" + d + "/header.mkv': Invalid data found when processing input (not a video file, truncated or corrupt)"},
        {d + "/notes.avi", "cannot open video file '" + d + "/notes.avi': Invalid data found when processing input (not a video file, truncated or corrupt)"},
        {d + "/sound.wav", "'" + d + "/sound.wav' has no video stream"},
        {d, "cannot open video file '" + d + "': file not found"},
    };
    for (const Case& c : cases) {
        MediaFileReader r;
        EXPECT_FALSE(r.open(c.file));
        EXPECT_EQ(c.message, r.lastError());
        EXPECT_FALSE(r.isOpen());
        std::vector<uint8_t> px(160 * 120 * 4);
        EXPECT_EQ(RR::Error, r.readNextFrame(px.data(), 160 * 4));
        EXPECT_EQ(0, r.readAudio(nullptr, 0));
    }
}

TEST_F(ReaderTest, DamagedTailsAndMiddlesEndReadingWithoutHanging) {
    const std::string d = dir_;
    const long size = t::fileSize(clip("mpeg4.mkv"));
    ASSERT_TRUE(t::copyTruncated(clip("mpeg4.mkv"), d + "/tail.mkv", size * 6 / 10));
    ASSERT_TRUE(t::copyCorrupted(clip("mpeg4.mkv"), d + "/middle.mkv", size / 2, 300));
    ASSERT_TRUE(t::copyTruncated(clip("sound.avi"), d + "/tail.avi", t::fileSize(clip("sound.avi")) * 7 / 10));
    int early = 0;
    for (const char* name : {"tail.mkv", "middle.mkv", "tail.avi"}) {
        SCOPED_TRACE(name);
        MediaFileReader r;
        ASSERT_TRUE(r.open(d + "/" + name)) << r.lastError();
        const std::vector<int> got = readNumbers(r, 100);
        EXPECT_GE(got.size(), 5u);
        EXPECT_LE(got.size(), 30u);
        EXPECT_EQ(0, got.front());
        if (got.size() < 29u) {
            ++early;
            EXPECT_TRUE(r.endedEarly());
            EXPECT_EQ("'" + d + "/" + name + "' ended after " + std::to_string(got.size()) + " of 30 frames (truncated or damaged file)",
                      r.lastError());
        }
        r.setLooping(true);  // looping over a damaged file still progresses and wraps
        ASSERT_TRUE(r.rewind());
        EXPECT_EQ(70u, readNumbers(r, 70).size());
    }
    EXPECT_GE(early, 2);  // both cut files announce more frames than they hold
}

TEST_F(ReaderTest, AudioIsDecodedResampledAndRewound) {
    MediaFileReader r;
    ASSERT_TRUE(r.open(clip("sound.mp4")));
    EXPECT_EQ(44100, r.info().fileSampleRate);
    EXPECT_EQ(2, r.info().fileChannels);
    EXPECT_EQ(44100, r.audioSampleRate());
    r.setAudioOutput(22050, 1);
    std::vector<int16_t> pcm(1000);
    long total = 0, peak = 0;
    for (int n; (n = r.readAudio(pcm.data(), 1000)) > 0;) {
        total += n;
        for (int i = 0; i < n; ++i) peak = std::max<long>(peak, std::abs(pcm[static_cast<size_t>(i)]));
    }
    EXPECT_NEAR(22050 * 1.2, total, 2048);  // 1.2 s, give or take encoder padding
    EXPECT_GT(peak, 6000);                    // the 8000-amplitude tone
    EXPECT_EQ(total, r.audioFramesRead());
    ASSERT_TRUE(r.rewind());
    EXPECT_EQ(0, r.audioFramesRead());
    EXPECT_EQ(1000, r.readAudio(pcm.data(), 1000));
    r.setLooping(true);
    long looped = 0;
    for (int i = 0; i < 60; ++i) looped += r.readAudio(pcm.data(), 1000);
    EXPECT_EQ(60000, looped);  // 2.7 s from a 1.2 s clip
    // Video continues independently of the audio reads.
    EXPECT_EQ(range(0, 4), readNumbers(r, 4));
}

TEST_F(ReaderTest, OpenTwiceAndCloseTwice) {
    MediaFileReader r;
    ASSERT_TRUE(r.open(clip("sound.mp4")));
    EXPECT_EQ(range(0, 3), readNumbers(r, 3));
    ASSERT_TRUE(r.open(clip("mpeg4.mkv")));
    EXPECT_FALSE(r.info().hasAudio);
    EXPECT_EQ(range(0, 3), readNumbers(r, 3));
    r.close();
    r.close();
    EXPECT_FALSE(r.isOpen());
    EXPECT_FALSE(r.open(clip("absent.mkv")));
    EXPECT_TRUE(r.open(clip("h264.mp4")));
}

}  // namespace
