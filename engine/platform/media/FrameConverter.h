#pragma once
// Turns one camera frame in the device's pixel format straight into its
// receiver's memory (a FrameTarget: BGRA or BGR, in the orientation the
// receiver asks for), in one pass over the frame. Decodes YUYV, UYVY, RGB3,
// BGR3, BGR4, RGB4, GREY and MJPEG itself; MJPEG frames that are truncated or do
// not decode cleanly are reported, so they can be dropped.
//
// Holds no frame of its own: raw frames are read where the driver left them,
// MJPEG frames are decoded into FFmpeg's frame, then written to the target.
// Not thread-safe: one converter per capture thread.
#include "FrameTarget.h"
#include "FrameWriter.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace vexa {
namespace media {

// What became of one frame. Skipped: the target had no memory (its receiver
// takes no frame now), so the frame was not even decoded.
enum class FrameResult { Ok, Truncated, Corrupt, NotConfigured, Skipped };

class FrameConverter {
public:
    using Result = FrameResult;

    FrameConverter();
    ~FrameConverter();
    FrameConverter(const FrameConverter&) = delete;
    FrameConverter& operator=(const FrameConverter&) = delete;

    static bool supports(uint32_t pixelFormat);

    // bytesPerLine 0 = tightly packed. False when the format is not supported.
    bool configure(uint32_t pixelFormat, int width, int height, int bytesPerLine);

    // Converts the frame (bytesUsed bytes at data) into the target. A target of
    // another size than the frame's gets the picture scaled.
    Result convert(const uint8_t* data, size_t bytesUsed, const FrameTarget& target);

    int width() const { return width_; }
    int height() const { return height_; }

private:
    Result convertMjpeg(const uint8_t* data, size_t bytesUsed, const FrameTarget& target);

    struct Codec;
    std::unique_ptr<Codec> codec_;
    FrameWriter writer_;
    uint32_t pixelFormat_ = 0;
    int width_ = 0;
    int height_ = 0;
    int bytesPerLine_ = 0;
    int srcFormat_ = -1;  // AVPixelFormat of raw input, -1 for MJPEG
    bool configured_ = false;
};

}  // namespace media
}  // namespace vexa
