#pragma once
// Writes one decoded picture into a FrameTarget in a single pass: the colour
// conversion, the row order, the mirroring and the field choice happen while
// each pixel is written, so no intermediate frame exists.
//
// Own row kernels cover what cameras and common files deliver: packed YUV 4:2:2
// (YUYV, UYVY, YVYU), planar YUV 4:2:0, 4:2:2, 4:4:0 and 4:4:4 (NV12 and NV21
// too), in video range (16..235) or full range (JPEG), with the BT.601 matrix
// swscale uses by default; packed RGB and BGR with 24 or 32 bits; grey. Any other
// format, or a picture of another size than the target, goes through swscale;
// that path needs a second pass when the target is mirrored or one field.
//
// Ownership and threading: one writer per thread. After the first frame of a
// size nothing is allocated (the swscale path keeps its context and scratch).
#include "FrameTarget.h"

#include <cstdint>
#include <vector>

struct SwsContext;

namespace vexa {
namespace media {

class FrameWriter {
public:
    // A picture in one of FFmpeg's pixel formats (AVPixelFormat). Row r of plane
    // i starts at planes[i] + r * strides[i]; a negative stride reads a picture
    // stored last row first.
    struct Picture {
        int format = -1;
        const uint8_t* planes[4] = {nullptr, nullptr, nullptr, nullptr};  // swscale reads four
        int strides[4] = {0, 0, 0, 0};
        int width = 0;
        int height = 0;
        bool fullRange = false;  // YUV samples use 0..255; implied by the "yuvj" formats
    };

    FrameWriter();
    ~FrameWriter();
    FrameWriter(const FrameWriter&) = delete;
    FrameWriter& operator=(const FrameWriter&) = delete;

    // True when the writer's own kernels convert this format.
    static bool writesDirectly(int format);
    // A picture of BGRA pixels (B, G, R, A bytes); lastRowFirst when its rows are
    // stored bottom-up.
    static Picture bgra(const uint8_t* pixels, int width, int height, int strideBytes, bool lastRowFirst);

    // Writes the picture into every stored row of the target. False (target
    // unchanged) when the format cannot be converted at all.
    bool write(const Picture& picture, const FrameTarget& target);

private:
    bool writeThroughScaler(const Picture& picture, const FrameTarget& target);

    SwsContext* scaler_ = nullptr;
    std::vector<uint8_t> scratch_;
};

}  // namespace media
}  // namespace vexa
