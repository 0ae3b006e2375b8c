#include "AudioStreamPlayer.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <cassert>
#include <chrono>

namespace vexa {
namespace media {

namespace {
constexpr auto kFeedPeriod = std::chrono::milliseconds(10);
}

AudioStreamPlayer::AudioStreamPlayer(IPcmSource& source, LogSink log) : source_(source), log_(std::move(log)) {}

AudioStreamPlayer::~AudioStreamPlayer() {
    quit_ = true;
    wake_.notify_all();
    if (feeder_.joinable()) feeder_.join();
    std::lock_guard<std::mutex> lock(mutex_);
    destroyAl();
}

bool AudioStreamPlayer::createAl() {
    if (!alcGetCurrentContext()) {
        error_ = "sound cannot play: no OpenAL context is current";
        return false;
    }
    const int channels = source_.channels();
    if (source_.sampleRate() <= 0 || (channels != 1 && channels != 2)) {
        error_ = "sound cannot play: the source has no 16-bit mono or stereo sound";
        return false;
    }
    alGetError();
    alGenSources(1, &alSource_);
    alGenBuffers(kBufferCount, alBuffers_);
    if (alGetError() != AL_NO_ERROR) {
        error_ = "sound cannot play: OpenAL has no free source or buffers";
        if (alIsSource(alSource_)) alDeleteSources(1, &alSource_);
        alSource_ = 0;
        return false;
    }
    // Plays as it is, not placed in the scene.
    alSourcei(alSource_, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(alSource_, AL_POSITION, 0.f, 0.f, 0.f);
    pcm_.assign(static_cast<size_t>(kFramesPerBuffer) * channels, 0);
    framesInBuffer_.assign(kBufferCount, 0);
    created_ = true;
    return true;
}

void AudioStreamPlayer::destroyAl() {
    if (!created_) return;
    alSourceStop(alSource_);
    alSourcei(alSource_, AL_BUFFER, 0);
    alDeleteSources(1, &alSource_);
    alDeleteBuffers(kBufferCount, alBuffers_);
    alSource_ = 0;
    created_ = false;
}

int AudioStreamPlayer::fillBuffer(unsigned buffer) {
    const int channels = source_.channels();
    int frames = 0;
    while (frames < kFramesPerBuffer) {
        const int n = source_.readPcm(pcm_.data() + static_cast<size_t>(frames) * channels, kFramesPerBuffer - frames);
        if (n <= 0) break;
        frames += n;
    }
    if (frames == 0) return 0;
    alBufferData(buffer, channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16, pcm_.data(),
                 frames * channels * static_cast<int>(sizeof(int16_t)), source_.sampleRate());
    for (int i = 0; i < kBufferCount; ++i)
        if (alBuffers_[i] == buffer) framesInBuffer_[static_cast<size_t>(i)] = frames;
    return frames;
}

void AudioStreamPlayer::primeQueue() {
    for (unsigned b : alBuffers_) {
        if (fillBuffer(b) == 0) { sourceEnded_ = true; break; }
        alSourceQueueBuffers(alSource_, 1, &b);
    }
}

void AudioStreamPlayer::clearQueue() {
    alSourceStop(alSource_);
    alSourcei(alSource_, AL_BUFFER, 0);  // unqueues everything of a stopped source
}

bool AudioStreamPlayer::start() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (playing_) return true;
    if (!created_) {
        if (!createAl()) {
            if (log_) log_(error_);
            return false;
        }
        framesDone_ = 0;
        sourceEnded_ = false;
        primeQueue();
    }
    finished_ = false;
    alSourcePlay(alSource_);
    playing_ = true;
    if (!feeder_.joinable()) feeder_ = std::thread(&AudioStreamPlayer::feederLoop, this);
    wake_.notify_all();
    return true;
}

void AudioStreamPlayer::stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!playing_) return;
    playing_ = false;
    if (created_) alSourcePause(alSource_);
}

bool AudioStreamPlayer::rewind() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!created_) return source_.rewindPcm();
    clearQueue();
    const bool ok = source_.rewindPcm();
    framesDone_ = 0;
    sourceEnded_ = false;
    finished_ = false;
    primeQueue();
    if (playing_) alSourcePlay(alSource_);
    return ok;
}

double AudioStreamPlayer::positionSeconds() const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!created_ || source_.sampleRate() <= 0) return 0.0;
    ALint offset = 0;
    alGetSourcei(alSource_, AL_SAMPLE_OFFSET, &offset);
    return static_cast<double>(framesDone_ + offset) / source_.sampleRate();
}

// Refills the buffers OpenAL has finished with (mutex held).
void AudioStreamPlayer::feed() {
    ALint processed = 0;
    alGetSourcei(alSource_, AL_BUFFERS_PROCESSED, &processed);
    while (processed-- > 0) {
        ALuint b = 0;
        alSourceUnqueueBuffers(alSource_, 1, &b);
        for (int i = 0; i < kBufferCount; ++i)
            if (alBuffers_[i] == b) framesDone_ += framesInBuffer_[static_cast<size_t>(i)];
        if (!sourceEnded_ && fillBuffer(b) > 0)
            alSourceQueueBuffers(alSource_, 1, &b);
        else
            sourceEnded_ = true;
    }
    ALint state = 0, queued = 0;
    alGetSourcei(alSource_, AL_SOURCE_STATE, &state);
    alGetSourcei(alSource_, AL_BUFFERS_QUEUED, &queued);
    if (state != AL_PLAYING && state != AL_PAUSED) {
        if (queued > 0) {
            alSourcePlay(alSource_);  // ran dry before we refilled: carry on
        } else if (sourceEnded_) {
            finished_ = true;
            playing_ = false;
        }
    }
}

void AudioStreamPlayer::feederLoop() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!quit_) {
        if (playing_ && created_) feed();
        wake_.wait_for(lock, kFeedPeriod);
    }
}

}  // namespace media
}  // namespace vexa
