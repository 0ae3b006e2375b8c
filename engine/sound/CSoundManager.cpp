#include "CSoundManager.h"

#include "CMessageLog.h"
#include "COsgSettings.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <AL/alut.h>

#include <cassert>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace
{
const char* const kRootTag = "<VEXA_AUDIO_SETTINGS>";
const char* const kCloseTag = "</VEXA_AUDIO_SETTINGS>";
const char* const kDeviceTag = "<AUDI_DEVICE_NAME>";
// Marker poses are in millimetres; OpenAL's default of 343.3 would be a
// speed of sound in millimetres per second and give a marker moving a few
// millimetres a frame a strong Doppler shift.
const float kSpeedOfSoundMm = 343300.f;

void log(const std::string& text)
{
    CMessageLog::Instance()->WriteToLog("CSoundManager: " + text);
}

std::string text(const ALCchar* value)
{
    return value ? std::string(value) : std::string();
}

// The words after the first one, joined by single spaces.
std::string restOfLine(std::istringstream& words)
{
    std::string rest, word;
    while (words >> word) rest += (rest.empty() ? "" : " ") + word;
    return rest;
}
}

CSoundManager::CSoundManager() = default;

CSoundManager::~CSoundManager()
{
    CleanUp();
}

bool CSoundManager::Init(int argc, char** argv)
{
    InitOpenAL(argc, argv);
    return true;
}

void CSoundManager::InitOpenAL(int argc, char** argv)
{
    // ALUT only loads the WAV files: the device is the one the settings name,
    // so ALUT opens none of its own.
    int count = argc;
    m_alutStarted = alutInitWithoutContext(argv ? &count : nullptr, argv) == AL_TRUE;
    if (!m_alutStarted)
    {
        std::fprintf(stderr, "%s\n", alutGetErrorString(alutGetError()));
        std::fflush(stderr);
    }
    m_initialised = true;
    LoadSoundSettings();
    OpenChosenDevice();
    SetListenerPosition(0.f, 0.f, 0.f);
    SetUpVector(0.f, -1.f, 0.f);
    SetForwardVector(0.f, 0.f, 1.f);
}

bool CSoundManager::CreateContext()
{
    assert(!m_device && "CSoundManager::CreateContext: a device is already open");
    if (m_device) return true;
    return OpenChosenDevice();
}

void CSoundManager::CaptureMix(int rate, int channels)
{
    assert(!m_device && "CSoundManager::CaptureMix: call it before the device is open");
    assert(rate > 0 && (channels == 1 || channels == 2) && "CSoundManager::CaptureMix: a rate and 1 or 2 channels");
    m_mixRate = rate;
    m_mixChannels = channels;
}

bool CSoundManager::OpenLoopback()
{
    if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback")) return false;
    auto open = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    if (!open) return false;
    ALCdevice* device = open(nullptr);
    if (!device) return false;
    const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT, m_mixChannels == 2 ? ALC_STEREO_SOFT : ALC_MONO_SOFT,
                                 ALC_FORMAT_TYPE_SOFT, ALC_SHORT_SOFT, ALC_FREQUENCY, m_mixRate, 0};
    if (!UseDevice(device, attributes)) return false;
    m_loopback = true;
    return true;
}

bool CSoundManager::RenderMix(int16_t* out, int frames)
{
    if (!m_loopback || frames <= 0) return false;
    static auto render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    if (!render) return false;
    render(static_cast<ALCdevice*>(m_device), out, frames);
    m_monitor.Push(out, frames);
    return true;
}

bool CSoundManager::OpenChosenDevice()
{
    if (m_mixRate > 0)
    {
        if (OpenLoopback())
        {
            // Heard through the monitor; a machine without a device records in silence.
            std::string error;
            if (!m_monitor.Open(m_deviceName, m_mixRate, m_mixChannels, error) &&
                !m_monitor.Open("", m_mixRate, m_mixChannels, error))
                log("InitOpenAL: the recorded sound is not heard: " + error);
            return true;
        }
        log("InitOpenAL: the sound cannot be rendered for the recording (no loopback device); playing it only");
    }
    if (OpenDevice(m_deviceName)) return true;
    const std::string fallback = GetDefaultDevice();
    if (!m_deviceName.empty() && OpenDevice(""))
    {
        log("InitOpenAL: the sound device \"" + m_deviceName + "\" could not be opened; using the default device \"" +
            GetActiveDevice() + "\"");
        return true;
    }
    log("InitOpenAL: no sound device could be opened (asked for \"" + m_deviceName + "\", default \"" + fallback +
        "\"); running without sound");
    return false;
}

bool CSoundManager::OpenDevice(const std::string& name)
{
    ALCdevice* device = alcOpenDevice(name.empty() ? nullptr : name.c_str());
    return device && UseDevice(device, nullptr);
}

bool CSoundManager::UseDevice(void* opened, const int* attributes)
{
    ALCdevice* device = static_cast<ALCdevice*>(opened);
    ALCcontext* context = alcCreateContext(device, attributes);
    if (!context || !alcMakeContextCurrent(context))
    {
        if (context) alcDestroyContext(context);
        alcCloseDevice(device);
        return false;
    }
    m_device = device;
    m_context = context;
    alGetError();
    alSpeedOfSound(kSpeedOfSoundMm);
    return true;
}

void CSoundManager::CloseDevice()
{
    m_monitor.Close();
    if (!m_device) return;
    ALCcontext* context = static_cast<ALCcontext*>(m_context);
    if (alcGetCurrentContext() == context) alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
    alcCloseDevice(static_cast<ALCdevice*>(m_device));
    m_context = m_device = nullptr;
    m_loopback = false;
}

void CSoundManager::LoadSoundSettings()
{
    if (ReadDeviceName()) return;
    SetDeviceName(GetDefaultDevice());
    SaveSoundSettings();
}

// Read by whole words rather than through the tag-file tokeniser, which
// splits at commas and drops what follows a "#": device names such as
// "HDA Intel PCH, ALC3246 Analog (CARD=PCH,DEV=0)" must come back whole.
bool CSoundManager::ReadDeviceName()
{
    std::ifstream in(m_settingsPath, std::ios::binary);
    if (!in) return false;
    bool inRoot = false;
    std::string line;
    while (std::getline(in, line))
    {
        if (!line.empty() && line[0] == '$') break;
        if (!line.empty() && line[0] == '#') continue;
        std::istringstream words(line);
        std::string first;
        if (!(words >> first)) continue;
        if (!inRoot)
        {
            inRoot = first == kRootTag;
            continue;
        }
        if (first == kCloseTag) break;
        if (first != kDeviceTag) continue;
        const std::string name = restOfLine(words);
        if (name.empty())
            log("LoadSoundSettings: " + m_settingsPath + ": expected a device name after " + kDeviceTag +
                ", found nothing");
        else
            SetDeviceName(name);
    }
    return m_hasDeviceName;
}

bool CSoundManager::SaveSoundSettings()
{
    COsgSettings writer;
    if (writer.Open(m_settingsPath))
    {
        writer.WriteLine(kRootTag);
        writer.Indent();
        writer.WriteIndent();
        writer.WriteTag(kDeviceTag);
        writer.WriteString(m_deviceName);
        writer.Unindent();
        writer.WriteLine(kCloseTag);
        if (writer.Close()) return true;
    }
    log("SaveSoundSettings: could not write " + m_settingsPath + " (" + writer.WriteError() + ")");
    return false;
}

void CSoundManager::SetDeviceName(const std::string& name)
{
    m_deviceName = name;
    m_hasDeviceName = true;
}

std::string CSoundManager::GetDefaultDevice() const
{
    return text(alcGetString(nullptr, ALC_DEFAULT_DEVICE_SPECIFIER));
}

std::string CSoundManager::GetActiveDevice() const
{
    if (!m_device) return std::string();
    return text(alcGetString(static_cast<ALCdevice*>(m_device), ALC_DEVICE_SPECIFIER));
}

std::vector<std::string> CSoundManager::GetDeviceList() const
{
    std::vector<std::string> names;
    const ALCchar* list = alcGetString(nullptr, ALC_DEVICE_SPECIFIER);
    while (list && *list)
    {
        names.emplace_back(list);
        list += names.back().size() + 1;
    }
    return names;
}

void CSoundManager::SetListenerPosition(float x, float y, float z)
{
    m_listenerPosition[0] = x, m_listenerPosition[1] = y, m_listenerPosition[2] = z;
    if (m_context) alListenerfv(AL_POSITION, m_listenerPosition);
}

void CSoundManager::SetForwardVector(float x, float y, float z)
{
    m_orientation[0] = x, m_orientation[1] = y, m_orientation[2] = z;
    SetOrientation();
}

void CSoundManager::SetUpVector(float x, float y, float z)
{
    m_orientation[3] = x, m_orientation[4] = y, m_orientation[5] = z;
    SetOrientation();
}

void CSoundManager::SetOrientation()
{
    if (m_context) alListenerfv(AL_ORIENTATION, m_orientation);
}

osg::Vec3f CSoundManager::GetListenerPosition() const
{
    return osg::Vec3f(m_listenerPosition[0], m_listenerPosition[1], m_listenerPosition[2]);
}

osg::Vec3f CSoundManager::GetForwardVector() const
{
    return osg::Vec3f(m_orientation[0], m_orientation[1], m_orientation[2]);
}

osg::Vec3f CSoundManager::GetUpVector() const
{
    return osg::Vec3f(m_orientation[3], m_orientation[4], m_orientation[5]);
}

int CSoundManager::AddSoundSource(const char* file, float px, float py, float pz, float vx, float vy, float vz)
{
    CSoundSource source;
    if (!source.CreateSoundSource(file, px, py, pz, vx, vy, vz) && !source.GetLoadError().empty())
        log(std::string("AddSoundSource: could not load the sound ") + (file ? file : "") + ": " +
            source.GetLoadError());
    m_sources.push_back(source);
    return m_sourceCount++;
}

int CSoundManager::AddSoundSource(const char* file)
{
    return AddSoundSource(file, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f);
}

CSoundSource* CSoundManager::GetSource(int index)
{
    if (index < 0 || index >= static_cast<int>(m_sources.size())) return nullptr;
    return &m_sources[static_cast<size_t>(index)];
}

void CSoundManager::PlaySource(int index)
{
    assert(GetSource(index) && "CSoundManager::PlaySource: the index must be one AddSoundSource returned");
    if (CSoundSource* source = GetSource(index)) source->PlaySoundSource();
}

void CSoundManager::StopSource(int index)
{
    assert(GetSource(index) && "CSoundManager::StopSource: the index must be one AddSoundSource returned");
    if (CSoundSource* source = GetSource(index)) source->StopSound();
}

void CSoundManager::PauseSoure(int index)
{
    assert(GetSource(index) && "CSoundManager::PauseSoure: the index must be one AddSoundSource returned");
    if (CSoundSource* source = GetSource(index)) source->PauseSound();
}

void CSoundManager::SetSourceLoop(int index, char loop)
{
    assert(GetSource(index) && "CSoundManager::SetSourceLoop: the index must be one AddSoundSource returned");
    if (CSoundSource* source = GetSource(index)) source->SetSourceLoop(loop);
}

int CSoundManager::GetPlayStatus(int index)
{
    assert(GetSource(index) && "CSoundManager::GetPlayStatus: the index must be one AddSoundSource returned");
    CSoundSource* source = GetSource(index);
    return source ? source->GetPlayStatus() : 0;
}

void CSoundManager::SetSourcePosition(int index, float x, float y, float z)
{
    assert(GetSource(index) && "CSoundManager::SetSourcePosition: the index must be one AddSoundSource returned");
    if (CSoundSource* source = GetSource(index)) source->SetSourcePosition(x, y, z);
}

void CSoundManager::SetSourceVelocity(int index, float x, float y, float z)
{
    assert(GetSource(index) && "CSoundManager::SetSourceVelocity: the index must be one AddSoundSource returned");
    if (CSoundSource* source = GetSource(index)) source->SetSourceVelocity(x, y, z);
}

void CSoundManager::SetPitch(int index, float pitch)
{
    assert(GetSource(index) && "CSoundManager::SetPitch: the index must be one AddSoundSource returned");
    if (CSoundSource* source = GetSource(index)) source->SetPitch(pitch);
}

void CSoundManager::SetGain(int index, float gain)
{
    assert(GetSource(index) && "CSoundManager::SetGain: the index must be one AddSoundSource returned");
    if (CSoundSource* source = GetSource(index)) source->SetGain(gain);
}

void CSoundManager::ShiftPitch(int index, float delta)
{
    assert(GetSource(index) && "CSoundManager::ShiftPitch: the index must be one AddSoundSource returned");
    if (CSoundSource* source = GetSource(index)) source->ShiftPitch(delta);
}

void CSoundManager::ShiftGain(int index, float delta)
{
    assert(GetSource(index) && "CSoundManager::ShiftGain: the index must be one AddSoundSource returned");
    if (CSoundSource* source = GetSource(index)) source->ShiftGain(delta);
}

void CSoundManager::CleanUp()
{
    if (!m_initialised && !m_device) return;
    for (int i = 0; i < m_sourceCount && i < static_cast<int>(m_sources.size()); ++i)
        m_sources[static_cast<size_t>(i)].CleanUp();
    m_sources.clear();
    m_sourceCount = 0;
    CloseDevice();
    if (m_initialised) SaveSoundSettings();
    if (m_alutStarted) alutExit();
    m_alutStarted = false;
    m_initialised = false;
}
