#pragma once
// The sound manager: starts ALUT, opens the OpenAL output device named in the
// sound settings file "Data/soundSettings.dat" (relative to the working
// folder) and makes its context current, places the listener, and holds a
// list of sounds addressed by the index AddSoundSource returned.
//
// Ownership: the manager owns the device, the context and the OpenAL objects
// of the sources in its list (released by CleanUp). It owns the process's
// OpenAL context: everything else that plays sound (sound entities, the sound
// of video files) uses the context the manager made current, and must be done
// with it before CleanUp.
//
// Device choice: the requested name (the settings file's, or the default
// device's when the file has none) is opened first; when it cannot be opened
// the default device is tried, and when there is no device at all the
// program runs on silently. Each of these fallbacks writes one log line. The
// requested name is what the settings file keeps; a name chosen with
// SetDeviceName is used from the next start on.
//
// Settings file (a tag file, rewritten whole through the atomic writer):
//   <VEXA_AUDIO_SETTINGS>
//       <AUDI_DEVICE_NAME> the device name
//   </VEXA_AUDIO_SETTINGS>
//
// Lengths are the engine's millimetres (marker poses are in millimetres), so
// the speed of sound is given to OpenAL in millimetres per second.
//
// All calls come from the engine's frame-loop thread.

#include "CSoundMonitor.h"
#include "CSoundSource.h"

#include <osg/Vec3f>

#include <string>
#include <vector>

class CSoundManager
{
public:
    CSoundManager();
    /// Runs CleanUp when Init ran and CleanUp did not.
    ~CSoundManager();
    CSoundManager(const CSoundManager&) = delete;
    CSoundManager& operator=(const CSoundManager&) = delete;

    /// Runs InitOpenAL. Always true: without sound the program runs on.
    bool Init(int argc, char** argv);
    /// Starts ALUT (a failure is written to standard error), reads the
    /// settings, opens the device, makes its context current, and places the
    /// listener at the origin with up (0, -1, 0) and forward (0, 0, 1).
    void InitOpenAL(int argc, char** argv);
    /// Opens the device named by the requested name and makes a context on it
    /// current; for front-ends that do not run Init. False when no device opened.
    bool CreateContext();

    /// Reads the requested device name from the settings file; when the file,
    /// its root or its device line is missing, requests the default device
    /// and writes the file.
    void LoadSoundSettings();
    /// Rewrites the settings file; false (with one log line) when it cannot be written.
    bool SaveSoundSettings();

    /// The device to open at the next start, kept whole whatever its length.
    void SetDeviceName(const std::string& name);
    std::string GetDeviceNameAsString() const { return m_deviceName; }
    bool HasDeviceName() const { return m_hasDeviceName; }
    std::string GetDefaultDevice() const;
    /// The name of the device actually open; empty when none is.
    std::string GetActiveDevice() const;
    std::vector<std::string> GetDeviceList() const;

    void SetListenerPosition(float x, float y, float z);
    /// Forward ("at") and up vectors; each setter hands all six floats to OpenAL.
    void SetForwardVector(float x, float y, float z);
    void SetUpVector(float x, float y, float z);
    osg::Vec3f GetListenerPosition() const;
    osg::Vec3f GetForwardVector() const;
    osg::Vec3f GetUpVector() const;

    /// Makes a sound from the WAV file and appends it, loaded or not; returns
    /// its index (the number of sources before). A file that does not load
    /// is reported in the log once and its source stays silent.
    int AddSoundSource(const char* file, float px, float py, float pz, float vx, float vy, float vz);
    int AddSoundSource(const char* file);
    int GetSourceCount() const { return m_sourceCount; }
    /// The source at `index`, or null when no source has that index.
    CSoundSource* GetSource(int index);

    // By index: `index` must be one AddSoundSource returned (asserted; an
    // unknown index does nothing, and GetPlayStatus then returns 0).
    void PlaySource(int index);
    void StopSource(int index);
    void PauseSoure(int index);
    void SetSourceLoop(int index, char loop);
    int GetPlayStatus(int index);
    void SetSourcePosition(int index, float x, float y, float z);
    void SetSourceVelocity(int index, float x, float y, float z);
    void SetPitch(int index, float pitch);
    void SetGain(int index, float gain);
    void ShiftPitch(int index, float delta);
    void ShiftGain(int index, float delta);

    /// Releases every source, the context and the device, writes the
    /// settings file and stops ALUT. Does nothing when Init has not run.
    void CleanUp();

    /// For a recording: the mix is rendered on request instead of played.
    /// Init then opens a loopback device as the manager's device (every
    /// source plays into it) and the chosen output device as a monitor, so
    /// the sound is still heard. Call before Init; `channels` is 1 or 2.
    void CaptureMix(int rate, int channels);
    /// True once Init opened the loopback device.
    bool IsCapturingMix() const { return m_loopback; }
    int GetMixRate() const { return m_mixRate; }
    int GetMixChannels() const { return m_mixChannels; }
    /// The next `frames` of the mix, interleaved 16-bit, into `out` (also
    /// played on the monitor); false when the mix is not captured.
    bool RenderMix(int16_t* out, int frames);

    bool IsInitialised() const { return m_initialised; }
    /// True while a device and its context are open.
    bool HasDevice() const { return m_device != nullptr; }
    const std::string& GetSettingsPath() const { return m_settingsPath; }

private:
    bool OpenDevice(const std::string& name);
    /// Makes a context on `device` (an ALCdevice) current and keeps both; on failure the
    /// device is closed and false returned.
    bool UseDevice(void* device, const int* attributes);
    bool OpenLoopback();
    bool OpenChosenDevice();
    void CloseDevice();
    void SetOrientation();
    bool ReadDeviceName();

    float m_listenerPosition[3] = {0.f, 0.f, 0.f};
    float m_orientation[6] = {0.f, 0.f, 0.f, 0.f, 0.f, 0.f};  // forward, then up
    void* m_context = nullptr;  // ALCcontext, owned
    void* m_device = nullptr;   // ALCdevice, owned
    std::vector<CSoundSource> m_sources;
    int m_sourceCount = 0;
    std::string m_deviceName;
    bool m_hasDeviceName = false;
    const std::string m_settingsPath = "Data/soundSettings.dat";
    bool m_initialised = false;
    bool m_alutStarted = false;
    int m_mixRate = 0, m_mixChannels = 0;  // asked for by CaptureMix; 0 = play to the device
    bool m_loopback = false;               // the device is a loopback device
    CSoundMonitor m_monitor;
};
