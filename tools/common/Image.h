#pragma once
// An 8-bit RGB picture held in memory, rows top to bottom, 3 bytes per pixel.
// The Image owns its pixel buffer; copies are deep.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vxtools {

class Image {
public:
    Image() = default;
    // Creates a width x height picture filled with one grey level.
    Image(int width, int height, uint8_t fill = 255);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ <= 0 || height_ <= 0; }

    uint8_t* pixel(int x, int y) { return &data_[(static_cast<size_t>(y) * width_ + x) * 3]; }
    const uint8_t* pixel(int x, int y) const { return &data_[(static_cast<size_t>(y) * width_ + x) * 3]; }
    void set(int x, int y, uint8_t r, uint8_t g, uint8_t b);

    std::vector<uint8_t>& data() { return data_; }
    const std::vector<uint8_t>& data() const { return data_; }

    // Copies `src` into this picture with its top-left at (x, y); parts outside are clipped.
    void paste(const Image& src, int x, int y);
    // Fills the rectangle [x0, x1) x [y0, y1) (clipped) with one colour.
    void fillRect(int x0, int y0, int x1, int y1, uint8_t r, uint8_t g, uint8_t b);

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> data_;
};

}  // namespace vxtools
