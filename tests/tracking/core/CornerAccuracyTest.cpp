// Subpixel corner accuracy on frames drawn through random poses, clean and
// degraded.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "TestScene.h"

using namespace vxttest;

namespace {

struct Stats {
    int drawn = 0, found = 0, wrongId = 0;
    double sumErr = 0;
    int corners = 0;
    double meanError() const { return corners ? sumErr / corners : 1e9; }
};

enum class Degrade { None, Noise, Blur, NoiseAndBlur };

// Frames of one marker each at random poses: 40..140 px, tilts up to 50 deg.
Stats runScenes(Degrade deg, int imageProcMode, double width = 80.0, int frames = 24) {
    const vxt::CameraParams cam(640, 480, 700, 700, 320, 240);
    TestPatterns pats(4);
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> u(0, 1);
    vxt::Detector d(cam);
    d.attachPatternSet(&pats.set);
    EXPECT_TRUE(d.setImageProcMode(imageProcMode));
    Stats s;
    for (int f = 0; f < frames; ++f) {
        vxtbench::FrameRenderer r(640, 480);
        r.fill(190);
        double dist = 400 + 900 * u(rng);
        vxt::Pose34 pose = vxtbench::makePose(dist, (u(rng) - 0.5) * 100, (u(rng) - 0.5) * 100, u(rng) * 360,
                                              (u(rng) - 0.5) * dist * 0.4, (u(rng) - 0.5) * dist * 0.3);
        Truth t;
        t.patternId = f % 4;
        if (!r.drawMarkerAt(pats.images[t.patternId], cam, pose, width, vxtbench::MarkerStyle(), t.corners)) continue;
        if (deg == Degrade::Blur || deg == Degrade::NoiseAndBlur) r.blur(1.5);
        if (deg == Degrade::Noise || deg == Degrade::NoiseAndBlur) r.noise(8.0, 1000 + f);
        std::vector<std::uint8_t> px;
        r.toFormat(vxt::PixelFormat::BGR, px);
        ++s.drawn;
        EXPECT_TRUE(d.detect(px.data()).ok());
        const vxt::MarkerInfo* m = findResult(d, t, 8.0);
        if (!m || m->id < 0) continue;
        if (m->id != t.patternId) {
            ++s.wrongId;
            continue;
        }
        ++s.found;
        for (int k = 0; k < 4; ++k) {
            const double* v = m->vertex[(m->dir + k) & 3];
            s.sumErr += std::hypot(v[0] - t.corners[k][0], v[1] - t.corners[k][1]);
            ++s.corners;
        }
    }
    return s;
}

}  // namespace

TEST(CornerAccuracy, CleanFramesAreWithinATenthOfAPixel) {
    Stats s = runScenes(Degrade::None, 0);
    std::printf("clean: found %d/%d, mean corner error %.4f px\n", s.found, s.drawn, s.meanError());
    EXPECT_EQ(s.found, s.drawn);
    EXPECT_EQ(s.wrongId, 0);
    EXPECT_LT(s.meanError(), 0.1);
}

TEST(CornerAccuracy, HalfSizeLabellingKeepsFullSizeAccuracy) {
    Stats s = runScenes(Degrade::None, 1);
    std::printf("half-size: found %d/%d, mean corner error %.4f px\n", s.found, s.drawn, s.meanError());
    EXPECT_EQ(s.found, s.drawn);
    EXPECT_LT(s.meanError(), 0.1);
}

TEST(CornerAccuracy, NoiseAndBlurDegradeGracefully) {
    for (Degrade deg : {Degrade::Noise, Degrade::Blur, Degrade::NoiseAndBlur}) {
        Stats s = runScenes(deg, 0);
        std::printf("degradation %d: found %d/%d, mean corner error %.4f px\n", static_cast<int>(deg), s.found,
                    s.drawn, s.meanError());
        EXPECT_GE(s.found, s.drawn - 1);
        EXPECT_EQ(s.wrongId, 0);
        EXPECT_LT(s.meanError(), 0.3);
    }
}
