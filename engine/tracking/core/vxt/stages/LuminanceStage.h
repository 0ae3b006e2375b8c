#pragma once
// Step 1: grey image from the camera frame.
#include <cstdint>
#include <vector>

#include "vxt/ImageView.h"

namespace vxt {

struct LuminanceParams {
    // 0: label the full-size image; 1: label a half-size image for speed
    // (corners are still refined on the full-size grey image). Range 0..1, default 0.
    int imageProcMode = 0;
};

// Output planes; the buffers are reused from frame to frame.
struct LuminanceOutput {
    Plane full;   // full-size grey; may point straight into an 8-bit input frame
    Plane proc;   // the image that is labelled: `full` or the half-size image
    int scale = 1;  // full-size pixels per labelling pixel (1 or 2)
    std::vector<std::uint8_t> fullBuffer;
    std::vector<std::uint8_t> halfBuffer;
};

// Converts `in` (any valid pixel format) to grey, BT.601 weights.
// `in` must be valid (data, size, format); checked by the caller.
void luminanceStage(const ImageView& in, const LuminanceParams& p, LuminanceOutput& out);

}  // namespace vxt
