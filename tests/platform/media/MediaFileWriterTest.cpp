#include "MediaFileWriter.h"
#include "TestClips.h"

#include <gtest/gtest.h>

#include <vector>

using vexa::media::MediaFileWriter;
namespace t = vexa::media::testing;

namespace {

struct ContainerCase {
    const char* name;
    bool audio;
    bool preferH264;
};

void PrintTo(const ContainerCase& c, std::ostream* os) { *os << c.name << (c.audio ? " +audio" : ""); }

class WriterContainers : public ::testing::TestWithParam<ContainerCase> {};

TEST_P(WriterContainers, WritesFinalFileAndLeavesNoTemporary) {
    const ContainerCase c = GetParam();
    const std::string dir = t::makeTempDir("writer");
    const std::string path = dir + "/" + c.name;
    t::ClipSpec spec;
    spec.frames = 20;
    spec.audioSampleRate = c.audio ? 44100 : 0;
    spec.audioChannels = 2;
    spec.preferH264 = c.preferH264;
    ASSERT_EQ("", t::makeClip(path, spec));
    EXPECT_GT(t::fileSize(path), 1000);
    const std::string ext = path.substr(path.rfind('.'));
    EXPECT_FALSE(t::fileExists(path.substr(0, path.rfind('.')) + ".partial" + ext));
}

INSTANTIATE_TEST_SUITE_P(Containers, WriterContainers,
                         ::testing::Values(ContainerCase{"a.mp4", false, true}, ContainerCase{"b.mp4", true, true},
                                           ContainerCase{"c.mkv", true, true}, ContainerCase{"d.avi", true, true},
                                           ContainerCase{"e.mkv", false, false}),
                         [](const ::testing::TestParamInfo<ContainerCase>& i) { return std::string(1, i.param.name[0]); });

TEST(MediaFileWriter, ChoosesH264WhenAvailableAndMpeg4ForAvi) {
    const std::string dir = t::makeTempDir("codec");
    MediaFileWriter::Settings s;
    s.width = 64;
    s.height = 48;
    MediaFileWriter w;
    ASSERT_TRUE(w.open(dir + "/x.mp4", s)) << w.lastError();
    EXPECT_EQ(MediaFileWriter::hasH264Encoder() ? "libx264" : "mpeg4", w.videoCodecName());
    w.abandon();
    ASSERT_TRUE(w.open(dir + "/x.avi", s)) << w.lastError();
    EXPECT_EQ("mpeg4", w.videoCodecName());
    w.abandon();
    EXPECT_FALSE(t::fileExists(dir + "/x.avi"));
    EXPECT_FALSE(t::fileExists(dir + "/x.partial.avi"));
}

TEST(MediaFileWriter, BadRequestsGiveOneLineMessages) {
    const std::string dir = t::makeTempDir("bad");
    MediaFileWriter::Settings s;
    s.width = 65;
    s.height = 48;
    MediaFileWriter w;
    EXPECT_FALSE(w.open(dir + "/odd.mp4", s));
    EXPECT_EQ("frame size must be even, got 65x48", w.lastError());
    s.width = 64;
    EXPECT_FALSE(w.open(dir + "/noext", s));
    EXPECT_EQ("unknown video container for '" + dir + "/noext' (use .mp4, .mkv or .avi)", w.lastError());
    EXPECT_FALSE(w.open(dir + "/missing/folder.mp4", s));
    EXPECT_NE(std::string::npos, w.lastError().find("cannot create '" + dir + "/missing/folder.partial.mp4'"));
    std::vector<uint8_t> px(64 * 48 * 4);
    EXPECT_FALSE(w.writeVideoFrame(px.data()));
    EXPECT_EQ("writeVideoFrame: no file is open", w.lastError());
    ASSERT_TRUE(w.open(dir + "/silent.mkv", s));
    std::vector<int16_t> pcm(100);
    EXPECT_FALSE(w.writeAudio(pcm.data(), 50));
    EXPECT_EQ("writeAudio: the file was opened without an audio track", w.lastError());
}

TEST(MediaFileWriter, DestroyingUnfinishedWriterKeepsOldFile) {
    const std::string dir = t::makeTempDir("keep");
    const std::string path = dir + "/clip.mkv";
    t::ClipSpec spec;
    spec.frames = 5;
    ASSERT_EQ("", t::makeClip(path, spec));
    const long before = t::fileSize(path);
    {
        MediaFileWriter w;
        MediaFileWriter::Settings s;
        s.width = 64;
        s.height = 48;
        ASSERT_TRUE(w.open(path, s));
        std::vector<uint8_t> px(64 * 48 * 4, 128);
        ASSERT_TRUE(w.writeVideoFrame(px.data()));
    }
    EXPECT_EQ(before, t::fileSize(path));
    EXPECT_FALSE(t::fileExists(dir + "/clip.partial.mkv"));
}

TEST(MediaFileWriter, OpenTwiceReplacesFirstFile) {
    const std::string dir = t::makeTempDir("twice");
    MediaFileWriter w;
    MediaFileWriter::Settings s;
    s.width = 64;
    s.height = 48;
    s.layout = MediaFileWriter::PixelLayout::RGB;
    std::vector<uint8_t> px(64 * 48 * 3, 90);
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(w.open(dir + "/r.mp4", s)) << w.lastError();
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(w.writeVideoFrame(px.data()));
        EXPECT_EQ(3, w.framesWritten());
        ASSERT_TRUE(w.close()) << w.lastError();
    }
    EXPECT_FALSE(w.close());
    EXPECT_GT(t::fileSize(dir + "/r.mp4"), 0);
}

}  // namespace
