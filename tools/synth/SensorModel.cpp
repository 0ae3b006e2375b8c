#include "SensorModel.h"

#include <algorithm>
#include <cmath>

#include "Random.h"

namespace vxsynth {

SensorModel::SensorModel(const SynthScene& scene) : scene_(scene) {
    const double a = scene.lightAngleDeg * 3.14159265358979323846 / 180;
    dirX_ = std::cos(a);
    dirY_ = std::sin(a);
    if (scene.blurSigma <= 0) return;
    const int r = int(std::ceil(3 * scene.blurSigma));
    double sum = 0;
    for (int i = -r; i <= r; ++i) {
        kernel_.push_back(float(std::exp(-0.5 * i * i / (scene.blurSigma * scene.blurSigma))));
        sum += kernel_.back();
    }
    for (float& k : kernel_) k = float(k / sum);
}

double SensorModel::gain(int x, int y) const {
    if (scene_.lightMin == scene_.lightMax) return scene_.lightMin;
    const double dx = dirX_, dy = dirY_;
    const double hw = scene_.width / 2.0, hh = scene_.height / 2.0;
    const double reach = std::fabs(dx) * hw + std::fabs(dy) * hh;  // half extent along the direction
    const double s = ((x + 0.5 - hw) * dx + (y + 0.5 - hh) * dy) / reach;  // -1..1
    return scene_.lightMin + (scene_.lightMax - scene_.lightMin) * (s + 1) / 2;
}

void SensorModel::blur(FloatFrame& f) {
    const int r = int(kernel_.size() / 2), w = f.width(), h = f.height();
    for (int pass = 0; pass < 2; ++pass) {  // rows, then columns; edges clamp
        const int n = pass == 0 ? w : h, lines = pass == 0 ? h : w;
        line_.resize(size_t(n) * 3);
        for (int l = 0; l < lines; ++l) {
            auto at = [&](int i) { return pass == 0 ? f.pixel(i, l) : f.pixel(l, i); };
            for (int i = 0; i < n; ++i)
                for (int c = 0; c < 3; ++c) line_[size_t(i) * 3 + c] = at(i)[c];
            for (int i = 0; i < n; ++i) {
                float acc[3] = {0, 0, 0};
                for (int k = -r; k <= r; ++k) {
                    const float* p = &line_[size_t(std::clamp(i + k, 0, n - 1)) * 3];
                    for (int c = 0; c < 3; ++c) acc[c] += kernel_[k + r] * p[c];
                }
                for (int c = 0; c < 3; ++c) at(i)[c] = acc[c];
            }
        }
    }
}

void SensorModel::streak(FloatFrame& f) {
    // Mean of samples spaced at most half a pixel along the streak, bilinear, edges clamp.
    const double a = scene_.motionBlurAngleDeg * 3.14159265358979323846 / 180, len = scene_.motionBlurPx;
    const int n = 2 * int(std::ceil(len)) + 1;
    scratch_ = f;
    const int w = f.width(), h = f.height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float acc[3] = {0, 0, 0};
            for (int k = 0; k < n; ++k) {
                const double s = len * ((k + 0.5) / n - 0.5);
                const double sx = std::clamp(x + s * std::cos(a), 0.0, w - 1.0);
                const double sy = std::clamp(y + s * std::sin(a), 0.0, h - 1.0);
                const int x0 = std::min(int(sx), w - 2), y0 = std::min(int(sy), h - 2);
                const float fx = float(sx - x0), fy = float(sy - y0);
                const float* p00 = scratch_.pixel(x0, y0);
                const float* p10 = scratch_.pixel(std::min(x0 + 1, w - 1), y0);
                const float* p01 = scratch_.pixel(x0, std::min(y0 + 1, h - 1));
                const float* p11 = scratch_.pixel(std::min(x0 + 1, w - 1), std::min(y0 + 1, h - 1));
                for (int c = 0; c < 3; ++c)
                    acc[c] += (p00[c] * (1 - fx) + p10[c] * fx) * (1 - fy) + (p01[c] * (1 - fx) + p11[c] * fx) * fy;
            }
            for (int c = 0; c < 3; ++c) f.pixel(x, y)[c] = acc[c] / n;
        }
}

void SensorModel::develop(FloatFrame& frame, int frameIndex, vxtools::Image& out) {
    for (int y = 0; y < frame.height() && scene_.lightMin != scene_.lightMax; ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const float g = float(gain(x, y));
            float* p = frame.pixel(x, y);
            for (int c = 0; c < 3; ++c) p[c] *= g;
        }
    if (scene_.lightMin == scene_.lightMax && scene_.lightMin != 1.0)
        for (float& v : frame.data()) v *= float(scene_.lightMin);
    if (!kernel_.empty()) blur(frame);
    if (scene_.motionBlurPx > 0) streak(frame);
    if (out.width() != frame.width() || out.height() != frame.height()) out = vxtools::Image(frame.width(), frame.height());
    Random rng(Random::mix(scene_.seed ^ 0xA015E, uint64_t(frameIndex)));
    const float* src = frame.data().data();
    uint8_t* dst = out.data().data();
    for (size_t i = 0; i < frame.data().size(); ++i) {
        const double v = src[i] + (scene_.noiseSigma > 0 ? scene_.noiseSigma * rng.normal() : 0.0);
        dst[i] = v <= 0 ? 0 : v >= 255 ? 255 : uint8_t(v + 0.5);  // round half up
    }
}

}  // namespace vxsynth
