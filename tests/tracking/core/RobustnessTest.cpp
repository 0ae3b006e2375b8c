// Lighting and identification under hard conditions: the local threshold
// finds squares across a strong lighting gradient while the threshold still
// moves its decision; small, blurred and noisy squares are identified well
// above the tracker's tolerance, other patterns below it; a pattern
// trained from a colour picture is found in a grey frame.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "TestScene.h"

using namespace vxttest;
using vxtbench::FrameRenderer;
using vxtbench::MarkerStyle;

namespace {

const int kW = 640, kH = 480;
const double kTolerance = 0.8;  // the tracker's default confidence tolerance

// Eight markers of `side` pixels in two rows, each pattern i at place i.
std::vector<Truth> drawRow(FrameRenderer& r, const TestPatterns& pats, double side) {
    std::vector<Truth> truth;
    for (int i = 0; i < static_cast<int>(pats.images.size()); ++i) {
        Truth t;
        t.patternId = i;
        vxtbench::squareCorners(80.0 + 160 * (i % 4), 140.0 + 200 * (i / 4), side, 17.0 + 29.0 * i, t.corners);
        r.drawMarker(pats.images[i], t.corners, MarkerStyle());
        truth.push_back(t);
    }
    return truth;
}

std::vector<std::uint8_t> frameOf(const FrameRenderer& r, vxt::PixelFormat f = vxt::PixelFormat::BGR) {
    std::vector<std::uint8_t> px;
    r.toFormat(f, px);
    return px;
}

// A picture of 8 x 8 random dark or light blocks of 2 x 2 cells.
vxt::PatternImage randomBlocks(unsigned seed) {
    std::mt19937 rng(seed);
    vxt::PatternImage img;
    for (int br = 0; br < 8; ++br)
        for (int bc = 0; bc < 8; ++bc) {
            const std::uint8_t v = (rng() & 1) ? 20 : 235;
            for (int k = 0; k < 4 * 3; ++k) img.at(2 * br + k / 6, 2 * bc + k / 3 % 2, k % 3) = v;
        }
    return img;
}

int identified(const vxt::Detector& d, const std::vector<Truth>& truth, double bar) {
    int n = 0;
    for (const Truth& t : truth) {
        const vxt::MarkerInfo* m = findResult(d, t);
        n += m && m->id == t.patternId && m->cf > bar ? 1 : 0;
    }
    return n;
}

// Fraction of foreground pixels of the last mask in rows y0..y1, columns
// x0..x1 whose stripe (x / 8 % 3) is `stripe`, or all columns when -1.
double maskShare(const vxt::Detector& d, int x0, int y0, int x1, int y1, int stripe = -1) {
    const vxt::Plane& m = d.maskImage();
    int on = 0, all = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            if (stripe >= 0 && x / 8 % 3 != stripe) continue;
            ++all;
            on += m.data[y * m.stride + x] ? 1 : 0;
        }
    return static_cast<double>(on) / all;
}

}  // namespace

TEST(Lighting, TheLocalThresholdFindsEveryMarkerAcrossAStrongGradient) {
    TestPatterns pats(8);
    FrameRenderer r(kW, kH);
    r.texture(3, 150, 220);
    auto truth = drawRow(r, pats, 70);
    r.lightingGradient(1.15f, 0.15f);
    r.noise(4.0, 9);
    auto px = frameOf(r);
    vxt::Detector d(kW, kH);
    d.attachPatternSet(&pats.set);
    struct Case {
        bool adaptive;
        int threshold;
        int atLeast, atMost;
    };
    // A single threshold loses the dim side; the local one finds all at any
    // sensible threshold.
    for (const Case& c : {Case{false, 100, 0, 6}, Case{true, 70, 8, 8},
                          Case{true, 100, 8, 8}, Case{true, 130, 8, 8}}) {
        d.setAdaptiveThreshold(c.adaptive);
        ASSERT_TRUE(d.setThreshold(c.threshold));
        ASSERT_TRUE(d.detect(px.data()).ok());
        const int n = identified(d, truth, kTolerance);
        const std::string what = std::string(c.adaptive ? "local" : "global") + " threshold " + std::to_string(c.threshold);
        EXPECT_GE(n, c.atLeast) << what;
        EXPECT_LE(n, c.atMost) << what;
    }
}

TEST(Lighting, TheThresholdStillMovesTheLocalDecision) {
    // Left: stripes 8 px wide of black (10), grey (120) and white (230), so
    // every neighbourhood spans 10..230 and the grey lies midway; right: a
    // flat area of grey 80, where the threshold decides alone.
    FrameRenderer r(kW, kH);
    r.fill(230);
    float* rgb = r.rgb();
    const float stripes[3] = {10.0f, 120.0f, 230.0f};
    for (int y = 100; y < 300; ++y)
        for (int x = 0; x < kW; ++x) {
            float v = x < 300 ? stripes[x / 8 % 3] : x >= 400 ? 80.0f : 230.0f;
            for (int k = 0; k < 3; ++k) rgb[(y * kW + x) * 3 + k] = v;
        }
    auto px = frameOf(r);
    vxt::Detector d(kW, kH);
    d.setAdaptiveThreshold(true);
    struct Case {
        int threshold;
        bool greyIsForeground;  // the local decision: 120 lies at 0.5 of 10..230
        bool flatIsForeground;  // grey 80 against the threshold itself
    };
    for (const Case& c : {Case{100, false, true}, Case{160, true, true}, Case{60, false, false}}) {
        ASSERT_TRUE(d.setThreshold(c.threshold));
        ASSERT_TRUE(d.detect(px.data()).ok());
        const std::string what = "threshold " + std::to_string(c.threshold);
        EXPECT_EQ(maskShare(d, 48, 150, 250, 250, 1) > 0.99, c.greyIsForeground) << what;
        EXPECT_GT(maskShare(d, 48, 150, 250, 250, 0), 0.99) << what;  // black: always foreground
        EXPECT_LT(maskShare(d, 48, 150, 250, 250, 2), 0.01) << what;  // white: never
        EXPECT_EQ(maskShare(d, 450, 150, 600, 250) > 0.99, c.flatIsForeground) << what;
    }
}

TEST(Identification, SmallBlurredNoisySquaresScoreWellAboveTheTolerance) {
    struct Case {
        double side, blur, noise;
    };
    TestPatterns pats(8);
    for (const Case& c : {Case{30, 0.0, 0.0}, Case{30, 1.5, 0.0}, Case{30, 1.5, 8.0}, Case{60, 1.5, 8.0},
                          Case{45, 1.0, 4.0}}) {
        FrameRenderer r(kW, kH);
        r.fill(200);
        auto truth = drawRow(r, pats, c.side);
        if (c.blur > 0) r.blur(c.blur);
        if (c.noise > 0) r.noise(c.noise, 5);
        auto px = frameOf(r);
        vxt::Detector d(kW, kH);
        d.attachPatternSet(&pats.set);
        ASSERT_TRUE(d.detect(px.data()).ok());
        const std::string what = std::to_string(c.side) + " px, blur " + std::to_string(c.blur) + ", noise " +
                                 std::to_string(c.noise);
        EXPECT_EQ(identified(d, truth, kTolerance + 0.05), 8) << what;
    }
}

TEST(Identification, RandomPatternsStayWellBelowTheTolerance) {
    // Small, blurred and noisy scenes matched against random patterns that
    // are not in them.
    TestPatterns shown(8);
    vxt::PatternSet random;
    for (unsigned seed = 1; seed <= 16; ++seed) ASSERT_GE(random.add(randomBlocks(seed)), 0);
    for (double blur : {0.0, 1.5}) {
        FrameRenderer r(kW, kH);
        r.fill(200);
        drawRow(r, shown, 30);
        if (blur > 0) r.blur(blur);
        r.noise(8.0, 5);
        auto px = frameOf(r);
        vxt::Detector d(kW, kH);
        d.attachPatternSet(&random);
        ASSERT_TRUE(d.detect(px.data()).ok());
        // The best of 16 patterns, 4 rotations and 3 blur levels on each square.
        for (int i = 0; i < d.markerCount(); ++i) EXPECT_LT(d.markers()[i].cf, kTolerance - 0.03) << "blur " << blur;
    }
}

TEST(Identification, AColourTrainedPatternIsFoundInAGreyFrame) {
    TestPatterns pats(8, true);
    FrameRenderer r(kW, kH);
    r.fill(200);
    auto truth = drawRow(r, pats, 80);
    struct Case {
        vxt::PixelFormat format;
        bool greyed;  // every channel holds the luma
        const char* what;
    };
    for (const Case& c : {Case{vxt::PixelFormat::Mono, false, "monochrome camera"},
                          Case{vxt::PixelFormat::BGR, true, "grey BGR frame"},
                          Case{vxt::PixelFormat::BGR, false, "colour frame"}}) {
        auto px = frameOf(r, c.format);
        if (c.greyed)
            for (std::size_t i = 0; i + 2 < px.size(); i += 3) {
                auto y = static_cast<std::uint8_t>((29 * px[i] + 150 * px[i + 1] + 77 * px[i + 2] + 128) >> 8);
                px[i] = px[i + 1] = px[i + 2] = y;
            }
        vxt::Detector d(kW, kH);
        ASSERT_TRUE(d.setPixelFormat(static_cast<int>(c.format)));
        d.attachPatternSet(&pats.set);
        ASSERT_TRUE(d.detect(px.data()).ok());
        EXPECT_EQ(identified(d, truth, 0.9), 8) << c.what;
    }
}
