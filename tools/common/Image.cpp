#include "Image.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace vxtools {

Image::Image(int width, int height, uint8_t fill) : width_(width), height_(height) {
    assert(width > 0 && height > 0 && "Image: size must be positive");
    data_.assign(static_cast<size_t>(width) * height * 3, fill);
}

void Image::set(int x, int y, uint8_t r, uint8_t g, uint8_t b) {
    uint8_t* p = pixel(x, y);
    p[0] = r;
    p[1] = g;
    p[2] = b;
}

void Image::paste(const Image& src, int x, int y) {
    const int x0 = std::max(0, x), x1 = std::min(width_, x + src.width());
    if (x1 <= x0) return;
    for (int row = std::max(0, y); row < std::min(height_, y + src.height()); ++row)
        std::memcpy(pixel(x0, row), src.pixel(x0 - x, row - y), static_cast<size_t>(x1 - x0) * 3);
}

void Image::fillRect(int x0, int y0, int x1, int y1, uint8_t r, uint8_t g, uint8_t b) {
    x0 = std::max(0, x0);
    y0 = std::max(0, y0);
    x1 = std::min(width_, x1);
    y1 = std::min(height_, y1);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) set(x, y, r, g, b);
}

}  // namespace vxtools
