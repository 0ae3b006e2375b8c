#include "Resampler.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <vector>

namespace vxtools {
namespace {

struct Tap {
    int index;
    double weight;
};

// For each output index, the input indices it covers and their area weights (summing to 1).
std::vector<std::vector<Tap>> areaTaps(int inSize, int outSize) {
    std::vector<std::vector<Tap>> taps(outSize);
    const double ratio = static_cast<double>(inSize) / outSize;
    for (int o = 0; o < outSize; ++o) {
        const double a = o * ratio, b = (o + 1) * ratio;
        for (int i = static_cast<int>(std::floor(a)); i < std::min(inSize, static_cast<int>(std::ceil(b))); ++i) {
            const double w = std::min<double>(b, i + 1) - std::max<double>(a, i);
            if (w > 1e-12) taps[o].push_back({i, w / ratio});
        }
    }
    return taps;
}

}  // namespace

Image Resampler::scale(const Image& src, int width, int height) {
    assert(width > 0 && height > 0 && !src.empty() && "Resampler::scale: sizes must be positive");
    const auto tx = areaTaps(src.width(), width);
    const auto ty = areaTaps(src.height(), height);
    std::vector<double> rows(static_cast<size_t>(width) * src.height() * 3, 0.0);
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < width; ++x)
            for (const Tap& t : tx[x])
                for (int c = 0; c < 3; ++c)
                    rows[(static_cast<size_t>(y) * width + x) * 3 + c] += t.weight * src.pixel(t.index, y)[c];
    Image out(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) {
                double v = 0.0;
                for (const Tap& t : ty[y]) v += t.weight * rows[(static_cast<size_t>(t.index) * width + x) * 3 + c];
                out.pixel(x, y)[c] = static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
            }
    return out;
}

Image Resampler::fitSquare(const Image& src, int size) {
    assert(size > 0 && !src.empty() && "Resampler::fitSquare: size must be positive");
    const double s = static_cast<double>(size) / std::max(src.width(), src.height());
    const int w = std::max(1, static_cast<int>(std::lround(src.width() * s)));
    const int h = std::max(1, static_cast<int>(std::lround(src.height() * s)));
    Image out(size, size, 255);
    out.paste(scale(src, w, h), (size - w) / 2, (size - h) / 2);
    return out;
}

}  // namespace vxtools
