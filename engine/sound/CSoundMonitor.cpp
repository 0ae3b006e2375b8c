#include "CSoundMonitor.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <chrono>

namespace
{
const size_t kMaxWaiting = 16;  // blocks waiting for the device, at most
const int kBuffers = 4;         // OpenAL buffers cycling through the source

PFNALCSETTHREADCONTEXTPROC threadContextCall()
{
    return reinterpret_cast<PFNALCSETTHREADCONTEXTPROC>(alcGetProcAddress(nullptr, "alcSetThreadContext"));
}
}

CSoundMonitor::~CSoundMonitor()
{
    Close();
}

bool CSoundMonitor::Open(const std::string& name, int rate, int channels, std::string& error)
{
    if (!alcIsExtensionPresent(nullptr, "ALC_EXT_thread_local_context") || !threadContextCall())
    {
        error = "this OpenAL has no thread contexts";
        return false;
    }
    ALCdevice* device = alcOpenDevice(name.empty() ? nullptr : name.c_str());
    if (!device)
    {
        error = "cannot open the sound device \"" + name + "\"";
        return false;
    }
    const ALCint attributes[] = {ALC_FREQUENCY, rate, 0};
    ALCcontext* context = alcCreateContext(device, attributes);
    if (!context)
    {
        alcCloseDevice(device);
        error = "cannot make a context on the sound device \"" + name + "\"";
        return false;
    }
    m_device = device;
    m_context = context;
    m_rate = rate;
    m_channels = channels;
    m_stopping = false;
    m_thread = std::thread(&CSoundMonitor::Play, this);
    return true;
}

void CSoundMonitor::Push(const int16_t* samples, int frames)
{
    if (!m_device || frames <= 0) return;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        if (m_blocks.size() >= kMaxWaiting) return;  // the device is behind: drop
        m_blocks.emplace_back(samples, samples + static_cast<size_t>(frames) * m_channels);
    }
    m_wake.notify_one();
}

bool CSoundMonitor::FillAndQueue(unsigned int buffer, std::vector<int16_t>& block)
{
    const ALenum format = m_channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
    alBufferData(buffer, format, block.data(), static_cast<ALsizei>(block.size() * sizeof(int16_t)), m_rate);
    block.clear();
    return alGetError() == AL_NO_ERROR;
}

void CSoundMonitor::Play()
{
    threadContextCall()(static_cast<ALCcontext*>(m_context));
    ALuint source = 0, buffers[kBuffers] = {};
    alGenSources(1, &source);
    alGenBuffers(kBuffers, buffers);
    std::deque<ALuint> free(buffers, buffers + kBuffers);
    std::vector<int16_t> block;
    for (;;)
    {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait_for(lock, std::chrono::milliseconds(20), [this]() { return m_stopping || !m_blocks.empty(); });
            if (m_stopping) break;
            if (!m_blocks.empty() && !free.empty())
            {
                block.swap(m_blocks.front());
                m_blocks.pop_front();
            }
        }
        ALint processed = 0;
        alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
        for (; processed > 0; --processed)
        {
            ALuint done = 0;
            alSourceUnqueueBuffers(source, 1, &done);
            free.push_back(done);
        }
        if (block.empty() || free.empty()) continue;
        const ALuint buffer = free.front();
        free.pop_front();
        if (FillAndQueue(buffer, block)) alSourceQueueBuffers(source, 1, &buffer);
        ALint state = 0;
        alGetSourcei(source, AL_SOURCE_STATE, &state);
        if (state != AL_PLAYING) alSourcePlay(source);
    }
    alSourceStop(source);
    alDeleteSources(1, &source);
    alDeleteBuffers(kBuffers, buffers);
    threadContextCall()(nullptr);
}

void CSoundMonitor::Close()
{
    if (!m_device) return;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_stopping = true;
        m_blocks.clear();
    }
    m_wake.notify_one();
    if (m_thread.joinable()) m_thread.join();
    alcDestroyContext(static_cast<ALCcontext*>(m_context));
    alcCloseDevice(static_cast<ALCdevice*>(m_device));
    m_context = m_device = nullptr;
}
