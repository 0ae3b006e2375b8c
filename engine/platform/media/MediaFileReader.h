#pragma once
// Reads any video file FFmpeg can demux (AVI, MP4, MKV, ...): frames as BGRA or
// BGR, converted once straight into the caller's memory (a FrameTarget, which
// also says the orientation), and its sound as interleaved signed 16-bit samples.
//
// Frames: readNextFrame() gives exactly the next frame on every call (frame-locked,
// synchronous: reproducible runs); readFrameDueAt() follows a clock for real-time
// playback, skipping frames whose time has passed. With looping on, the frame after
// the last is frame 0 again.
// Sound is read through a second, independent demuxer on the same file, so video and
// audio can be consumed at their own pace (e.g. by a player on another thread).
//
// Bad files (missing, truncated, corrupt, no video stream) make open() return false
// with one line in lastError(); corrupt data met later is skipped where the decoder
// can resynchronise, otherwise reading ends.
//
// Ownership and threading: the caller owns every output buffer. Video calls and audio
// calls each must come from one thread at a time; the video side and the audio side
// may be used from two different threads (they share no state after open()). After
// the first frame this code allocates nothing per frame; FFmpeg reuses its frame
// pools but still makes small allocations of its own per packet (see bench/video).
#include "FrameTarget.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vexa {
namespace media {

class MediaFileReader {
public:
    struct Info {
        int width = 0;                 // pixels
        int height = 0;
        double frameRate = 0.0;        // frames per second
        int64_t frameCount = 0;        // from the container, or estimated from the duration
        double durationSeconds = 0.0;
        bool hasAudio = false;
        int fileSampleRate = 0;        // audio as stored in the file
        int fileChannels = 0;
        std::string videoCodec;        // FFmpeg decoder name
    };

    enum class ReadResult {
        Frame,         // the buffer holds a new frame
        NoNewFrame,    // readFrameDueAt: the frame due is the one already delivered
        EndOfStream,   // no more frames (only without looping); the buffer is unchanged
        Error          // the file cannot be read further; see lastError()
    };

    MediaFileReader();
    ~MediaFileReader();
    MediaFileReader(const MediaFileReader&) = delete;
    MediaFileReader& operator=(const MediaFileReader&) = delete;

    // Opens the file and decodes its first frame to prove it is readable.
    bool open(const std::string& path);
    void close();
    bool isOpen() const;
    const Info& info() const;
    const std::string& lastError() const;
    const std::string& path() const;

    void setLooping(bool loop);
    bool looping() const;

    // Decodes the next frame and converts it into the target (normally
    // info().width x info().height; another size gets the picture scaled).
    ReadResult readNextFrame(const FrameTarget& target);
    // The same into bgra (info().width x info().height, 4 bytes per pixel,
    // strideBytes >= width * 4). bottomUp stores the last picture row first.
    ReadResult readNextFrame(uint8_t* bgra, int strideBytes, bool bottomUp = false);

    // Real-time pacing: decodes forward to the frame due 'seconds' after the start of
    // playback (frames in between are decoded but not converted). NoNewFrame when that
    // frame was already delivered.
    ReadResult readFrameDueAt(double seconds, const FrameTarget& target);
    ReadResult readFrameDueAt(double seconds, uint8_t* bgra, int strideBytes, bool bottomUp = false);

    // Index of the frame due at 'seconds' after the start: wrapped when looping,
    // otherwise held at the last frame.
    int64_t frameDueAt(double seconds) const;

    // True once reading met the end of the video well before the frame count the file
    // announced (cut off or damaged); lastError() then says so, once.
    bool endedEarly() const;

    // Frames delivered since open() or rewind(), counting on through loops.
    int64_t framesDelivered() const;
    // Index within the file of the frame last delivered; -1 before the first.
    int64_t currentFrameIndex() const;

    // Back to the first frame (video and audio).
    bool rewind();
    // Back to the start of the sound only (the audio side's own rewind).
    bool rewindAudio();

    // Audio output format; default = the file's rate and channels (at most 2).
    void setAudioOutput(int sampleRate, int channels);
    int audioSampleRate() const;
    int audioChannels() const;
    // Up to maxFrames frames of interleaved s16 samples; 0 at the end (without looping)
    // or when the file has no sound.
    int readAudio(int16_t* interleaved, int maxFrames);
    // Audio frames handed out since open() or rewind().
    int64_t audioFramesRead() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace media
}  // namespace vexa
