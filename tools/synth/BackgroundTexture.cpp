#include "BackgroundTexture.h"

#include <cassert>
#include <cmath>

#include "Random.h"

namespace vxsynth {
namespace {

double latticeValue(int64_t x, int64_t y, uint64_t seed) {
    return (Random::mix(seed, static_cast<uint64_t>(x) * 0x9E3779B1ull ^ static_cast<uint64_t>(y) * 0x85EBCA77ull) >>
            11) * (1.0 / 9007199254740992.0);
}

double smooth(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

void wood(FloatFrame& f, uint64_t seed) {
    const double tilt = 0.12;  // grain runs nearly horizontally
    for (int y = 0; y < f.height(); ++y)
        for (int x = 0; x < f.width(); ++x) {
            const double warp = BackgroundTexture::fbm(x / 90.0, y / 30.0, seed, 3);
            const double rings = 0.5 + 0.5 * std::sin((y + tilt * x) / 9.0 + 9.0 * warp);
            const double grain = BackgroundTexture::fbm(x / 24.0, y / 6.0, seed ^ 0x51, 2);
            const double plank = 0.92 + 0.08 * BackgroundTexture::valueNoise(0.5, std::floor(y / 120.0), seed ^ 0x77);
            const double k = plank * (0.78 + 0.14 * rings + 0.16 * grain);
            float* p = f.pixel(x, y);
            p[0] = float(168 * k);
            p[1] = float(118 * k);
            p[2] = float(76 * k);
        }
}

void cloth(FloatFrame& f, uint64_t seed) {
    for (int y = 0; y < f.height(); ++y)
        for (int x = 0; x < f.width(); ++x) {
            const double k = 0.7 + 0.5 * BackgroundTexture::fbm(x / 40.0, y / 40.0, seed, 4);
            const double weave = 0.04 * std::sin(x * 1.3) * std::sin(y * 1.3);
            float* p = f.pixel(x, y);
            p[0] = float(95 * (k + weave));
            p[1] = float(108 * (k + weave));
            p[2] = float(128 * (k + weave));
        }
}

}  // namespace

double BackgroundTexture::valueNoise(double x, double y, uint64_t seed) {
    const double fx = std::floor(x), fy = std::floor(y);
    const int64_t ix = static_cast<int64_t>(fx), iy = static_cast<int64_t>(fy);
    const double sx = smooth(x - fx), sy = smooth(y - fy);
    const double a = latticeValue(ix, iy, seed), b = latticeValue(ix + 1, iy, seed);
    const double c = latticeValue(ix, iy + 1, seed), d = latticeValue(ix + 1, iy + 1, seed);
    return (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy;
}

double BackgroundTexture::fbm(double x, double y, uint64_t seed, int octaves) {
    double sum = 0, amp = 0.5, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * valueNoise(x, y, seed + o);
        norm += amp;
        x *= 2;
        y *= 2;
        amp *= 0.5;
    }
    return sum / norm;
}

FloatFrame BackgroundTexture::render(const std::string& kind, uint64_t seed, int width, int height) {
    assert((kind == "wood" || kind == "cloth" || kind == "flat") && "BackgroundTexture::render: unknown kind");
    FloatFrame f(width, height);
    if (kind == "wood") {
        wood(f, seed);
    } else if (kind == "cloth") {
        cloth(f, seed);
    } else {
        for (float& v : f.data()) v = 110.f;
    }
    return f;
}

}  // namespace vxsynth
