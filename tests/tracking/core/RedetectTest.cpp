// Detecting again in the last frame at another threshold (the tracker's
// threshold search) gives exactly what a full detection of that frame at that
// threshold gives, whatever the pixel format, image processing mode and
// thresholding.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestScene.h"

using namespace vxttest;

namespace {

const vxt::CameraParams kCam(640, 480, 700, 700, 320, 240);

// Markers of several sizes and tilts on a textured ground, with noise, blur
// or a lighting gradient: squares come and go as the threshold moves.
vxtbench::FrameRenderer drawFrame(const TestPatterns& pats, int variant) {
    vxtbench::FrameRenderer r(640, 480);
    r.texture(40u + static_cast<unsigned>(variant), 110, 235);
    const double place[4][5] = {{0, 900, 10, -150, -90}, {1, 600, -45, 120, -60},
                                {2, 1400, 30, -80, 110}, {3, 700, 60, 170, 120}};
    for (const auto& p : place) {
        double corners[4][2];
        r.drawMarkerAt(pats.images[static_cast<int>(p[0])], kCam,
                       vxtbench::makePose(p[1], p[2], 0.5 * p[2], 20.0 * variant, p[3], p[4]), 80.0,
                       vxtbench::MarkerStyle(), corners);
    }
    if (variant == 1) r.lightingGradient(1.0f, 0.45f);
    if (variant == 2) r.blur(1.2);
    r.noise(variant == 0 ? 3.0 : 6.0, static_cast<unsigned>(variant));
    return r;
}

void expectSameResults(const vxt::Detector& again, const vxt::Detector& full, const std::string& what) {
    ASSERT_EQ(again.markerCount(), full.markerCount()) << what;
    for (int i = 0; i < full.markerCount(); ++i) {
        const vxt::MarkerInfo& a = again.markers()[i];
        const vxt::MarkerInfo& f = full.markers()[i];
        EXPECT_EQ(a.area, f.area) << what << " result " << i;
        EXPECT_EQ(a.id, f.id) << what << " result " << i;
        EXPECT_EQ(a.dir, f.dir) << what << " result " << i;
        EXPECT_EQ(a.cf, f.cf) << what << " result " << i;
        for (int c = 0; c < 2; ++c) EXPECT_EQ(a.pos[c], f.pos[c]) << what << " result " << i;
        for (int k = 0; k < 4; ++k) {
            for (int c = 0; c < 2; ++c) EXPECT_EQ(a.vertex[k][c], f.vertex[k][c]) << what << " result " << i;
            for (int c = 0; c < 3; ++c) EXPECT_EQ(a.line[k][c], f.line[k][c]) << what << " result " << i;
        }
    }
}

}  // namespace

TEST(Redetect, EveryThresholdMatchesAFullDetectionOfTheSameFrame) {
    TestPatterns pats(4);
    struct Setting {
        vxt::PixelFormat format;
        int imageProcMode;
        bool adaptive;
    };
    const Setting settings[] = {
        {vxt::PixelFormat::BGR, 0, false},  {vxt::PixelFormat::BGR, 1, false},
        {vxt::PixelFormat::BGR, 0, true},   {vxt::PixelFormat::RGBA, 0, false},
        {vxt::PixelFormat::Mono, 0, false},  // grey frames are used in place
        {vxt::PixelFormat::Mono, 1, true},  {vxt::PixelFormat::UYVY, 1, false},
    };
    // The search's own order after a first pass at a hopeless threshold, then
    // jumps back and forth across the whole range.
    const int thresholds[] = {3, 70, 75, 80, 85, 90, 95, 100, 105, 110, 240, 10, 160, 128};
    int identified = 0, empty = 0;
    for (int variant = 0; variant < 3; ++variant) {
        const vxtbench::FrameRenderer frame = drawFrame(pats, variant);
        for (const Setting& s : settings) {
            std::vector<std::uint8_t> px;
            frame.toFormat(s.format, px);
            vxt::Detector again(kCam), full(kCam);
            for (vxt::Detector* d : {&again, &full}) {
                d->attachPatternSet(&pats.set);
                ASSERT_TRUE(d->setPixelFormat(static_cast<int>(s.format)));
                ASSERT_TRUE(d->setImageProcMode(s.imageProcMode));
                d->setAdaptiveThreshold(s.adaptive);
            }
            ASSERT_TRUE(again.setThreshold(thresholds[0]));
            ASSERT_TRUE(again.detect(px.data()).ok());
            for (int t : thresholds) {
                const std::string what = "variant " + std::to_string(variant) + " format " +
                                         std::to_string(static_cast<int>(s.format)) + " mode " +
                                         std::to_string(s.imageProcMode) + (s.adaptive ? " adaptive" : "") +
                                         " threshold " + std::to_string(t);
                ASSERT_TRUE(again.setThreshold(t));
                ASSERT_TRUE(again.redetect().ok()) << what;
                ASSERT_TRUE(full.setThreshold(t));
                ASSERT_TRUE(full.detect(px.data()).ok()) << what;
                expectSameResults(again, full, what);
                if (::testing::Test::HasFailure()) return;
                for (int i = 0; i < full.markerCount(); ++i) identified += full.markers()[i].id >= 0 ? 1 : 0;
                empty += full.markerCount() == 0 ? 1 : 0;
            }
        }
    }
    // The frames exercise both outcomes of a search pass.
    EXPECT_GT(identified, 100);
    EXPECT_GT(empty, 5);
}
