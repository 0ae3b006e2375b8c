#pragma once
#include <cstdint>
#include <string>

#include "vxt/Status.h"

namespace vxt {

// The 16 x 16 colour picture of a marker's inner half, upright (row 0 is the
// printed top), 3 bytes R G B per cell. This is what a pattern file holds.
class PatternImage {
public:
    static constexpr int kSize = 16;                        // cells per side
    static constexpr int kBytes = kSize * kSize * 3;        // 768

    PatternImage();

    Status load(const std::string& path);
    Status parse(const std::string& text, const std::string& name = "pattern");
    // Writes the pattern file (temporary sibling then rename).
    Status save(const std::string& path) const;

    std::uint8_t* rgb() { return rgb_; }
    const std::uint8_t* rgb() const { return rgb_; }
    // Cell (row, col), channel 0..2.
    std::uint8_t& at(int row, int col, int ch) { return rgb_[(row * kSize + col) * 3 + ch]; }
    std::uint8_t at(int row, int col, int ch) const { return rgb_[(row * kSize + col) * 3 + ch]; }

private:
    std::uint8_t rgb_[kBytes];
};

}  // namespace vxt
