#pragma once
#include <cstdint>

#include "vxt/PixelFormat.h"

namespace vxt {

// A frame owned by the caller, read but never written by the core.
// Row 0 is the top row. Image coordinates are continuous: pixel (i, j)
// covers [i, i+1) x [j, j+1).
struct ImageView {
    const std::uint8_t* data = nullptr;
    int width = 0;   // pixels
    int height = 0;  // pixels
    int stride = 0;  // bytes from one row to the next; 0 means width * bytes per pixel
    PixelFormat format = PixelFormat::Invalid;
};

// An 8-bit grey plane. Who owns `data` is said where the plane is handed out.
struct Plane {
    std::uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;  // bytes per row
    std::uint8_t at(int x, int y) const { return data[y * stride + x]; }
};

}  // namespace vxt
