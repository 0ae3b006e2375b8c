#pragma once
// The frame number drawn into a picture as a row of black and white blocks,
// so a program that shows or records the footage can be checked frame by
// frame (which frame is on screen, which one a capture holds), even after
// lossy compression.
//
// Layout: a black band of width() x height() pixels in the top-right corner
// (the top-left one is where programs tend to write text), holding kBits
// blocks of kBlock x kBlock pixels in a row, kMargin pixels in from the
// band's edges, most significant bit first; white is 1. The numbers wrap at
// 2^kBits.

#include <cstdint>

#include "Image.h"

namespace vxsynth {

class FrameCode {
public:
    static constexpr int kBits = 12;
    static constexpr int kBlock = 16;   // pixels
    static constexpr int kMargin = 4;   // pixels

    // Draws `frame` (modulo 2^kBits) into the picture's top-right corner. The
    // picture must be at least Width() x Height() pixels.
    static void draw(vxtools::Image& picture, int frame);
    // Reads the number from a picture of RGB or RGBA pixels (`channels` 3 or
    // 4) whose rows are `strideBytes` apart, top-down or, with bottomUp,
    // stored last row first. -1 when the picture is too small.
    static int read(const uint8_t* pixels, int width, int height, int channels, int strideBytes, bool bottomUp);

    static int width() { return 2 * kMargin + kBits * kBlock; }
    static int height() { return 2 * kMargin + kBlock; }
};

}  // namespace vxsynth
