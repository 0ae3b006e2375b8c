#pragma once
// One loaded sound: one OpenAL buffer filled from one WAV file (loaded with
// ALUT) and one OpenAL source that plays it, with the position, velocity,
// pitch and gain last given to it.
//
// A CSoundSource is a plain value: copying it copies the OpenAL names, not the
// OpenAL objects, and destroying it releases nothing. Whoever made the sound
// releases it once with CleanUp (the sound manager for the sources it holds,
// a sound entity for its own).
//
// Loading needs ALUT started and an OpenAL context current (the sound manager
// provides both). Without a context there is no sound device: the source then
// loads nothing, says nothing and every operation only stores its value.
// WAV files are read by ALUT (8- and 16-bit PCM) or, for the layouts it
// refuses (wider or float samples, the extensible header), by CWavDecoder.
// A file that cannot be loaded leaves the source without OpenAL objects;
// GetLoadError() then says why.

#include <string>

class CSoundSource
{
public:
    CSoundSource();
    virtual ~CSoundSource();

    /// Loads the WAV file into a new buffer attached to a new source. 1 when
    /// the sound is ready, 0 when it is not (GetLoadError() says why, or is
    /// empty when there is no sound device).
    int LoadSound(const char* file);
    /// LoadSound, then position, velocity, pitch 1 and gain 1. 0 when loading failed.
    int CreateSoundSource(const char* file, float px, float py, float pz, float vx, float vy, float vz);

    void SetSourcePosition(float x, float y, float z);
    void SetSourceVelocity(float x, float y, float z);
    void SetPitch(float pitch);
    void SetGain(float gain);
    /// Add `delta` to the stored value and hand the sum to OpenAL as it is
    /// (OpenAL refuses negative values and keeps its previous one).
    void ShiftPitch(float delta);
    void ShiftGain(float delta);
    /// Distance (in the listener's units) within which a positioned sound
    /// has its full gain; beyond it the gain is reference / distance.
    void SetReferenceDistance(float distance);

    void PlaySoundSource();
    void StopSound();
    void PauseSound();
    void SetSourceLoop(char loop);

    /// Queries the OpenAL state (AL_INITIAL, AL_PLAYING, AL_PAUSED or
    /// AL_STOPPED), keeps it and returns it. A source without a sound counts as stopped.
    int GetPlayStatus();
    /// True whenever the state is not AL_STOPPED: a source never played, or
    /// paused, counts as playing.
    bool IsPlaying();
    /// True exactly when the state is AL_STOPPED.
    bool IsStopped();

    /// Deletes the source and the buffer; the names become 0.
    void CleanUp();

    bool IsLoaded() const { return m_source != 0; }
    const std::string& GetLoadError() const { return m_loadError; }
    unsigned int GetSourceName() const { return m_source; }
    unsigned int GetBufferName() const { return m_buffer; }
    float GetPitch() const { return m_pitch; }
    float GetGain() const { return m_gain; }
    float GetReferenceDistance() const { return m_referenceDistance; }
    const float* GetPosition() const { return m_position; }
    const float* GetVelocity() const { return m_velocity; }
    int GetFormat() const { return m_format; }
    int GetFrequency() const { return m_frequency; }
    int GetSize() const { return m_size; }

private:
    bool LoadWithAlut(const std::string& path);
    bool LoadWithDecoder(const std::string& path);
    bool MakeSourceAndBuffer(void* data);

    int m_format = 0;         // OpenAL format of the loaded data
    int m_frequency = 0;      // Hz
    int m_size = 0;           // bytes
    unsigned int m_source = 0;
    unsigned int m_buffer = 0;
    int m_state = 0;          // last AL_SOURCE_STATE queried
    char m_loop = 0;          // what the loader said about looping (never set by WAV files)
    float m_position[3] = {0.f, 0.f, 0.f};
    float m_velocity[3] = {0.f, 0.f, 0.f};
    float m_pitch = 1.f;
    float m_gain = 1.f;
    float m_referenceDistance = 1.f;
    std::string m_loadError;
    int m_alutError = 0;      // why ALUT refused the last file
};
