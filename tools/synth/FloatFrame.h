#pragma once
// A linear RGB picture in floats (0..255 scale), rows top to bottom. Owns its buffer.

#include <cstddef>
#include <vector>

namespace vxsynth {

class FloatFrame {
public:
    FloatFrame() = default;
    FloatFrame(int width, int height) : width_(width), height_(height), data_(size_t(width) * height * 3, 0.f) {}

    int width() const { return width_; }
    int height() const { return height_; }
    float* pixel(int x, int y) { return &data_[(size_t(y) * width_ + x) * 3]; }
    const float* pixel(int x, int y) const { return &data_[(size_t(y) * width_ + x) * 3]; }
    std::vector<float>& data() { return data_; }
    const std::vector<float>& data() const { return data_; }

private:
    int width_ = 0, height_ = 0;
    std::vector<float> data_;
};

}  // namespace vxsynth
