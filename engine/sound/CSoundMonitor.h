#pragma once
// Plays a stream of mixed sound on an output device of its own, from a
// thread of its own: while the run's sound is rendered for a recording
// (through a loopback device, which has no speakers), the monitor lets the
// user hear it at the same time.
//
// Blocks are pushed by the engine thread and queued to an OpenAL streaming
// source by the monitor's thread, which makes its own context current for
// itself only (ALC_EXT_thread_local_context), so the engine thread's current
// context is never touched. When the device falls behind, blocks are
// dropped: the live sound may stutter, the recording never does.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CSoundMonitor
{
public:
    CSoundMonitor() = default;
    ~CSoundMonitor();
    CSoundMonitor(const CSoundMonitor&) = delete;
    CSoundMonitor& operator=(const CSoundMonitor&) = delete;

    /// Opens the output device of that name ("" = the default) for 16-bit
    /// sound of `rate` samples per second and `channels` (1 or 2); false
    /// with `error` set when there is no such device or no thread contexts.
    bool Open(const std::string& device, int rate, int channels, std::string& error);
    bool IsOpen() const { return m_device != nullptr; }
    /// Interleaved samples to play next.
    void Push(const int16_t* samples, int frames);
    /// Stops the thread and closes the device.
    void Close();

private:
    void Play();
    bool FillAndQueue(unsigned int buffer, std::vector<int16_t>& block);

    void* m_device = nullptr;   // ALCdevice
    void* m_context = nullptr;  // ALCcontext
    int m_rate = 0, m_channels = 0;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::vector<int16_t>> m_blocks;  // guarded by m_mutex
    bool m_stopping = false;                    // guarded by m_mutex
};
