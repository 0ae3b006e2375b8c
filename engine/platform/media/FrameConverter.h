#pragma once
// Turns one camera frame in the device's pixel format into BGRA rows stored
// bottom-up (last picture row first), the layout the engine's renderer receives.
// Decodes YUYV, UYVY, RGB3, BGR3, BGR4, RGB4, GREY and MJPEG itself; MJPEG frames
// that are truncated or do not decode cleanly are reported, so they can be dropped.
//
// Owns its output buffer (allocated by configure(), reused for every frame).
// Not thread-safe: one converter per capture thread.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace vexa {
namespace media {

class FrameConverter {
public:
    enum class Result { Ok, Truncated, Corrupt, NotConfigured };

    FrameConverter();
    ~FrameConverter();
    FrameConverter(const FrameConverter&) = delete;
    FrameConverter& operator=(const FrameConverter&) = delete;

    static bool supports(uint32_t pixelFormat);

    // bytesPerLine 0 = tightly packed. False when the format is not supported.
    bool configure(uint32_t pixelFormat, int width, int height, int bytesPerLine);

    Result convert(const uint8_t* data, size_t bytesUsed);

    const uint8_t* bgra() const { return out_.data(); }
    int stride() const { return width_ * 4; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    Result convertMjpeg(const uint8_t* data, size_t bytesUsed);

    struct Codec;
    std::unique_ptr<Codec> codec_;
    uint32_t pixelFormat_ = 0;
    int width_ = 0;
    int height_ = 0;
    int bytesPerLine_ = 0;
    int srcFormat_ = -1;  // AVPixelFormat of raw input
    std::vector<uint8_t> out_;
};

}  // namespace media
}  // namespace vexa
