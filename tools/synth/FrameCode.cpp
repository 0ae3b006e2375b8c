#include "FrameCode.h"

#include <cassert>

namespace vxsynth {

void FrameCode::draw(vxtools::Image& picture, int frame) {
    assert(picture.width() >= width() && picture.height() >= height() && "FrameCode::draw: picture too small");
    // A black band first, so the blocks read the same on any background.
    const int left = picture.width() - width();
    picture.fillRect(left, 0, picture.width(), height(), 0, 0, 0);
    for (int bit = 0; bit < kBits; ++bit) {
        const bool one = (frame >> (kBits - 1 - bit)) & 1;
        const int x = left + kMargin + bit * kBlock;
        const uint8_t level = one ? 255 : 0;
        picture.fillRect(x, kMargin, x + kBlock, kMargin + kBlock, level, level, level);
    }
}

int FrameCode::read(const uint8_t* pixels, int width, int height, int channels, int strideBytes, bool bottomUp) {
    if (!pixels || width < FrameCode::width() || height < FrameCode::height() || (channels != 3 && channels != 4))
        return -1;
    const int y = kMargin + kBlock / 2;
    const int left = width - FrameCode::width();
    const int row = bottomUp ? height - 1 - y : y;
    int number = 0;
    for (int bit = 0; bit < kBits; ++bit) {
        // The mean of the block's middle pixels, against mid-grey.
        int sum = 0;
        for (int dx = -2; dx <= 2; ++dx) {
            const uint8_t* p = pixels + static_cast<size_t>(row) * strideBytes +
                               static_cast<size_t>(left + kMargin + bit * kBlock + kBlock / 2 + dx) * channels;
            sum += p[0] + p[1] + p[2];
        }
        number = (number << 1) | (sum > 5 * 3 * 128 ? 1 : 0);
    }
    return number;
}

}  // namespace vxsynth
