#pragma once
// Writes a video file (optionally with one audio track) from raw frames.
//
// Container from the file name's extension: ".mp4"/".mov", ".mkv", ".avi".
// Video codec: H.264 (libx264) when this FFmpeg has that encoder and the container
// takes it, otherwise MPEG-4 part 2. Audio: AAC in MP4, PCM s16 in MKV/AVI.
// The file is written to a temporary sibling ("<name>.partial<ext>") and renamed
// into place by close(), so a failed or abandoned write never leaves a half file
// under the final name.
//
// Ownership and threading: one writer per thread; not copyable. The caller keeps
// ownership of every frame and sample buffer it passes; they are read during the
// call only. All encoder state is allocated by open(); writing frames allocates
// nothing in this code (the encoders make small allocations of their own per packet).
#include <cstdint>
#include <memory>
#include <string>

namespace vexa {
namespace media {

class MediaFileWriter {
public:
    enum class PixelLayout { BGRA, RGB };  // 4 or 3 bytes per pixel, rows top-down

    struct Settings {
        int width = 0;                 // pixels, even numbers (4:2:0 encoding)
        int height = 0;
        int frameRateNum = 25;         // frames per second = num / den
        int frameRateDen = 1;
        PixelLayout layout = PixelLayout::BGRA;
        int quality = 80;              // 1..100, higher = larger and closer to the input
        int audioSampleRate = 0;       // 0 = no audio track
        int audioChannels = 0;         // 1 or 2 when audioSampleRate > 0
        bool preferH264 = true;        // false forces MPEG-4 part 2
    };

    MediaFileWriter();
    ~MediaFileWriter();  // abandons an unfinished file (removes the temporary)
    MediaFileWriter(const MediaFileWriter&) = delete;
    MediaFileWriter& operator=(const MediaFileWriter&) = delete;

    // Creates the temporary file and the encoders. False with lastError() on failure.
    bool open(const std::string& path, const Settings& settings);

    // One frame of settings.width x settings.height pixels in settings.layout;
    // strideBytes = bytes from one row to the next (0 = tightly packed; a
    // negative value means the rows are stored bottom-up, as OpenGL reads a
    // window, and `pixels` points at the first stored row, the bottom one).
    // pts: the frame's time in frames of the file's rate, greater than the
    // last one (frames may be skipped: the one before is shown longer);
    // -1 = the frame after the last.
    bool writeVideoFrame(const uint8_t* pixels, int strideBytes = 0, int64_t pts = -1);

    // Interleaved signed 16-bit samples, frameCount samples per channel.
    bool writeAudio(const int16_t* samples, int frameCount);

    // Flushes the encoders, writes the trailer and renames the file into place.
    bool close();

    // Drops the temporary file without producing the final one.
    void abandon();

    bool isOpen() const;
    const std::string& lastError() const;
    std::string videoCodecName() const;  // e.g. "libx264" or "mpeg4"
    int64_t framesWritten() const;

    // True when this FFmpeg build can encode H.264.
    static bool hasH264Encoder();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace media
}  // namespace vexa
