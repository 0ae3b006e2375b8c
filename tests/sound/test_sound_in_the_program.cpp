// The real console host with sound: content sets with sound entities run on
// footage, and OpenAL Soft's wave-file output shows what a user hears. Each
// run has an X server of its own and ends through its window's close button.
#include "ChildProcess.h"
#include "EngineLog.h"
#include "FootageTruth.h"
#include "SoundChildRun.h"
#include "TestFolder.h"
#include "WaveRecording.h"
#include "XWindowDriver.h"
#include "XvfbServer.h"

#include "DemoSounds.h"
#include "WavWriter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <thread>

namespace
{
const char* const kHost = VEXAMARK_BASIC_PATH;
const char* const kSynth = VEXAMARK_SYNTH_PATH;
const int kFps = 25;
const double kQuiet = 0.01;  // level below which the output counts as silent

std::string Describe(const std::vector<WaveRecording::Span>& spans)
{
    std::string text = "sound from-to (s):";
    for (const WaveRecording::Span& span : spans)
        text += " " + std::to_string(span.from) + "-" + std::to_string(span.to);
    return text;
}

int countLines(const std::string& text, const std::string& part)
{
    int count = 0;
    size_t at = 0;
    while ((at = text.find(part, at)) != std::string::npos) ++count, at += part.size();
    return count;
}

class SoundInTheProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(server.Name().empty()) << "Xvfb did not start";
        ASSERT_TRUE(x.IsOpen());
        folder.CopyWorkingFolder();
    }

    // Starts the host with the wave-file output (or `sound` when given).
    void Start(const std::vector<std::string>& args, std::vector<std::string> sound = {})
    {
        if (sound.empty()) sound = SoundChildRun::WaveOutput(folder.Path(), folder / "mix.wav");
        sound.push_back("VEXAMARK_NONINTERACTIVE=1");
        sound.push_back("DISPLAY=" + server.Name());
        host = std::make_unique<ChildProcess>(kHost, args, folder.Path(), sound);
        window = x.WaitForWindow("Vexamark", host->Pid(), 60.0);
        ASSERT_NE(window, 0u) << host->StandardError();
    }
    // Closes the window as a user does and waits for an orderly end.
    void Close()
    {
        x.RequestClose(window);
        ASSERT_TRUE(host->Wait(60.0)) << "the host did not end";
        EXPECT_EQ(host->ExitCode(), 0) << host->StandardError();
    }
    WaveRecording Recording()
    {
        WaveRecording mix;
        std::string why;
        EXPECT_TRUE(WaveRecording::Read(folder / "mix.wav", mix, &why)) << why;
        return mix;
    }
    // Waits until the output has had `count` stretches of sound, the last
    // followed by `silence` seconds of quiet (or until `seconds` have passed).
    void WaitForSoundsToEnd(size_t count, double silence, double seconds)
    {
        WaitUntil(seconds, [&]() {
            WaveRecording mix;
            if (!WaveRecording::Read(folder / "mix.wav", mix, nullptr)) return false;
            const std::vector<WaveRecording::Span> spans = mix.Sounding(kQuiet);
            return spans.size() >= count && mix.Seconds() - spans[count - 1].to >= silence;
        });
    }
    std::string Log() const { return TestFolder::ReadFile(folder / "Data/messageLog.txt"); }
    // A content set of one marker, "glyph-f", carrying an object with this sound block.
    void WriteSoundContent(const std::string& soundBlock)
    {
        TestFolder::WriteFile(folder / "models/sounding.dat",
                              "<VEXA_MARKER>\n<FILE> Data/glyph-f.patt\n<SIZE> 80\n<NAME> glyph-f\n</VEXA_MARKER>\n"
                              "<ENTITY>\n<NAME> SOUNDING\n<MARKER> glyph-f\n" +
                                  soundBlock + "</ENTITY>\n");
        TestFolder::WriteFile(folder / "Data/dataList.dat", "<DAT>\n<ASSET_FILE> models/sounding.dat\n</DAT>\n");
    }
    // Footage of "glyph-f" crossing the picture from left to right; returns
    // how long the marker is in view, in seconds, and in `away` how long it
    // is out of view between two crossings of the looping clip.
    double WriteSweepFootage(double* away = nullptr)
    {
        ChildProcess synth(kSynth,
                           {"--size", "640", "480", "--fps", std::to_string(kFps), "--frames", "150", "--intrinsics",
                            "700", "700", "320", "240", "--marker",
                            "glyph-f=design:glyph-f,width=80,distance=500:500,path=sweep", "--out", "Videos/sweep.mp4",
                            "--quiet"},
                           folder.Path());
        EXPECT_TRUE(synth.Wait(120.0));
        EXPECT_EQ(synth.ExitCode(), 0) << synth.StandardError();
        int visible = 0, frames = 0;
        for (const auto& frame : FootageTruth::Read(folder / "Videos/sweep.csv"))
        {
            visible += frame.second.count("glyph-f") && frame.second.at("glyph-f").visible;
            ++frames;
        }
        EXPECT_GT(visible, 2 * kFps);
        if (away) *away = double(frames - visible) / kFps;
        return double(visible) / kFps;
    }

    XvfbServer server;
    XWindowDriver x{server.Name()};
    TestFolder folder;
    std::unique_ptr<ChildProcess> host;
    Window window = 0;
};

// Onsets of the 880 Hz tone (the demo's chime; the chord has no such
// partial) from `from` on: where it rises out of quiet.
std::vector<double> chimeOnsets(const WaveRecording& mix, double from)
{
    std::vector<double> onsets;
    bool ringing = false;
    for (double t = from; t + 0.05 < mix.Seconds(); t += 0.05)
    {
        const double level = mix.ToneLevel(880.0, t, 0.05);
        if (!ringing && level > 0.02) onsets.push_back(t);
        ringing = level > 0.005;
    }
    return onsets;
}

TEST_F(SoundInTheProgram, TheDemoPlaysItsLoopOnTheLeftAndRingsItsChimeAgainAfterEachPause)
{
    Start({"-video:", "Videos/demo.mp4"});
    // Until the chime has rung three times (or long enough for that).
    WaitUntil(90.0, [&]() {
        WaveRecording mix;
        if (!WaveRecording::Read(folder / "mix.wav", mix, nullptr)) return false;
        const std::vector<WaveRecording::Span> spans = mix.Sounding(kQuiet);
        if (spans.empty()) return false;
        return chimeOnsets(mix, spans[0].from).size() >= 3 || mix.Seconds() - spans[0].from > 30.0;
    });
    Close();
    const WaveRecording mix = Recording();
    const std::vector<WaveRecording::Span> spans = mix.Sounding(kQuiet);
    ASSERT_FALSE(spans.empty()) << "the demo is silent";
    const double from = spans[0].from, seconds = mix.Seconds() - from - 0.5;
    // The village's chord is placed at its marker, which stays in the left half.
    EXPECT_GT(mix.Level(0, from, seconds), 1.2 * mix.Level(1, from, seconds));
    // The vessel's chime rings, dies away, and rings again two seconds after
    // each end: 3.6 s from onset to onset. A marker lost for a moment (a
    // starved tracker on a busy machine) starts it again at once, so one such
    // spacing is asked for, and none shorter than the chime itself.
    const std::vector<double> onsets = chimeOnsets(mix, from);
    const std::string seen = "chime onsets (s): " + ::testing::PrintToString(onsets) + ", sound from " +
                             std::to_string(from) + " to " + std::to_string(mix.Seconds());
    ASSERT_GE(onsets.size(), 2u) << seen;
    int paused = 0;
    for (size_t i = 1; i < onsets.size(); ++i)
    {
        EXPECT_GE(onsets[i] - onsets[i - 1], 1.5) << seen;
        paused += std::fabs(onsets[i] - onsets[i - 1] - 3.6) < 0.5;
    }
    EXPECT_GE(paused, 1) << seen;
    EXPECT_EQ(countLines(Log(), "CSound"), 0) << Log();
    EXPECT_EQ(countLines(host->StandardOutput(), "Unable to load sound"), 0);
}

struct Transport
{
    const char* name;
    const char* block;
};

// Sound exactly while the marker is in view: a tone far longer than the
// marker's crossing played once ("PLAY"), and the bundled loop running all the
// time but muted while the marker is away ("CONT_LOOP"). The clip loops; its
// second crossing is measured, when the program runs steadily (the first may
// begin while the program is still starting and miss the marker's first frames).
TEST_F(SoundInTheProgram, SoundIsHeardExactlyWhileTheMarkerIsInView)
{
    ASSERT_TRUE(WavWriter::WriteMono16(folder / "models/sounds/long.wav", DemoSounds::Tone(440.0, 30.0, 0.5f),
                                       DemoSounds::kRate));
    double away = 0;
    const double inView = WriteSweepFootage(&away);
    const Transport transports[] = {
        {"PLAY", "<SOUND>\n<FILE> models/sounds/long.wav\n<GAIN_MODE> GAIN 1\n<TRANSPORT_MODE> PLAY\n</SOUND>\n"},
        {"CONT_LOOP", "<SOUND>\n<FILE> models/sounds/loop.wav\n<TRANSPORT_MODE> CONT_LOOP\n</SOUND>\n"},
    };
    for (const Transport& transport : transports)
    {
        SCOPED_TRACE(transport.name);
        WriteSoundContent(transport.block);
        Start({"-video:", "Videos/sweep.mp4"});
        WaitForSoundsToEnd(2, 1.0, 60.0);
        Close();
        const std::vector<WaveRecording::Span> spans = Recording().Sounding(kQuiet);
        SCOPED_TRACE(Describe(spans));
        ASSERT_GE(spans.size(), 2u) << "the marker's two crossings";
        EXPECT_GT(spans[0].from, 0.5) << "nothing sounds before the marker is seen";
        EXPECT_NEAR(spans[1].Seconds(), inView, 0.3);
        EXPECT_NEAR(spans[1].from - spans[0].to, away, 0.3) << "quiet while the marker is away";
    }
}

TEST_F(SoundInTheProgram, APositionalSoundFollowsItsMarkerFromLeftToRight)
{
    const double inView = WriteSweepFootage();
    WriteSoundContent("<SOUND>\n<FILE> models/sounds/loop.wav\n<GAIN_MODE> 3D 1\n<TRANSPORT_MODE> LOOP\n</SOUND>\n");
    Start({"-video:", "Videos/sweep.mp4"});
    WaitForSoundsToEnd(2, 1.0, 60.0);
    Close();
    const WaveRecording mix = Recording();
    const std::vector<WaveRecording::Span> spans = mix.Sounding(kQuiet);
    SCOPED_TRACE(Describe(spans));
    ASSERT_GE(spans.size(), 2u) << "the marker's two crossings";
    const WaveRecording::Span crossing = spans[1];  // the second, when the program runs steadily
    EXPECT_NEAR(crossing.Seconds(), inView, 0.3);
    // Left-to-right balance in five parts of the crossing: it moves steadily to the right.
    std::vector<double> balance;
    const double part = crossing.Seconds() / 5;
    for (int i = 0; i < 5; ++i)
    {
        const double l = mix.Level(0, crossing.from + i * part, part), r = mix.Level(1, crossing.from + i * part, part);
        balance.push_back((r - l) / (r + l));
    }
    EXPECT_LT(balance.front(), -0.2) << ::testing::PrintToString(balance);
    EXPECT_GT(balance.back(), 0.2) << ::testing::PrintToString(balance);
    for (size_t i = 1; i < balance.size(); ++i) EXPECT_GT(balance[i], balance[i - 1]) << ::testing::PrintToString(balance);
}

TEST_F(SoundInTheProgram, ASoundFileThatDoesNotLoadIsReportedOnceAndTheRunGoesOn)
{
    TestFolder::WriteFile(folder / "models/sounds/broken.wav", "RIFF, but not really a sound\n");
    WriteSoundContent("<SOUND>\n<FILE> models/sounds/broken.wav\n<TRANSPORT_MODE> LOOP\n</SOUND>\n");
    WriteSweepFootage();
    Start({"-video:", "Videos/sweep.mp4"});
    std::this_thread::sleep_for(std::chrono::seconds(4));
    Close();
    EXPECT_EQ(countLines(host->StandardOutput(), "Unable to load sound models/sounds/broken.wav\n"), 1)
        << host->StandardOutput();
    EXPECT_EQ(countLines(Log(), "CSoundEntity: Unable to load sound models/sounds/broken.wav: "), 1) << Log();
    EXPECT_TRUE(Recording().Sounding(kQuiet).empty()) << "the broken sound stays silent";
}

TEST_F(SoundInTheProgram, AMachineWithoutASoundDeviceRunsOnSilentlyWithOneLogLine)
{
    Start({"-video:", "Videos/demo.mp4"}, SoundChildRun::NoDevice());
    std::this_thread::sleep_for(std::chrono::seconds(3));
    Close();
    std::vector<std::string> sound;
    for (const std::string& line : LogMessages(Log()))
        if ((line.find("Sound") != std::string::npos || line.find("sound") != std::string::npos) &&
            line.rfind("VexaBox :Init : ", 0) != 0)
            sound.push_back(line);
    ASSERT_EQ(sound.size(), 1u) << Log();
    EXPECT_EQ(sound[0].rfind("CSoundManager: InitOpenAL: no sound device could be opened", 0), 0u) << sound[0];
    EXPECT_EQ(countLines(host->StandardOutput(), "Unable to load sound"), 0);
}
}
