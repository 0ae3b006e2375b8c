// Sound that really comes out: each test runs again as a child process whose
// OpenAL Soft writes its mix to a WAV file (or finds no device at all), and
// the parent measures what was written.
#include "SoundChildRun.h"
#include "SoundFolder.h"
#include "WaveRecording.h"

#include "CSoundEntity.h"
#include "MarkerState.h"

#include <AL/al.h>

namespace
{
class WaveOutput : public SoundFolder
{
protected:
    // In the parent: runs this test as a child with wave output and reads
    // what it wrote. False when the child failed (its output is reported).
    bool RecordChild(WaveRecording& recording)
    {
        const std::string wav = Path("mix.wav");
        const std::string test = std::string(::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name()) +
                                 "." + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::string output, why;
        const int code = SoundChildRun::Run(test, SoundChildRun::WaveOutput(folder.Path(), wav), &output);
        EXPECT_EQ(code, 0) << output;
        const bool read = WaveRecording::Read(wav, recording, &why);
        EXPECT_TRUE(read) << why << "\n" << output;
        return code == 0 && read;
    }
};

// A marker standing still at `position` (camera coordinates, mm).
MarkerState markerAt(const osg::Matrixd& pose)
{
    MarkerState state;
    state.visible = true;
    state.matrix = &pose;
    state.previousMatrix = &pose;
    state.previousPosition = pose.getTrans();
    return state;
}

TEST_F(WaveOutput, PlayedSoundsComeOutWithTheirLengthsAndLevels)
{
    if (!SoundChildRun::InChild())
    {
        WaveRecording mix;
        if (!RecordChild(mix)) return;
        EXPECT_EQ(mix.channels, 2);
        const std::vector<WaveRecording::Span> spans = mix.Sounding(0.01);
        ASSERT_EQ(spans.size(), 2u) << "two stretches of sound";
        EXPECT_NEAR(spans[0].Seconds(), 1.0, 0.08);
        EXPECT_NEAR(spans[1].Seconds(), 0.5, 0.08);
        // Sines of amplitude a have the level a / sqrt(2). Placed at the
        // listener, each is shared equally by the two channels, and both come
        // out with the same share of their level (OpenAL Soft's centre gain).
        const double loud = mix.Level(spans[0].from + 0.25, 0.5) / (0.5 / std::sqrt(2.0));
        const double soft = mix.Level(spans[1].from + 0.1, 0.3) / (0.2 / std::sqrt(2.0));
        EXPECT_NEAR(loud, soft, 0.02);
        EXPECT_GT(loud, 0.7);
        EXPECT_LE(loud, 1.0);
        EXPECT_NEAR(mix.Level(0, spans[0].from + 0.25, 0.5), mix.Level(1, spans[0].from + 0.25, 0.5), 0.005);
        return;
    }
    StartAsTheEngineDoes();
    const int loud = manager.AddSoundSource(WriteTone("loud.wav", 1.0, 0.5f).c_str());
    const int soft = manager.AddSoundSource(WriteTone("soft.wav", 0.5, 0.2f).c_str());
    for (int i : {loud, soft})
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));  // silence before each
        manager.PlaySource(i);
        ASSERT_TRUE(WaitFor(5.0, [&] { return manager.GetSource(i)->IsStopped(); }));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    manager.CleanUp();  // closing the device finishes the file
}

TEST_F(WaveOutput, APositionalSoundPansWithItsMarker)
{
    if (!SoundChildRun::InChild())
    {
        WaveRecording mix;
        if (!RecordChild(mix)) return;
        const std::vector<WaveRecording::Span> spans = mix.Sounding(0.01);
        ASSERT_EQ(spans.size(), 1u);
        // Left of the camera for a second, then right of it, then left and farther away.
        const double left = spans[0].from + 0.3, right = spans[0].from + 1.3;
        EXPECT_GT(mix.Level(0, left, 0.4), 1.5 * mix.Level(1, left, 0.4)) << "louder on the left";
        EXPECT_GT(mix.Level(1, right, 0.4), 1.5 * mix.Level(0, right, 0.4)) << "louder on the right";
        // Twice as far away (1000 mm instead of 500 mm), half as loud.
        const double far = spans[0].from + 2.3;
        EXPECT_NEAR(mix.Level(far, 0.4) / mix.Level(left, 0.4), 0.5, 0.05);
        return;
    }
    StartAsTheEngineDoes();
    CSoundEntity entity;
    entity.SetFileName(WriteTone("hum.wav", 0.5, 0.5f));
    entity.SetGainMode(CSoundEntity::GAIN_POSITIONAL, 1.f, 0.f, 1.f);
    entity.SetTransportMode(CSoundEntity::TRANSPORT_LOOP);
    entity.Build();
    const osg::Matrixd left = osg::Matrixd::translate(-300.0, 0.0, -400.0);   // 500 mm away, front left
    const osg::Matrixd right = osg::Matrixd::translate(300.0, 0.0, -400.0);
    const osg::Matrixd farLeft = osg::Matrixd::translate(-600.0, 0.0, -800.0);
    for (const osg::Matrixd* pose : {&left, &right, &farLeft})
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (std::chrono::steady_clock::now() < end)
        {
            entity.update(0.02f, markerAt(*pose));
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    MarkerState lost;
    entity.update(0.02f, lost);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    entity.CleanUp();
    manager.CleanUp();
}

TEST_F(WaveOutput, WithoutASoundDeviceEverythingRunsOnSilentlyWithOneLogLine)
{
    if (!SoundChildRun::InChild())
    {
        std::string output;
        EXPECT_EQ(SoundChildRun::Run("WaveOutput.WithoutASoundDeviceEverythingRunsOnSilentlyWithOneLogLine",
                                     SoundChildRun::NoDevice(), &output),
                  0)
            << output;
        return;
    }
    ::testing::internal::CaptureStdout();
    StartAsTheEngineDoes();
    EXPECT_FALSE(manager.HasDevice());
    EXPECT_EQ(manager.GetActiveDevice(), "");
    const int i = manager.AddSoundSource(WriteTone("tone.wav", 0.2).c_str());
    manager.PlaySource(i);
    EXPECT_EQ(manager.GetPlayStatus(i), AL_STOPPED);
    CSoundEntity entity;
    entity.SetFileName("tone.wav");
    entity.Build();
    const osg::Matrixd pose = osg::Matrixd::translate(0.0, 0.0, -500.0);
    entity.update(0.03f, markerAt(pose));
    entity.CleanUp();
    manager.CleanUp();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    const std::vector<std::string> lines = LogLines("C");
    ASSERT_EQ(lines.size(), 1u) << ::testing::PrintToString(lines);
    EXPECT_EQ(lines[0].rfind("CSoundManager: InitOpenAL: no sound device could be opened", 0), 0u) << lines[0];
    EXPECT_TRUE(TestFolder::Exists(Path("Data/soundSettings.dat")));
}
}
