#pragma once
// Plays an IPcmSource through OpenAL: its own source with a queue of streamed
// buffers that a feeder thread of its own keeps filled. The play position is the
// clock that video can follow to stay in step with the sound.
//
// Needs a current OpenAL context (the engine's sound manager, or OpenAlOutput).
// Ownership and threading: does not own the IPcmSource, which must outlive the
// player; the source is read on the feeder thread only. Control calls come from one
// thread. Destruction stops playback and releases the OpenAL source and buffers.
#include "IPcmSource.h"
#include "LogSink.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vexa {
namespace media {

class AudioStreamPlayer {
public:
    static constexpr int kBufferCount = 4;
    static constexpr int kFramesPerBuffer = 4096;  // ~93 ms at 44.1 kHz

    explicit AudioStreamPlayer(IPcmSource& source, LogSink log = LogSink());
    ~AudioStreamPlayer();
    AudioStreamPlayer(const AudioStreamPlayer&) = delete;
    AudioStreamPlayer& operator=(const AudioStreamPlayer&) = delete;

    // Creates the OpenAL objects on first use, then plays from the current position.
    bool start();
    // Pauses; start() continues from the same position.
    void stop();
    // Back to the beginning (keeps playing if it was playing).
    bool rewind();

    bool isPlaying() const { return playing_.load(); }
    // True once the source has ended and everything queued has been heard.
    bool finished() const { return finished_.load(); }
    // Seconds of sound played since the start or the last rewind.
    double positionSeconds() const;
    const std::string& lastError() const { return error_; }

private:
    bool createAl();
    void destroyAl();
    int fillBuffer(unsigned buffer);  // frames put in; 0 at the end of the source
    void primeQueue();
    void clearQueue();
    void feed();
    void feederLoop();

    IPcmSource& source_;
    LogSink log_;
    std::string error_;
    unsigned alSource_ = 0;
    unsigned alBuffers_[kBufferCount] = {};
    std::vector<int16_t> pcm_;
    std::vector<int> framesInBuffer_;      // by buffer slot
    bool created_ = false;
    bool sourceEnded_ = false;
    mutable std::mutex mutex_;             // OpenAL calls and the counters below
    int64_t framesDone_ = 0;               // frames of buffers already played
    std::atomic<bool> playing_{false};
    std::atomic<bool> finished_{false};
    std::atomic<bool> quit_{false};
    std::condition_variable wake_;
    std::thread feeder_;
};

}  // namespace media
}  // namespace vexa
