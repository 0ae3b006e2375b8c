// Sound entities on OpenAL Soft's silent output: building from the <SOUND>
// block, the description and the block written back, and what each gain mode
// and transport does with the marker state frame by frame.
#include "CContentObject.h"
#include "CMessageLog.h"
#include "COsgSettings.h"
#include "CSoundEntity.h"
#include "CSoundManager.h"
#include "DemoSounds.h"
#include "EngineLog.h"
#include "ObjectTestSupport.h"
#include "WavWriter.h"
#include "XWindowDriver.h"

#include <AL/al.h>

#include <chrono>
#include <thread>

namespace
{
const std::vector<std::string> kStops = {"<ENTITY>", "<VEXA_MARKER>", "<OBJECT_GROUP>", "</ENTITY>"};

class SoundEntities : public ContentFolder
{
protected:
    void SetUp() override
    {
        ContentFolder::SetUp();
        manager.Init(0, nullptr);
        manager.SetForwardVector(0.f, 0.f, -1.f);
        manager.SetUpVector(0.f, 1.f, 0.f);
        Tone("tone.wav", 1.0);
        Tone("short.wav", 0.1);
    }
    void TearDown() override
    {
        manager.CleanUp();
        ContentFolder::TearDown();
    }
    void Tone(const std::string& file, double seconds)
    {
        ASSERT_TRUE(WavWriter::WriteMono16(Path(file), DemoSounds::Tone(440.0, seconds, 0.5f), DemoSounds::kRate));
    }
    // Builds an entity from the lines of a <SOUND> block; its messages in `output`.
    std::unique_ptr<CSoundEntity> Read(const std::string& lines, std::string* output = nullptr)
    {
        Write("sound.dat", "<SOUND>\n" + lines + "</SOUND>\n");
        std::unique_ptr<CSoundEntity> entity;
        const std::string out = Captured([&]() {
            COsgSettings reader;
            if (reader.Load(Path("sound.dat")) && reader.FindFirst("<SOUND>"))
                entity.reset(CSoundEntity::Read(reader, kStops));
        });
        if (output) *output = out;
        return entity;
    }
    static std::string Description(CSoundEntity& entity)
    {
        std::unique_ptr<char[]> text(entity.GetDescription());
        return text.get();
    }
    static std::string Saved(CSoundEntity& entity)
    {
        const std::string path = "saved.dat";
        COsgSettings writer;
        writer.Open(path);
        writer.Indent();
        entity.Save(writer);
        writer.Close();
        return TestFolder::ReadFile(path);
    }

    CSoundManager manager;
};

float alFloat(CSoundEntity& entity, ALenum what)
{
    float value = -9.f;
    alGetSourcef(entity.GetSource().GetSourceName(), what, &value);
    return value;
}

int alState(CSoundEntity& entity)
{
    int state = 0;
    alGetSourcei(entity.GetSource().GetSourceName(), AL_SOURCE_STATE, &state);
    return state;
}

int alOffset(CSoundEntity& entity)
{
    int samples = 0;
    alGetSourcei(entity.GetSource().GetSourceName(), AL_SAMPLE_OFFSET, &samples);
    return samples;
}

// What a marker tells its objects: seen at `pose` (or lost), moved by `movement` since the last frame.
struct Marker
{
    osg::Matrixd pose;
    MarkerState state;

    Marker& At(double x, double y, double z)
    {
        pose = osg::Matrixd::translate(x, y, z);
        state.visible = true;
        state.matrix = state.previousMatrix = &pose;
        state.previousPosition = pose.getTrans();
        return *this;
    }
    Marker& Moving(float mm)
    {
        state.movement = osg::Vec3f(mm, 0.f, 0.f);
        return *this;
    }
    Marker& Lost()
    {
        state.visible = false;
        state.reappeared = false;
        return *this;
    }
    Marker& Reappeared(bool on)
    {
        state.reappeared = on;
        return *this;
    }
};

struct BlockCase
{
    const char* lines;
    int gainMode, transport;
    float gain, pitch, low, high, pause;
    bool looping;
    const char* description;
    const char* saved;   // the block's lines as Save writes them, one level in
    const char* output;  // what building printed
};

TEST_F(SoundEntities, TheBlockSetsTheModesTheDescriptionAndTheBlockWrittenBack)
{
    const BlockCase cases[] = {
        {"<FILE> tone.wav\n<GAIN_MODE> GAIN 0.5\n<TRANSPORT_MODE> PLAY\n", 0, 0, 0.5f, 1.f, 0.f, 1.f, 0.f, false,
         "SOUND tone.wav GAIN 0.500000 PLAY", "<GAIN_MODE> GAIN 0.5 \n        <TRANSPORT_MODE> PLAY", ""},
        {"<FILE> tone.wav\n<GAIN_MODE> CAMDIS 0 1\n<TRANSPORT_MODE> LOOP\n", 1, 1, 0.5f, 1.f, 0.f, 1.f, 0.f, true,
         "SOUND tone.wav CAMDIS 0.000000 1.000000 LOOP", "<GAIN_MODE> CAMDIS 0 1 \n        <TRANSPORT_MODE> LOOP", ""},
        {"<FILE> tone.wav\n<GAIN_MODE> VEL 0.2 0.6\n<TRANSPORT_MODE> PAUSEP 3\n", 2, 2, 0.4f, 1.f, 0.2f, 0.6f, 3.f, false,
         "SOUND tone.wav VEL 0.200000 0.600000 PAUSEP 3.000000",
         "<GAIN_MODE> VEL 0.2 0.6 \n        <TRANSPORT_MODE> PAUSEP 3", ""},
        {"<FILE> tone.wav\n<GAIN_MODE> 3D 0.8\n<TRANSPORT_MODE> CONT_LOOP\n", 3, 4, 0.8f, 1.f, 0.f, 1.f, 0.f, true,
         "SOUND tone.wav 3D 0.800000 CONT_LOOP", "<GAIN_MODE> 3D 0.8 \n        <TRANSPORT_MODE> CONT_LOOP", ""},
        {"<FILE> tone.wav\n<GAIN_MODE> PITCHD 0.7 0.5 1.5\n", 4, 0, 0.7f, 1.f, 0.5f, 1.5f, 0.f, false,
         "SOUND tone.wav PITCHD 0.700000 0.500000 1.500000 PLAY",
         "<GAIN_MODE> PITCHD 0.7 0.5 1.5 \n        <TRANSPORT_MODE> PLAY", ""},
        {"<FILE> tone.wav\n<GAIN_MODE> PITCHV 1 1 2\n<TRANSPORT_MODE> LOOP\n", 5, 1, 1.f, 1.5f, 1.f, 2.f, 0.f, true,
         "SOUND tone.wav PITCHV 1.000000 1.000000 2.000000 LOOP",
         "<GAIN_MODE> PITCHV 1 1 2 \n        <TRANSPORT_MODE> LOOP", ""},
        {"<FILE> tone.wav\n", 0, 0, 1.f, 1.f, 0.f, 1.f, 0.f, false, "SOUND tone.wav GAIN 1.000000 PLAY",
         "<GAIN_MODE> GAIN 1 \n        <TRANSPORT_MODE> PLAY", ""},
        {"<FILE> tone.wav\n<GAIN_MODE> WOBBLE 3\n<TRANSPORT_MODE> LOOP\n", 0, 1, 1.f, 1.f, 0.f, 1.f, 0.f, true,
         "SOUND tone.wav GAIN 1.000000 LOOP", "<GAIN_MODE> GAIN 1 \n        <TRANSPORT_MODE> LOOP",
         "Unrecognised Gain Type!\n"},
        {"<FILE> tone.wav\n<GAIN_MODE> CAMDIS 0.5\n", 1, 0, 0.75f, 1.f, 0.5f, 1.f, 0.f, false,
         "SOUND tone.wav CAMDIS 0.500000 1.000000 PLAY", "<GAIN_MODE> CAMDIS 0.5 1 \n        <TRANSPORT_MODE> PLAY",
         "Warning! <GAIN_MODE> CAMDIS expects 2 numbers, found \"0.5\"; missing or bad values keep their defaults\n"},
        {"<FILE> tone.wav\n<TRANSPORT_MODE> SHUFFLE\n", 0, 0, 1.f, 1.f, 0.f, 1.f, 0.f, false,
         "SOUND tone.wav GAIN 1.000000 PLAY", "<GAIN_MODE> GAIN 1 \n        <TRANSPORT_MODE> PLAY",
         "Warning! <TRANSPORT_MODE> expects PLAY, LOOP, PAUSEP or CONT_LOOP, found \"SHUFFLE\"; the sound plays once\n"},
        {"<FILE> tone.wav\n<TRANSPORT_MODE> PAUSEP x\n", 0, 2, 1.f, 1.f, 0.f, 1.f, 0.f, false,
         "SOUND tone.wav GAIN 1.000000 PAUSEP 0.000000", "<GAIN_MODE> GAIN 1 \n        <TRANSPORT_MODE> PAUSEP 0",
         "Warning! <TRANSPORT_MODE> PAUSEP expects 1 number, found \"x\"; missing or bad values keep their defaults\n"},
    };
    for (const BlockCase& c : cases)
    {
        SCOPED_TRACE(c.lines);
        std::string output;
        std::unique_ptr<CSoundEntity> entity = Read(c.lines, &output);
        ASSERT_TRUE(entity);
        EXPECT_EQ(output, c.output);
        EXPECT_TRUE(entity->GetSource().IsLoaded());
        EXPECT_EQ(entity->GetGainMode(), c.gainMode);
        EXPECT_EQ(entity->GetTransportMode(), c.transport);
        EXPECT_FLOAT_EQ(entity->GetLow(), c.low);
        EXPECT_FLOAT_EQ(entity->GetHigh(), c.high);
        EXPECT_FLOAT_EQ(entity->GetPauseTime(), c.pause);
        EXPECT_FLOAT_EQ(alFloat(*entity, AL_GAIN), c.gain);
        EXPECT_FLOAT_EQ(alFloat(*entity, AL_PITCH), c.pitch);
        int looping = -1;
        alGetSourcei(entity->GetSource().GetSourceName(), AL_LOOPING, &looping);
        EXPECT_EQ(looping != 0, c.looping);
        EXPECT_EQ(alState(*entity), AL_INITIAL) << "nothing sounds before the marker is seen";
        EXPECT_EQ(Description(*entity), c.description);
        const std::string saved = Saved(*entity);
        EXPECT_EQ(saved, "    <SOUND> \n        <FILE> tone.wav \n        " + std::string(c.saved) + " \n    </SOUND> \n");
        // The written block builds the same entity, without a word.
        std::unique_ptr<CSoundEntity> again = Read(saved.substr(saved.find('\n') + 1, saved.rfind("    </SOUND>") -
                                                                                             saved.find('\n') - 1),
                                                   &output);
        EXPECT_EQ(output, "");
        EXPECT_EQ(Description(*again), c.description);
    }
    EXPECT_FLOAT_EQ(Read("<FILE> tone.wav\n<GAIN_MODE> 3D 1\n")->GetSource().GetReferenceDistance(), 240.f);
}

struct FollowCase
{
    const char* mode;
    double distance;  // mm from the camera
    float movement;   // mm since the last frame
    ALenum what;
    float expected;
};

TEST_F(SoundEntities, GainAndPitchFollowTheMarkersDistanceAndMovementUnclamped)
{
    const FollowCase cases[] = {
        {"CAMDIS 0 1", 240, 0, AL_GAIN, 0.f},       {"CAMDIS 0 1", 2000, 0, AL_GAIN, 1.f},
        {"CAMDIS 0 1", 3760, 0, AL_GAIN, 2.f},      {"CAMDIS 1 0", 1120, 0, AL_GAIN, 0.5f},
        {"VEL 0 1", 500, 1, AL_GAIN, 0.f},          {"VEL 0 1", 500, 30, AL_GAIN, 1.f},
        {"VEL 0.5 1", 500, 59, AL_GAIN, 1.5f},      {"PITCHD 1 0.5 1.5", 240, 0, AL_PITCH, 0.5f},
        {"PITCHD 1 0.5 1.5", 2000, 0, AL_PITCH, 1.5f}, {"PITCHV 1 0.5 1.5", 500, 0.5f, AL_PITCH, 0.5f},
        {"PITCHV 1 0.5 1.5", 500, 15.5f, AL_PITCH, 1.f}, {"PITCHV 1 0.5 1.5", 500, 30, AL_PITCH, 1.5f},
        {"GAIN 0.3", 3000, 50, AL_GAIN, 0.3f},
    };
    for (const FollowCase& c : cases)
    {
        SCOPED_TRACE(std::string(c.mode) + " at " + std::to_string(c.distance) + " mm moving " +
                     std::to_string(c.movement));
        std::unique_ptr<CSoundEntity> entity = Read("<FILE> tone.wav\n<GAIN_MODE> " + std::string(c.mode) + "\n");
        Marker marker;
        entity->update(0.04f, marker.At(0, 0, -c.distance).Moving(c.movement).state);
        EXPECT_NEAR(alFloat(*entity, c.what), c.expected, 1e-5);
        EXPECT_NEAR(c.what == AL_GAIN ? entity->GetSource().GetGain() : entity->GetSource().GetPitch(), c.expected, 1e-5);
    }
}

TEST_F(SoundEntities, APositionalSoundSitsAtItsMarkerAndMovesWithIt)
{
    std::unique_ptr<CSoundEntity> entity = Read("<FILE> tone.wav\n<GAIN_MODE> 3D 0.6\n<TRANSPORT_MODE> LOOP\n");
    Marker marker;
    entity->update(0.04f, marker.At(-120, 35, -480).Moving(4).state);
    float position[3], velocity[3];
    alGetSourcefv(entity->GetSource().GetSourceName(), AL_POSITION, position);
    alGetSourcefv(entity->GetSource().GetSourceName(), AL_VELOCITY, velocity);
    EXPECT_EQ(std::vector<float>(position, position + 3), (std::vector<float>{-120, 35, -480}));
    EXPECT_EQ(std::vector<float>(velocity, velocity + 3), (std::vector<float>{4, 0, 0}));
    EXPECT_FLOAT_EQ(alFloat(*entity, AL_GAIN), 0.6f);
    EXPECT_EQ(alState(*entity), AL_PLAYING);
}

TEST_F(SoundEntities, PlayPlaysOnceEachTimeTheMarkerComesIntoView)
{
    std::unique_ptr<CSoundEntity> entity = Read("<FILE> short.wav\n<TRANSPORT_MODE> PLAY\n");
    Marker marker;
    entity->update(0.04f, marker.Lost().state);
    EXPECT_NE(alState(*entity), AL_PLAYING);
    entity->update(0.04f, marker.At(0, 0, -500).state);
    EXPECT_EQ(alState(*entity), AL_PLAYING);
    ASSERT_TRUE(WaitUntil(2.0, [&] { return alState(*entity) == AL_STOPPED; }));
    entity->update(0.04f, marker.state);
    EXPECT_EQ(alState(*entity), AL_STOPPED) << "once per appearance";
    entity->update(0.04f, marker.Lost().state);
    entity->update(0.04f, marker.At(0, 0, -500).state);
    EXPECT_EQ(alState(*entity), AL_PLAYING) << "and again at the next";
}

TEST_F(SoundEntities, LoopPausesWhileTheMarkerIsLostAndResumesWhereItWas)
{
    std::unique_ptr<CSoundEntity> entity = Read("<FILE> tone.wav\n<TRANSPORT_MODE> LOOP\n");
    Marker marker;
    entity->update(0.04f, marker.At(0, 0, -500).state);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    entity->update(0.04f, marker.Lost().state);
    EXPECT_EQ(alState(*entity), AL_PAUSED);
    const int held = alOffset(*entity);
    EXPECT_GT(held, DemoSounds::kRate / 10);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    entity->update(0.04f, marker.state);
    EXPECT_EQ(alOffset(*entity), held) << "paused, not playing on";
    entity->update(0.04f, marker.At(0, 0, -500).state);
    EXPECT_EQ(alState(*entity), AL_PLAYING);
    EXPECT_GE(alOffset(*entity), held) << "resumed where it was";
    // Back after a long loss, it starts over.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    entity->update(0.04f, marker.Lost().state);
    entity->update(0.04f, marker.At(0, 0, -500).Reappeared(true).state);
    EXPECT_EQ(alState(*entity), AL_PLAYING);
    EXPECT_LT(alOffset(*entity), held);
}

TEST_F(SoundEntities, PausePlaysAgainItsPauseAfterEachEnd)
{
    std::unique_ptr<CSoundEntity> entity = Read("<FILE> short.wav\n<TRANSPORT_MODE> PAUSEP 3\n");
    Marker marker;
    marker.At(0, 0, -500);
    entity->update(0.5f, marker.state);
    ASSERT_TRUE(WaitUntil(2.0, [&] { return alState(*entity) == AL_STOPPED; }));
    for (int i = 1; i <= 5; ++i)
    {
        entity->update(0.5f, marker.state);
        EXPECT_EQ(alState(*entity), AL_STOPPED) << i * 0.5 << " s after the end";
    }
    entity->update(0.5f, marker.state);
    EXPECT_EQ(alState(*entity), AL_PLAYING) << "3 s after the end";
    // A loss in between starts the wait over.
    ASSERT_TRUE(WaitUntil(2.0, [&] { return alState(*entity) == AL_STOPPED; }));
    for (int i = 0; i < 4; ++i) entity->update(0.5f, marker.state);
    entity->update(0.5f, marker.Lost().state);
    entity->update(0.5f, marker.At(0, 0, -500).state);
    EXPECT_EQ(alState(*entity), AL_PLAYING) << "seen again: plays at once";
}

TEST_F(SoundEntities, ContinuousLoopIsMutedWhileTheMarkerIsLost)
{
    std::unique_ptr<CSoundEntity> entity = Read("<FILE> tone.wav\n<GAIN_MODE> GAIN 0.8\n<TRANSPORT_MODE> CONT_LOOP\n");
    Marker marker;
    entity->update(0.04f, marker.Lost().state);
    EXPECT_EQ(alState(*entity), AL_INITIAL) << "silent until first seen";
    entity->update(0.04f, marker.At(0, 0, -500).state);
    EXPECT_EQ(alState(*entity), AL_PLAYING);
    EXPECT_FLOAT_EQ(alFloat(*entity, AL_GAIN), 0.8f);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    entity->update(0.04f, marker.Lost().state);
    EXPECT_EQ(alState(*entity), AL_PLAYING) << "plays on";
    EXPECT_FLOAT_EQ(alFloat(*entity, AL_GAIN), 0.f) << "muted";
    const int offset = alOffset(*entity);
    entity->update(0.04f, marker.At(0, 0, -500).Reappeared(true).state);
    EXPECT_FLOAT_EQ(alFloat(*entity, AL_GAIN), 0.8f) << "unmuted";
    EXPECT_GE(alOffset(*entity), offset) << "not started over";
}

TEST_F(SoundEntities, ASoundFileThatDoesNotLoadIsReportedOnceAndStaysSilent)
{
    Write("broken.wav", "not a sound at all\n");
    std::string output;
    std::unique_ptr<CSoundEntity> entity = Read("<FILE> broken.wav\n<TRANSPORT_MODE> LOOP\n", &output);
    EXPECT_EQ(output, "Unable to load sound broken.wav\n");
    EXPECT_FALSE(entity->GetSource().IsLoaded());
    Marker marker;
    output = Captured([&]() {
        for (int i = 0; i < 3; ++i) entity->update(0.04f, marker.At(0, 0, -500).state);
        entity->update(0.04f, marker.Lost().state);
    });
    EXPECT_EQ(output, "");
    EXPECT_EQ(entity->GetSource().GetPlayStatus(), AL_STOPPED);
    EXPECT_EQ(Description(*entity), "SOUND broken.wav GAIN 1.000000 LOOP") << "the entity is kept as written";
    int reports = 0;
    for (const std::string& line : LogMessages(TestFolder::ReadFile(Path("Data/messageLog.txt"))))
        reports += line.rfind("CSoundEntity: Unable to load sound broken.wav: ", 0) == 0;
    EXPECT_EQ(reports, 1);
}

TEST_F(SoundEntities, AContentObjectBuildsItsSoundsSavesThemAndReleasesThemWithItself)
{
    Write("object.dat", "<ENTITY>\n<NAME> HUM\n<SOUND>\n<FILE> tone.wav\n<GAIN_MODE> CAMDIS 1 0\n"
                        "<TRANSPORT_MODE> LOOP\n</SOUND>\n<SCALE> 2\n</ENTITY>\n");
    std::unique_ptr<CContentObject> object(new CContentObject);
    COsgSettings reader;
    ASSERT_TRUE(reader.Load(Path("object.dat")) && reader.FindFirst("<ENTITY>"));
    ASSERT_TRUE(object->Load(0, reader));
    ASSERT_EQ(object->GetEntities().size(), 1u);
    CSoundEntity* sound = dynamic_cast<CSoundEntity*>(object->GetEntities()[0]);
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(object->GetScale(), 2.0) << "the line after the block is read";
    ASSERT_EQ(object->GetSecondNode()->getNumChildren(), 1u);
    EXPECT_EQ(object->GetSecondNode()->getChild(0)->getName(), "Sound");
    Marker marker;
    object->Update(0.04f, marker.At(0, 0, -500).state);
    EXPECT_EQ(alState(*sound), AL_PLAYING);
    Captured([&]() { object->SaveSettings(Path("saved.dat")); });
    EXPECT_NE(TestFolder::ReadFile(Path("saved.dat"))
                  .find("    <SOUND> \n        <FILE> tone.wav \n        <GAIN_MODE> CAMDIS 1 0 \n"
                        "        <TRANSPORT_MODE> LOOP \n    </SOUND> \n"),
              std::string::npos)
        << TestFolder::ReadFile(Path("saved.dat"));
    const unsigned int name = sound->GetSource().GetSourceName();
    object.reset();
    EXPECT_FALSE(alIsSource(name)) << "a discarded object's sound does not play on";
}
}
