#include "CSoundSource.h"

#include "CPathResolver.h"
#include "CWavDecoder.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alut.h>

#include <cstdlib>

namespace
{
// ALUT refuses to work while OpenAL or ALC hold an error from earlier calls,
// so the error states are cleared before every load.
void clearErrors(ALCcontext* context)
{
    alGetError();
    alcGetError(alcGetContextsDevice(context));
}
}

CSoundSource::CSoundSource() = default;

CSoundSource::~CSoundSource() = default;

int CSoundSource::LoadSound(const char* file)
{
    m_loadError.clear();
    if (!alcGetCurrentContext()) return 0;  // no sound device: silent, and already said once
    const std::string path = CPathResolver::Resolve(file ? file : "");
    return (LoadWithAlut(path) || LoadWithDecoder(path)) ? 1 : 0;
}

bool CSoundSource::LoadWithAlut(const std::string& path)
{
    m_alutError = ALUT_ERROR_NO_ERROR;
    clearErrors(alcGetCurrentContext());
    ALenum format = 0;
    ALsizei size = 0;
    ALfloat frequency = 0.f;
    void* data = alutLoadMemoryFromFile(path.c_str(), &format, &size, &frequency);
    if (!data)
    {
        m_alutError = alutGetError();
        m_loadError = alutGetErrorString(m_alutError);
        return false;
    }
    m_format = format;
    m_size = size;
    m_frequency = static_cast<int>(frequency);
    m_loop = 0;
    const bool made = MakeSourceAndBuffer(data);
    std::free(data);
    return made;
}

// ALUT reads 8- and 16-bit PCM only; float and wider samples, and the
// extensible header, are read here instead.
bool CSoundSource::LoadWithDecoder(const std::string& path)
{
    if (m_alutError != ALUT_ERROR_UNSUPPORTED_FILE_SUBTYPE) return false;
    CWavDecoder::Sound sound;
    std::string why;
    if (!CWavDecoder::Decode(path, sound, why))
    {
        m_loadError += ": " + why;
        return false;
    }
    m_loadError.clear();
    m_format = sound.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
    m_size = static_cast<int>(sound.samples.size() * sizeof(int16_t));
    m_frequency = sound.rate;
    m_loop = 0;
    return MakeSourceAndBuffer(sound.samples.data());
}

bool CSoundSource::MakeSourceAndBuffer(void* data)
{
    alGetError();
    alGenSources(1, &m_source);
    if (alGetError() != AL_NO_ERROR)
    {
        m_source = 0;
        m_loadError = "OpenAL has no free source";
        return false;
    }
    alGenBuffers(1, &m_buffer);
    alBufferData(m_buffer, m_format, data, m_size, m_frequency);
    if (alGetError() != AL_NO_ERROR)
    {
        CleanUp();
        m_loadError = "OpenAL did not take the sound data";
        return false;
    }
    alSourcei(m_source, AL_BUFFER, static_cast<ALint>(m_buffer));
    return true;
}

int CSoundSource::CreateSoundSource(const char* file, float px, float py, float pz, float vx, float vy, float vz)
{
    if (LoadSound(file) == 0) return 0;
    SetSourcePosition(px, py, pz);
    SetSourceVelocity(vx, vy, vz);
    SetPitch(1.f);
    SetGain(1.f);
    return 1;
}

void CSoundSource::SetSourcePosition(float x, float y, float z)
{
    m_position[0] = x, m_position[1] = y, m_position[2] = z;
    if (m_source) alSourcefv(m_source, AL_POSITION, m_position);
}

void CSoundSource::SetSourceVelocity(float x, float y, float z)
{
    m_velocity[0] = x, m_velocity[1] = y, m_velocity[2] = z;
    if (m_source) alSourcefv(m_source, AL_VELOCITY, m_velocity);
}

void CSoundSource::SetPitch(float pitch)
{
    m_pitch = pitch;
    if (m_source) alSourcef(m_source, AL_PITCH, m_pitch);
}

void CSoundSource::SetGain(float gain)
{
    m_gain = gain;
    if (m_source) alSourcef(m_source, AL_GAIN, m_gain);
}

void CSoundSource::ShiftPitch(float delta)
{
    SetPitch(m_pitch + delta);
}

void CSoundSource::ShiftGain(float delta)
{
    SetGain(m_gain + delta);
}

void CSoundSource::SetReferenceDistance(float distance)
{
    m_referenceDistance = distance;
    if (m_source) alSourcef(m_source, AL_REFERENCE_DISTANCE, m_referenceDistance);
}

void CSoundSource::PlaySoundSource()
{
    if (m_source) alSourcePlay(m_source);
}

void CSoundSource::StopSound()
{
    if (m_source) alSourceStop(m_source);
}

void CSoundSource::PauseSound()
{
    if (m_source) alSourcePause(m_source);
}

void CSoundSource::SetSourceLoop(char loop)
{
    if (m_source) alSourcei(m_source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
}

int CSoundSource::GetPlayStatus()
{
    ALint state = AL_STOPPED;
    if (m_source) alGetSourcei(m_source, AL_SOURCE_STATE, &state);
    m_state = state;
    return m_state;
}

bool CSoundSource::IsPlaying()
{
    return GetPlayStatus() != AL_STOPPED;
}

bool CSoundSource::IsStopped()
{
    return GetPlayStatus() == AL_STOPPED;
}

void CSoundSource::CleanUp()
{
    if (m_source)
    {
        alSourceStop(m_source);
        alSourcei(m_source, AL_BUFFER, 0);
        alDeleteSources(1, &m_source);
    }
    if (m_buffer) alDeleteBuffers(1, &m_buffer);
    m_source = m_buffer = 0;
}
