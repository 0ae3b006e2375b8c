#include "AudioStreamPlayer.h"
#include "MediaFileReader.h"
#include "OpenAlOutput.h"
#include "ReaderPcmSource.h"
#include "TestClips.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace vexa {
namespace media {
namespace {

using namespace std::chrono_literals;

// Sound output through OpenAL Soft's null backend unless the run chose another one.
class AudioTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("ALSOFT_DRIVERS", "null", 0);
        dir_ = testing::makeTempDir("audio");
        testing::ClipSpec spec;
        spec.frames = 25;  // 1 s
        spec.audioSampleRate = 22050;
        spec.audioChannels = 1;
        ASSERT_EQ("", testing::makeClip(dir_ + "/tone.mkv", spec));
    }
    void SetUp() override {
        if (!output.open()) GTEST_SKIP() << output.lastError();
        ASSERT_TRUE(reader.open(dir_ + "/tone.mkv")) << reader.lastError();
    }
    static std::string dir_;
    OpenAlOutput output;
    MediaFileReader reader;
};
std::string AudioTest::dir_;

template <typename F>
bool within(std::chrono::milliseconds limit, F f) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (f()) return true;
        std::this_thread::sleep_for(5ms);
    }
    return f();
}

TEST_F(AudioTest, PlaysTheWholeSoundAtItsOwnPace) {
    ReaderPcmSource pcm(reader);
    AudioStreamPlayer player(pcm);
    const auto t0 = std::chrono::steady_clock::now();
    ASSERT_TRUE(player.start()) << player.lastError();
    EXPECT_TRUE(player.isPlaying());
    EXPECT_TRUE(within(2000ms, [&] { return player.positionSeconds() > 0.2; }));
    const double position = player.positionSeconds();
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_LT(position, elapsed + 0.2);  // the sound plays at its own pace, not as fast as it can be read
    EXPECT_TRUE(within(4000ms, [&] { return player.finished(); }));
    EXPECT_NEAR(1.0, player.positionSeconds(), 0.1);
    EXPECT_FALSE(player.isPlaying());
}

TEST_F(AudioTest, StopHoldsThePositionAndRewindStartsOver) {
    ReaderPcmSource pcm(reader);
    AudioStreamPlayer player(pcm);
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(player.start());
        ASSERT_TRUE(within(2000ms, [&] { return player.positionSeconds() > 0.15; }));
        player.stop();
        player.stop();
        const double held = player.positionSeconds();
        std::this_thread::sleep_for(150ms);
        EXPECT_NEAR(held, player.positionSeconds(), 0.03);
        ASSERT_TRUE(player.rewind());
        EXPECT_LT(player.positionSeconds(), 0.05);
    }
    ASSERT_TRUE(player.start());
    EXPECT_TRUE(within(4000ms, [&] { return player.finished(); }));
}

TEST_F(AudioTest, DestroyedWhilePlaying) {
    ReaderPcmSource pcm(reader);
    {
        AudioStreamPlayer player(pcm);
        ASSERT_TRUE(player.start());
        std::this_thread::sleep_for(50ms);
    }
    AudioStreamPlayer again(pcm);
    EXPECT_TRUE(again.start());
}

TEST(AudioStreamPlayer, WithoutAContextItSaysSo) {
    MediaFileReader reader;
    ReaderPcmSource pcm(reader);
    std::string line;
    AudioStreamPlayer player(pcm, [&](const std::string& m) { line = m; });
    EXPECT_FALSE(player.start());
    EXPECT_EQ("sound cannot play: no OpenAL context is current", line);
    EXPECT_EQ(0.0, player.positionSeconds());
}

// OpenAL Soft reads its configuration once per process, so this test runs
// itself again as a child process whose OpenAL writes its mix to a WAV file
// (ALSOFT_DRIVERS=wave, ALSOFT_CONF naming the file); the child checks that
// the tone reached that file.
int runWithWaveOutput(const std::string& test, const std::string& wav) {
    const std::string dir = testing::makeTempDir("wave-output");
    const std::string conf = dir + "/alsoft.conf";
    std::ofstream(conf) << "[general]\ndrivers=wave\n[wave]\nfile=" << wav << "\n";
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("ALSOFT_DRIVERS", "wave", 1);
        setenv("ALSOFT_CONF", conf.c_str(), 1);
        setenv("VEXA_TEST_WAVE_FILE", wav.c_str(), 1);
        const std::string filter = "--gtest_filter=" + test;
        execl("/proc/self/exe", "VexaMediaTests", filter.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(AudioWaveOutput, ToneReachesTheOutputFile) {
    const char* wav = std::getenv("VEXA_TEST_WAVE_FILE");
    if (!wav) {
        const std::string out = testing::makeTempDir("wave-file") + "/out.wav";
        EXPECT_EQ(0, runWithWaveOutput("AudioWaveOutput.ToneReachesTheOutputFile", out));
        EXPECT_GT(testing::fileSize(out), 44 + 1000) << "the child run wrote no sound";
        return;
    }
    const std::string dir = testing::makeTempDir("wave");
    testing::ClipSpec spec;
    spec.frames = 10;
    spec.audioSampleRate = 22050;
    spec.audioChannels = 1;
    ASSERT_EQ("", testing::makeClip(dir + "/tone.mkv", spec));
    {
        OpenAlOutput output;
        ASSERT_TRUE(output.open()) << output.lastError();
        MediaFileReader reader;
        ASSERT_TRUE(reader.open(dir + "/tone.mkv"));
        ReaderPcmSource pcm(reader);
        AudioStreamPlayer player(pcm);
        ASSERT_TRUE(player.start());
        ASSERT_TRUE(within(4000ms, [&] { return player.finished(); }));
    }  // closing the device finishes the file
    std::ifstream in(wav, std::ios::binary);
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(data.size(), 44u + 1000u);
    // The 8000-amplitude tone (float or 16-bit output): look for loud 16-bit samples.
    long loud = 0;
    for (size_t i = 44; i + 1 < data.size(); i += 2) {
        const int16_t v = static_cast<int16_t>(static_cast<uint8_t>(data[i]) | (static_cast<uint8_t>(data[i + 1]) << 8));
        loud += v > 4000 || v < -4000;
    }
    EXPECT_GT(loud, 1000);
}

}  // namespace
}  // namespace media
}  // namespace vexa
