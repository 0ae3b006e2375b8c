// The sound manager's device, listener and sources, on OpenAL Soft's silent
// output: what OpenAL is told, and what the sources report.
#include "SoundFolder.h"

#include "DemoSounds.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <algorithm>
#include <filesystem>

namespace
{
std::vector<float> listenerOrientation()
{
    std::vector<float> orientation(6, -9.f);
    alGetListenerfv(AL_ORIENTATION, orientation.data());
    return orientation;
}

float sourceFloat(const CSoundSource& source, ALenum what)
{
    float value = -9.f;
    alGetSourcef(source.GetSourceName(), what, &value);
    return value;
}

class SoundSources : public SoundFolder
{
};

TEST_F(SoundSources, TheListenerStartsLookingAlongZAndTheEngineTurnsItToOpenAlsDefault)
{
    manager.Init(0, nullptr);
    ASSERT_TRUE(manager.HasDevice());
    EXPECT_EQ(listenerOrientation(), (std::vector<float>{0, 0, 1, 0, -1, 0}));
    manager.SetListenerPosition(0.f, 0.f, 0.f);
    manager.SetForwardVector(0.f, 0.f, -1.f);
    EXPECT_EQ(listenerOrientation(), (std::vector<float>{0, 0, -1, 0, -1, 0})) << "each setter hands over all six";
    manager.SetUpVector(0.f, 1.f, 0.f);
    EXPECT_EQ(listenerOrientation(), (std::vector<float>{0, 0, -1, 0, 1, 0}));
    manager.SetListenerPosition(1.f, 2.f, 3.f);
    float position[3] = {};
    alGetListenerfv(AL_POSITION, position);
    EXPECT_EQ(std::vector<float>(position, position + 3), (std::vector<float>{1, 2, 3}));
    EXPECT_EQ(manager.GetForwardVector(), osg::Vec3f(0, 0, -1));
    EXPECT_EQ(manager.GetUpVector(), osg::Vec3f(0, 1, 0));
}

TEST_F(SoundSources, TheDeviceListHoldsTheDefaultDeviceWhichIsTheOneOpen)
{
    StartAsTheEngineDoes();
    const std::vector<std::string> devices = manager.GetDeviceList();
    ASSERT_FALSE(devices.empty());
    EXPECT_NE(std::find(devices.begin(), devices.end(), manager.GetDefaultDevice()), devices.end());
    EXPECT_EQ(manager.GetActiveDevice(), manager.GetDefaultDevice());
    EXPECT_TRUE(LogLines("CSoundManager:").empty());
}

TEST_F(SoundSources, SourcesAreNumberedInOrderAndABadFileIsReportedOnce)
{
    StartAsTheEngineDoes();
    WriteTone("sounds/a.wav", 0.2);
    TestFolder::WriteFile(Path("sounds/not-a-sound.wav"), "this is text, not a sound\n");
    EXPECT_EQ(manager.AddSoundSource("sounds/a.wav"), 0);
    EXPECT_EQ(manager.AddSoundSource("sounds/A.WAV", 1, 2, 3, 4, 5, 6), 1) << "names are found whatever their case";
    EXPECT_EQ(manager.AddSoundSource("sounds/not-a-sound.wav"), 2);
    EXPECT_EQ(manager.AddSoundSource("sounds/missing.wav"), 3);
    EXPECT_EQ(manager.GetSourceCount(), 4);
    EXPECT_TRUE(manager.GetSource(0)->IsLoaded());
    EXPECT_TRUE(manager.GetSource(1)->IsLoaded());
    EXPECT_FALSE(manager.GetSource(2)->IsLoaded());
    EXPECT_FALSE(manager.GetSource(3)->IsLoaded());
    EXPECT_EQ(manager.GetSource(4), nullptr);
    const std::vector<std::string> lines = LogLines("CSoundManager:");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("CSoundManager: AddSoundSource: could not load the sound sounds/not-a-sound.wav: ", 0), 0u)
        << lines[0];
    EXPECT_EQ(lines[1].rfind("CSoundManager: AddSoundSource: could not load the sound sounds/missing.wav: ", 0), 0u)
        << lines[1];
    // A silent source takes every call and stays silent.
    manager.PlaySource(2);
    EXPECT_EQ(manager.GetPlayStatus(2), AL_STOPPED);

    const CSoundSource& second = *manager.GetSource(1);
    EXPECT_EQ(second.GetFormat(), AL_FORMAT_MONO16);
    EXPECT_EQ(second.GetFrequency(), 22050);
    EXPECT_EQ(second.GetSize(), 2 * 4410);
    float position[3], velocity[3];
    alGetSourcefv(second.GetSourceName(), AL_POSITION, position);
    alGetSourcefv(second.GetSourceName(), AL_VELOCITY, velocity);
    EXPECT_EQ(std::vector<float>(position, position + 3), (std::vector<float>{1, 2, 3}));
    EXPECT_EQ(std::vector<float>(velocity, velocity + 3), (std::vector<float>{4, 5, 6}));
    EXPECT_EQ(sourceFloat(second, AL_PITCH), 1.f);
    EXPECT_EQ(sourceFloat(second, AL_GAIN), 1.f);
}

TEST_F(SoundSources, PlayingAndStoppedFollowTheSourceState)
{
    StartAsTheEngineDoes();
    WriteTone("short.wav", 0.1);
    const int i = manager.AddSoundSource("short.wav");
    CSoundSource& source = *manager.GetSource(i);
    struct Step
    {
        const char* what;
        void (CSoundManager::*action)(int);
        int state;
        bool playing, stopped;
    } steps[] = {
        {"never played", nullptr, AL_INITIAL, true, false},
        {"playing", &CSoundManager::PlaySource, AL_PLAYING, true, false},
        {"paused", &CSoundManager::PauseSoure, AL_PAUSED, true, false},
        {"stopped", &CSoundManager::StopSource, AL_STOPPED, false, true},
    };
    for (const Step& step : steps)
    {
        SCOPED_TRACE(step.what);
        if (step.action) (manager.*step.action)(i);
        EXPECT_EQ(manager.GetPlayStatus(i), step.state);
        EXPECT_EQ(source.IsPlaying(), step.playing);
        EXPECT_EQ(source.IsStopped(), step.stopped);
    }
    manager.PlaySource(i);
    EXPECT_TRUE(WaitFor(2.0, [&] { return source.IsStopped(); })) << "a sound played to its end stops";
    manager.SetSourceLoop(i, 1);
    manager.PlaySource(i);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(manager.GetPlayStatus(i), AL_PLAYING) << "a looping sound plays on past its end";
}

TEST_F(SoundSources, ShiftsAddToTheStoredValueWithoutClamping)
{
    StartAsTheEngineDoes();
    const int i = manager.AddSoundSource(WriteTone("tone.wav", 0.2).c_str());
    const CSoundSource& source = *manager.GetSource(i);
    alGetError();
    manager.ShiftGain(i, -2.f);
    EXPECT_EQ(source.GetGain(), -1.f);
    EXPECT_EQ(alGetError(), AL_INVALID_VALUE) << "OpenAL was handed -1 as it is, and refused it";
    EXPECT_EQ(sourceFloat(source, AL_GAIN), 1.f);
    manager.ShiftGain(i, 2.5f);
    EXPECT_EQ(sourceFloat(source, AL_GAIN), 1.5f);
    manager.ShiftPitch(i, 0.5f);
    manager.ShiftPitch(i, 0.25f);
    EXPECT_EQ(sourceFloat(source, AL_PITCH), 1.75f);
    manager.SetGain(i, 0.25f);
    manager.SetPitch(i, 0.5f);
    EXPECT_EQ(sourceFloat(source, AL_GAIN), 0.25f);
    EXPECT_EQ(sourceFloat(source, AL_PITCH), 0.5f);
    manager.SetSourcePosition(i, -1, 0, -2);
    manager.SetSourceVelocity(i, 3, 0, 0);
    EXPECT_EQ(std::vector<float>(source.GetPosition(), source.GetPosition() + 3), (std::vector<float>{-1, 0, -2}));
    EXPECT_EQ(std::vector<float>(source.GetVelocity(), source.GetVelocity() + 3), (std::vector<float>{3, 0, 0}));
}

TEST_F(SoundSources, CleanUpReleasesEverythingAndWritesTheSettings)
{
    StartAsTheEngineDoes();
    const int i = manager.AddSoundSource(WriteTone("tone.wav", 0.2).c_str());
    const unsigned int name = manager.GetSource(i)->GetSourceName();
    const unsigned int buffer = manager.GetSource(i)->GetBufferName();
    manager.PlaySource(i);
    EXPECT_TRUE(alIsSource(name));
    std::filesystem::remove(Path("Data/soundSettings.dat"));
    manager.CleanUp();
    EXPECT_EQ(alcGetCurrentContext(), nullptr);
    EXPECT_EQ(manager.GetSourceCount(), 0);
    EXPECT_FALSE(manager.HasDevice());
    EXPECT_TRUE(TestFolder::Exists(Path("Data/soundSettings.dat")));
    // A second start in the same process works as the first.
    manager.Init(0, nullptr);
    EXPECT_TRUE(manager.HasDevice());
    EXPECT_FALSE(alIsSource(name) && alIsBuffer(buffer)) << "the old names are gone with the old context";
    EXPECT_EQ(manager.AddSoundSource(WriteTone("tone2.wav", 0.2).c_str()), 0);
    EXPECT_TRUE(manager.GetSource(0)->IsLoaded());
    manager.CleanUp();
    manager.CleanUp();  // a second clean-up does nothing
}
}

namespace
{
TEST_F(SoundSources, TheBundledSoundsLoadAsMonoAndTheLoopHasNoSeam)
{
    StartAsTheEngineDoes();
    const struct
    {
        const char* file;
        int samples;
    } sounds[] = {{"chime.wav", 35280}, {"loop.wav", 44100}, {"click.wav", 662}};
    for (const auto& sound : sounds)
    {
        SCOPED_TRACE(sound.file);
        const int i = manager.AddSoundSource((std::string(VEXAMARK_TEST_WORKDIR) + "/models/sounds/" + sound.file).c_str());
        const CSoundSource& source = *manager.GetSource(i);
        ASSERT_TRUE(source.IsLoaded()) << source.GetLoadError();
        EXPECT_EQ(source.GetFormat(), AL_FORMAT_MONO16) << "only mono sounds are placed in space";
        EXPECT_EQ(source.GetFrequency(), DemoSounds::kRate);
        EXPECT_EQ(source.GetSize(), 2 * sound.samples);
    }
    // The sample after the loop's last one is its first one again.
    const std::vector<float> loop = DemoSounds::Loop();
    const float step = loop[1] - loop[0];
    EXPECT_NEAR(loop.front() - loop.back(), step, 0.02f);
}
}
