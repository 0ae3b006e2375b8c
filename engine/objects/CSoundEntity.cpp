#include "CSoundEntity.h"

#include "CContentFiles.h"
#include "CMessageLog.h"
#include "COsgSettings.h"
#include "CTagBlock.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace
{
// The distance and movement ranges the modulating modes map onto low..high.
const float kNearDistance = 240.f;   // mm: low
const float kDistanceSpan = 1760.f;  // mm from near to the distance giving high
const float kSlowMovement = 1.f;     // mm per frame: low
const float kMovementSpan = 29.f;    // mm per frame from slow to the movement giving high

struct Word
{
    const char* word;
    int mode;
    int values;  // numbers after the word
};
const Word kGainWords[] = {{"GAIN", CSoundEntity::GAIN_CONSTANT, 1},  {"CAMDIS", CSoundEntity::GAIN_DISTANCE, 2},
                           {"VEL", CSoundEntity::GAIN_VELOCITY, 2},    {"3D", CSoundEntity::GAIN_POSITIONAL, 1},
                           {"PITCHD", CSoundEntity::PITCH_DISTANCE, 3}, {"PITCHV", CSoundEntity::PITCH_VELOCITY, 3}};
const Word kTransportWords[] = {{"PLAY", CSoundEntity::TRANSPORT_PLAY, 0},
                                {"LOOP", CSoundEntity::TRANSPORT_LOOP, 0},
                                {"PAUSEP", CSoundEntity::TRANSPORT_PAUSE, 1},
                                {"CONT_LOOP", CSoundEntity::TRANSPORT_CONT_LOOP, 0}};

template <size_t N>
const Word* findWord(const Word (&words)[N], const std::string& word)
{
    for (const Word& w : words)
        if (word == w.word) return &w;
    return nullptr;
}

template <size_t N>
const char* wordFor(const Word (&words)[N], int mode)
{
    for (const Word& w : words)
        if (w.mode == mode) return w.word;
    return words[0].word;
}

std::string number(float value)
{
    std::ostringstream text;
    text << value;  // as the tag-file writer writes numbers
    return text.str();
}

bool isNumber(const std::string& token, float& value)
{
    if (token.empty()) return false;
    char* end = nullptr;
    const double parsed = std::strtod(token.c_str(), &end);
    if (*end != '\0') return false;
    value = static_cast<float>(parsed);
    return true;
}

// Reads the numbers after a mode word into `values`; missing or bad ones keep
// the value they had, with one warning line.
void readNumbers(COsgSettings& reader, const std::string& what, float* const* values, int count)
{
    std::string found;
    bool bad = false;
    for (int i = 0; i < count; ++i)
    {
        const std::string token = reader.NextString();
        found += (i && !token.empty() ? " " : "") + token;
        if (!isNumber(token, *values[i])) bad = true;
    }
    if (!bad) return;
    CTagBlock::Print("Warning! " + what + " expects " + std::to_string(count) + (count == 1 ? " number" : " numbers") +
                     ", found \"" + found + "\"; missing or bad values keep their defaults");
}
}

CSoundEntity::CSoundEntity() : m_node(new osg::Group)
{
    m_node->setName("Sound");
}

CSoundEntity::~CSoundEntity()
{
    CleanUp();
}

CSoundEntity* CSoundEntity::Read(COsgSettings& reader, const std::vector<std::string>& stops)
{
    CSoundEntity* entity = new CSoundEntity;
    for (;;)
    {
        const CTagBlock::Step step = CTagBlock::Next(reader, "</SOUND>", stops);
        if (step == CTagBlock::CLOSED) break;
        if (step == CTagBlock::UNCLOSED)
        {
            CTagBlock::Print("Warning! <SOUND> block is not closed by </SOUND>; it ends here");
            break;
        }
        entity->ReadLine(reader, reader.NextString());
    }
    entity->Build();
    return entity;
}

void CSoundEntity::ReadLine(COsgSettings& reader, const std::string& tag)
{
    if (tag == "<FILE>") m_fileName = reader.NextString();
    else if (tag == "<GAIN_MODE>") ReadGainMode(reader);
    else if (tag == "<TRANSPORT_MODE>") ReadTransportMode(reader);
}

void CSoundEntity::ReadGainMode(COsgSettings& reader)
{
    const std::string word = reader.NextString();
    const Word* mode = findWord(kGainWords, word);
    if (!mode)
    {
        CTagBlock::Print("Unrecognised Gain Type!");
        return;  // the defaults stay: constant gain 1
    }
    m_gainMode = mode->mode;
    float* const gainOnly[] = {&m_gain};
    float* const lowHigh[] = {&m_low, &m_high};
    float* const all[] = {&m_gain, &m_low, &m_high};
    readNumbers(reader, "<GAIN_MODE> " + word, mode->values == 1 ? gainOnly : mode->values == 2 ? lowHigh : all,
                mode->values);
}

void CSoundEntity::ReadTransportMode(COsgSettings& reader)
{
    const std::string word = reader.NextString();
    const Word* mode = findWord(kTransportWords, word);
    if (!mode)
    {
        CTagBlock::Print("Warning! <TRANSPORT_MODE> expects PLAY, LOOP, PAUSEP or CONT_LOOP, found \"" + word +
                         "\"; the sound plays once");
        m_transportMode = TRANSPORT_PLAY;
        return;
    }
    m_transportMode = mode->mode;
    float* const pause[] = {&m_pauseTime};
    if (mode->values) readNumbers(reader, "<TRANSPORT_MODE> " + word, pause, 1);
}

void CSoundEntity::SetGainMode(GainMode mode, float gain, float low, float high)
{
    m_gainMode = mode;
    m_gain = gain;
    m_low = low;
    m_high = high;
}

void CSoundEntity::SetTransportMode(TransportMode mode, float pauseSeconds)
{
    m_transportMode = mode;
    m_pauseTime = pauseSeconds;
}

void CSoundEntity::Build()
{
    m_source.CleanUp();
    m_playing = m_pausing = false;
    m_pauseTimer = 0.f;
    const std::string path = CContentFiles::Find(m_fileName);
    if (!m_source.CreateSoundSource(path.c_str(), 0.f, 0.f, 0.f, 0.f, 0.f, 0.f) && !m_source.GetLoadError().empty())
    {
        CTagBlock::Print("Unable to load sound " + m_fileName);
        CMessageLog::Instance()->WriteToLog("CSoundEntity: Unable to load sound " + m_fileName + ": " +
                                            m_source.GetLoadError());
    }
    if (m_gainMode == GAIN_DISTANCE || m_gainMode == GAIN_VELOCITY) m_gain = (m_low + m_high) / 2.f;
    if (m_gainMode == PITCH_DISTANCE || m_gainMode == PITCH_VELOCITY) m_pitch = (m_low + m_high) / 2.f;
    m_loopFlag = m_transportMode == TRANSPORT_PLAY ? 0 : 1;
    m_source.SetSourceLoop(m_transportMode == TRANSPORT_LOOP || m_transportMode == TRANSPORT_CONT_LOOP ? 1 : 0);
    m_range = m_high - m_low;
    if (m_gainMode == GAIN_POSITIONAL) m_source.SetReferenceDistance(kPositionalReferenceDistance);
    m_source.SetGain(m_gain);
    m_source.SetPitch(m_pitch);
    // Not started here: the sound starts when the marker is first seen.
}

void CSoundEntity::update(float seconds, const MarkerState& state)
{
    if (!m_source.IsLoaded()) return;
    if (state.visible)
        UpdateVisible(seconds, state);
    else
        UpdateHidden();
}

void CSoundEntity::UpdateVisible(float seconds, const MarkerState& state)
{
    if (state.reappeared && m_transportMode != TRANSPORT_CONT_LOOP)
    {
        m_source.StopSound();  // back after a long loss: from the start
        m_playing = false;
    }
    if (!m_playing)
    {
        m_playing = true;
        m_pausing = false;
        m_source.PlaySoundSource();
    }
    if (m_transportMode == TRANSPORT_CONT_LOOP) m_source.SetGain(m_gain);
    if (m_loopFlag == 1 && m_source.IsStopped()) PlayAgainAfterEnd(seconds);
    Modulate(state);
}

void CSoundEntity::PlayAgainAfterEnd(float seconds)
{
    if (m_transportMode == TRANSPORT_LOOP)
    {
        m_source.PlaySoundSource();
        return;
    }
    if (m_transportMode != TRANSPORT_PAUSE) return;
    if (!m_pausing)
    {
        m_pausing = true;
        m_pauseTimer = 0.f;
    }
    m_pauseTimer += seconds;
    if (m_pauseTimer < m_pauseTime) return;
    m_source.PlaySoundSource();
    m_pauseTimer = 0.f;
    m_pausing = false;
}

void CSoundEntity::Modulate(const MarkerState& state)
{
    const osg::Vec3f position = state.matrix ? osg::Vec3f(state.matrix->getTrans()) : state.previousPosition;
    const float distance = position.length();
    const float movement = state.movement.length();
    switch (m_gainMode)
    {
    case GAIN_DISTANCE:
        ApplyGain((distance - kNearDistance) / kDistanceSpan * m_range + m_low);
        break;
    case GAIN_VELOCITY:
        ApplyGain((movement - kSlowMovement) / kMovementSpan * m_range + m_low);
        break;
    case GAIN_POSITIONAL:
        m_source.SetSourcePosition(position.x(), position.y(), position.z());
        m_source.SetSourceVelocity(state.movement.x(), state.movement.y(), state.movement.z());
        break;
    case PITCH_DISTANCE:
        m_source.SetPitch((distance - kNearDistance) / kDistanceSpan * m_range + m_low);
        break;
    case PITCH_VELOCITY:
        m_source.SetPitch(movement > kSlowMovement ? (movement - kSlowMovement) / kMovementSpan * m_range + m_low
                                                   : m_low);
        break;
    default:
        break;
    }
}

void CSoundEntity::ApplyGain(float gain)
{
    m_gain = gain;
    m_source.SetGain(gain);
}

void CSoundEntity::UpdateHidden()
{
    m_pauseTimer = 0.f;
    if (m_transportMode == TRANSPORT_LOOP)
    {
        m_playing = false;
        m_source.PauseSound();
    }
    else if (m_transportMode == TRANSPORT_CONT_LOOP)
        m_source.SetGain(0.f);  // keeps playing, silently
    else
    {
        m_playing = false;
        m_source.StopSound();
    }
}

void CSoundEntity::CleanUp()
{
    m_source.CleanUp();
    m_playing = false;
}

std::string CSoundEntity::GainWords() const
{
    char text[96];
    const char* word = wordFor(kGainWords, m_gainMode);
    switch (m_gainMode)
    {
    case GAIN_DISTANCE:
    case GAIN_VELOCITY:
        std::snprintf(text, sizeof(text), "%s %f %f", word, m_low, m_high);
        break;
    case PITCH_DISTANCE:
    case PITCH_VELOCITY:
        std::snprintf(text, sizeof(text), "%s %f %f %f", word, m_gain, m_low, m_high);
        break;
    default:
        std::snprintf(text, sizeof(text), "%s %f", word, m_gain);
        break;
    }
    return text;
}

std::string CSoundEntity::TransportWords() const
{
    if (m_transportMode != TRANSPORT_PAUSE) return wordFor(kTransportWords, m_transportMode);
    char text[64];
    std::snprintf(text, sizeof(text), "PAUSEP %f", m_pauseTime);
    return text;
}

char* CSoundEntity::GetDescription()
{
    char* text = new char[256];
    std::snprintf(text, 256, "SOUND %s %s %s", m_fileName.c_str(), GainWords().c_str(), TransportWords().c_str());
    return text;
}

void CSoundEntity::Save(COsgSettings& writer)
{
    writer.WriteIndent();
    writer.WriteLine("<SOUND>");
    writer.Indent();
    writer.WriteIndent();
    writer.WriteTag("<FILE>");
    writer.WriteString(m_fileName);

    writer.WriteIndent();
    writer.WriteTag("<GAIN_MODE>");
    std::string gain = wordFor(kGainWords, m_gainMode);
    if (m_gainMode != GAIN_DISTANCE && m_gainMode != GAIN_VELOCITY) gain += " " + number(m_gain);
    if (m_gainMode != GAIN_CONSTANT && m_gainMode != GAIN_POSITIONAL) gain += " " + number(m_low) + " " + number(m_high);
    writer.WriteString(gain);

    writer.WriteIndent();
    writer.WriteTag("<TRANSPORT_MODE>");
    std::string transport = wordFor(kTransportWords, m_transportMode);
    if (m_transportMode == TRANSPORT_PAUSE) transport += " " + number(m_pauseTime);
    writer.WriteString(transport);
    writer.Unindent();
    writer.WriteIndent();
    writer.WriteLine("</SOUND>");
}
