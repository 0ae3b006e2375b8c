// The camera effects applied to rendered frames: lighting gradient, blur and motion
// blur that keep positions where they are, and seeded sensor noise of the asked
// strength.

#include <gtest/gtest.h>

#include <cmath>

#include "SensorModel.h"

using namespace vxsynth;

namespace {

// A dark 20 x 20 square on a bright 64 x 48 frame, top-left corner at (21, 13).
FloatFrame squareFrame() {
    FloatFrame f(64, 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            for (int c = 0; c < 3; ++c) f.pixel(x, y)[c] = (x >= 21 && x < 41 && y >= 13 && y < 33) ? 20.f : 220.f;
    return f;
}

// Darkness centroid (pixel centres at i + 0.5) and total, from the 8-bit result.
void centroid(const vxtools::Image& img, double& cx, double& cy, double& total) {
    cx = cy = total = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const double d = 220.0 - img.pixel(x, y)[0];
            total += d;
            cx += d * (x + 0.5);
            cy += d * (y + 0.5);
        }
    cx /= total;
    cy /= total;
}

SynthScene scene64() {
    SynthScene s;
    s.width = 64;
    s.height = 48;
    return s;
}

TEST(SensorModel, BlursKeepTheSquareWhereItWas) {
    for (int kind = 0; kind < 3; ++kind) {
        SynthScene s = scene64();
        if (kind == 1) s.blurSigma = 1.5;
        if (kind == 2) {
            s.motionBlurPx = 7;
            s.motionBlurAngleDeg = 30;
        }
        SensorModel sensor(s);
        FloatFrame f = squareFrame();
        vxtools::Image out;
        sensor.develop(f, 0, out);
        double cx, cy, total;
        centroid(out, cx, cy, total);
        EXPECT_NEAR(cx, 31.0, 0.02) << "kind " << kind;
        EXPECT_NEAR(cy, 23.0, 0.02) << "kind " << kind;
        EXPECT_NEAR(total, 400 * 200.0, 400 * 200.0 * 0.01) << "kind " << kind;
        if (kind > 0) {
            EXPECT_LT(out.pixel(20, 23)[0], 215) << "kind " << kind;  // the edge is spread
        } else {
            EXPECT_EQ(out.pixel(20, 23)[0], 220);
        }
    }
}

TEST(SensorModel, LightingGradientRunsFromMinToMax) {
    SynthScene s = scene64();
    s.lightMin = 0.25;
    s.lightMax = 1.25;
    SensorModel left(s);
    EXPECT_NEAR(left.gain(0, 10), 0.25 + 1.0 * 0.5 / 64, 1e-9);
    EXPECT_NEAR(left.gain(63, 10), 1.25 - 1.0 * 0.5 / 64, 1e-9);
    s.lightAngleDeg = 90;  // top to bottom
    SensorModel down(s);
    EXPECT_NEAR(down.gain(5, 0), 0.25 + 1.0 * 0.5 / 48, 1e-9);
    EXPECT_NEAR(down.gain(5, 47), 1.25 - 1.0 * 0.5 / 48, 1e-9);
    EXPECT_DOUBLE_EQ(down.gain(0, 24), down.gain(63, 24));
}

TEST(SensorModel, NoiseHasItsSigmaAndDependsOnSeedAndFrame) {
    SynthScene s = scene64();
    s.noiseSigma = 8;
    SensorModel sensor(s);
    auto develop = [&](int frame) {
        FloatFrame f(64, 48);
        for (float& v : f.data()) v = 128.f;
        vxtools::Image out;
        sensor.develop(f, frame, out);
        return out;
    };
    const vxtools::Image a = develop(3), b = develop(3), c = develop(4);
    EXPECT_EQ(a.data(), b.data());
    EXPECT_NE(a.data(), c.data());
    double sum = 0, sum2 = 0;
    for (uint8_t v : a.data()) {
        sum += v - 128.0;
        sum2 += (v - 128.0) * (v - 128.0);
    }
    const double n = double(a.data().size());
    EXPECT_NEAR(sum / n, 0.0, 0.3);
    EXPECT_NEAR(std::sqrt(sum2 / n), std::sqrt(64.0 + 1.0 / 12), 0.3);  // rounding adds 1/12
}

}  // namespace
