// Identification of squares: ids, directions, confidences, labeling and
// image processing modes, nested duplicates, pattern activation.
#include <gtest/gtest.h>

#include <cmath>

#include "TestScene.h"

using namespace vxttest;
using vxtbench::FrameRenderer;
using vxtbench::MarkerStyle;

namespace {

const int kW = 640, kH = 480;

struct Placed {
    int id;
    double cx, cy, side, angle;
};

// Draws the markers on a light background and returns their truth.
std::vector<Truth> drawScene(FrameRenderer& r, const TestPatterns& pats, const std::vector<Placed>& list,
                             const MarkerStyle& style = MarkerStyle()) {
    std::vector<Truth> truth;
    for (const Placed& p : list) {
        Truth t;
        t.patternId = p.id;
        vxtbench::squareCorners(p.cx, p.cy, p.side, p.angle, t.corners);
        r.drawMarker(pats.images[p.id], t.corners, style);
        truth.push_back(t);
    }
    return truth;
}

const std::vector<Placed> kFour = {
    {0, 130, 120, 110, 0}, {1, 470, 130, 90, 90}, {2, 150, 350, 70, 200}, {3, 450, 340, 120, 315}};

std::vector<std::uint8_t> frameOf(const FrameRenderer& r, vxt::PixelFormat f = vxt::PixelFormat::BGR) {
    std::vector<std::uint8_t> px;
    r.toFormat(f, px);
    return px;
}

}  // namespace

TEST(Detection, FindsIdsDirectionsAndConfidences) {
    TestPatterns pats(6);
    FrameRenderer r(kW, kH);
    r.fill(200);
    auto truth = drawScene(r, pats, kFour);
    auto px = frameOf(r);
    vxt::Detector d(kW, kH);
    d.attachPatternSet(&pats.set);
    ASSERT_TRUE(d.detect(px.data()).ok());
    EXPECT_EQ(d.markerCount(), 4);
    for (const Truth& t : truth) {
        const vxt::MarkerInfo* m = findResult(d, t);
        ASSERT_NE(m, nullptr) << "pattern " << t.patternId;
        EXPECT_EQ(m->id, t.patternId);
        EXPECT_GT(m->cf, 0.9);
        EXPECT_LE(m->cf, 1.0);
        EXPECT_LT(cornerError(*m, t), 0.15) << "pattern " << t.patternId;
        EXPECT_GT(m->area, 0);
    }
}

TEST(Detection, DirectionFollowsThePrintedTopLeft) {
    TestPatterns pats(1);
    for (int quarter = 0; quarter < 4; ++quarter) {
        FrameRenderer r(kW, kH);
        r.fill(200);
        auto truth = drawScene(r, pats, {{0, 320, 240, 150, 90.0 * quarter + 7}});
        auto px = frameOf(r);
        vxt::Detector d(kW, kH);
        d.attachPatternSet(&pats.set);
        ASSERT_TRUE(d.detect(px.data()).ok());
        ASSERT_EQ(d.markerCount(), 1);
        const vxt::MarkerInfo& m = d.markers()[0];
        EXPECT_EQ(m.id, 0);
        // Corner `dir` is the printed top-left.
        EXPECT_LT(std::hypot(m.vertex[m.dir][0] - truth[0].corners[0][0], m.vertex[m.dir][1] - truth[0].corners[0][1]),
                  0.2)
            << "quarter " << quarter;
        // Corners run clockwise on screen: the next one is the printed top-right.
        int next = (m.dir + 1) & 3;
        EXPECT_LT(std::hypot(m.vertex[next][0] - truth[0].corners[1][0], m.vertex[next][1] - truth[0].corners[1][1]),
                  0.2);
    }
}

TEST(Detection, LabelingModeOneFindsLightSquaresOnDarkGround) {
    TestPatterns pats(4);
    FrameRenderer r(kW, kH);
    r.fill(25);
    MarkerStyle inv;
    inv.inverted = true;
    auto truth = drawScene(r, pats, kFour, inv);
    auto px = frameOf(r);
    vxt::Detector d(kW, kH);
    d.attachPatternSet(&pats.set);
    ASSERT_TRUE(d.detect(px.data()).ok());
    EXPECT_EQ(d.markerCount(), 0) << "dark-square mode must not see light squares";
    ASSERT_TRUE(d.setLabelingMode(1));
    ASSERT_TRUE(d.detect(px.data()).ok());
    ASSERT_EQ(d.markerCount(), 4);
    for (const Truth& t : truth) {
        const vxt::MarkerInfo* m = findResult(d, t);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->id, t.patternId);
        EXPECT_LT(cornerError(*m, t), 0.15);
    }
}

TEST(Detection, HalfSizeModeStillRefinesCornersOnTheFullImage) {
    TestPatterns pats(4);
    FrameRenderer r(kW, kH);
    r.fill(200);
    auto truth = drawScene(r, pats, kFour);
    auto px = frameOf(r);
    vxt::Detector d(kW, kH);
    d.attachPatternSet(&pats.set);
    ASSERT_TRUE(d.setImageProcMode(1));
    ASSERT_TRUE(d.detect(px.data()).ok());
    ASSERT_EQ(d.markerCount(), 4);
    for (const Truth& t : truth) {
        const vxt::MarkerInfo* m = findResult(d, t);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->id, t.patternId);
        EXPECT_LT(cornerError(*m, t), 0.15);
        // Area is reported in full-size pixels in both modes.
        double side = std::hypot(t.corners[1][0] - t.corners[0][0], t.corners[1][1] - t.corners[0][1]);
        EXPECT_NEAR(m->area, side * side * 0.75, side * side * 0.2);
    }
}

TEST(Detection, NestedSquareInsideAPatternIsRemoved) {
    // A pattern that is white with a black square in the middle: the black
    // square is a square component of its own, inside the marker.
    vxt::PatternImage img;
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c)
            for (int k = 0; k < 3; ++k) img.at(r, c, k) = (r >= 4 && r < 12 && c >= 4 && c < 12) ? 0 : 255;
    img.at(1, 1, 0) = img.at(1, 1, 1) = img.at(1, 1, 2) = 0;  // breaks the symmetry a little
    vxt::PatternSet set;
    set.add(img);
    FrameRenderer r(kW, kH);
    r.fill(200);
    double corners[4][2];
    vxtbench::squareCorners(320, 240, 200, 10, corners);
    r.drawMarker(img, corners, MarkerStyle());
    auto px = frameOf(r);
    vxt::Detector d(kW, kH);
    d.attachPatternSet(&set);
    vxt::DetectorParams p = d.params();
    p.result.removeNested = false;
    ASSERT_TRUE(d.setParams(p).ok());
    ASSERT_TRUE(d.detect(px.data()).ok());
    EXPECT_EQ(d.markerCount(), 2) << "the inner square is a candidate of its own";
    p.result.removeNested = true;
    ASSERT_TRUE(d.setParams(p).ok());
    ASSERT_TRUE(d.detect(px.data()).ok());
    ASSERT_EQ(d.markerCount(), 1);
    EXPECT_EQ(d.markers()[0].id, 0);
}

TEST(Detection, MarkerInsideADarkFrameIsKept) {
    // A marker shown inside a dark square frame (a screen's bezel): the frame
    // is a square too, but an unidentified one.
    TestPatterns pats(1);
    vxt::PatternImage blank;
    std::fill(blank.rgb(), blank.rgb() + vxt::PatternImage::kBytes, 255);
    FrameRenderer r(kW, kH);
    r.fill(200);
    double frame[4][2];
    vxtbench::squareCorners(320, 240, 420, 3, frame);
    MarkerStyle thin;
    thin.margin = 0.05;
    r.drawMarker(blank, frame, thin);
    auto truth = drawScene(r, pats, {{0, 320, 240, 70, 10}}, thin);
    auto px = frameOf(r);
    vxt::Detector d(kW, kH);
    d.attachPatternSet(&pats.set);
    ASSERT_TRUE(d.detect(px.data()).ok());
    ASSERT_EQ(d.markerCount(), 2);
    int identified = 0;
    for (int i = 0; i < d.markerCount(); ++i) {
        const vxt::MarkerInfo& m = d.markers()[i];
        if (m.id < 0) continue;
        ++identified;
        EXPECT_EQ(m.id, 0);
        EXPECT_LT(cornerError(m, truth[0]), 0.15);
    }
    EXPECT_EQ(identified, 1);
}

TEST(Detection, BackgroundWithoutMarkersGivesNoIdentifiedSquares) {
    TestPatterns pats(8);
    FrameRenderer r(kW, kH);
    r.texture(3, 40, 240);
    auto px = frameOf(r);
    vxt::Detector d(kW, kH);
    d.attachPatternSet(&pats.set);
    for (int t : {60, 100, 140}) {
        ASSERT_TRUE(d.setThreshold(t));
        ASSERT_TRUE(d.detect(px.data()).ok());
        for (int i = 0; i < d.markerCount(); ++i) EXPECT_EQ(d.markers()[i].id, -1) << "threshold " << t;
    }
}

TEST(Detection, DeactivatedPatternsAreNotMatched) {
    TestPatterns pats(2);
    FrameRenderer r(kW, kH);
    r.fill(200);
    drawScene(r, pats, {{0, 200, 240, 120, 0}, {1, 440, 240, 120, 30}});
    auto px = frameOf(r);
    vxt::Detector d(kW, kH);
    d.attachPatternSet(&pats.set);
    ASSERT_TRUE(pats.set.deactivate(0));
    ASSERT_TRUE(d.detect(px.data()).ok());
    ASSERT_EQ(d.markerCount(), 2);
    EXPECT_NE(d.markers()[0].id, 0);
    EXPECT_NE(d.markers()[1].id, 0);
    ASSERT_TRUE(pats.set.activate(0));
    ASSERT_TRUE(d.detect(px.data()).ok());
    int zeros = 0;
    for (int i = 0; i < d.markerCount(); ++i) zeros += d.markers()[i].id == 0;
    EXPECT_EQ(zeros, 1);
    // Without a pattern set squares are still reported, unidentified.
    d.detachPatternSet();
    ASSERT_TRUE(d.detect(px.data()).ok());
    ASSERT_EQ(d.markerCount(), 2);
    EXPECT_EQ(d.markers()[0].id, -1);
    EXPECT_EQ(d.markers()[0].cf, 0.0);
}

TEST(Detection, GreyAndShadingFreeModesIdentifyMarkers) {
    TestPatterns pats(4, false);
    FrameRenderer r(kW, kH);
    r.fill(200);
    auto truth = drawScene(r, pats, kFour);
    r.lightingGradient(0.45f, 1.0f);
    auto px = frameOf(r);
    vxt::Detector d(kW, kH);
    d.attachPatternSet(&pats.set);
    ASSERT_TRUE(d.setThreshold(60));
    for (int mode : {0, 1, 2}) {
        ASSERT_TRUE(d.setPatternDetectionMode(mode));
        ASSERT_TRUE(d.detect(px.data()).ok());
        for (const Truth& t : truth) {
            const vxt::MarkerInfo* m = findResult(d, t);
            ASSERT_NE(m, nullptr) << "mode " << mode;
            EXPECT_EQ(m->id, t.patternId) << "mode " << mode;
            EXPECT_GT(m->cf, 0.85) << "mode " << mode;
        }
    }
}

TEST(Detection, AdaptiveThresholdSurvivesAStrongLightingGradient) {
    TestPatterns pats(4);
    FrameRenderer r(kW, kH);
    r.fill(200);
    auto truth = drawScene(r, pats, kFour);
    r.lightingGradient(0.2f, 1.0f);  // the left side is dim: paper there is darker than 100
    auto px = frameOf(r);
    vxt::Detector d(kW, kH);
    d.attachPatternSet(&pats.set);
    ASSERT_TRUE(d.detect(px.data()).ok());
    int globalFound = 0;
    for (const Truth& t : truth) {
        const vxt::MarkerInfo* m = findResult(d, t);
        globalFound += m && m->id == t.patternId;
    }
    EXPECT_LT(globalFound, 4) << "a global threshold of 100 cannot see the dim side";
    d.setAdaptiveThreshold(true);
    ASSERT_TRUE(d.detect(px.data()).ok());
    for (const Truth& t : truth) {
        const vxt::MarkerInfo* m = findResult(d, t);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->id, t.patternId);
        EXPECT_LT(cornerError(*m, t), 0.2);
    }
}

TEST(Detection, MarkersTouchingTheFrameEdgeAreIgnored) {
    TestPatterns pats(1);
    FrameRenderer r(kW, kH);
    r.fill(200);
    drawScene(r, pats, {{0, 30, 240, 120, 0}});  // the left part is cut off
    auto px = frameOf(r);
    vxt::Detector d(kW, kH);
    d.attachPatternSet(&pats.set);
    ASSERT_TRUE(d.detect(px.data()).ok());
    EXPECT_EQ(d.markerCount(), 0);
}

TEST(Detection, ResultsComeInDetectionOrder) {
    // Raster order of each square's top-most pixel: upper squares first.
    TestPatterns pats(3);
    FrameRenderer r(kW, kH);
    r.fill(200);
    auto truth = drawScene(r, pats, {{2, 480, 360, 90, 10}, {0, 150, 110, 80, 0}, {1, 470, 130, 70, 40}});
    auto px = frameOf(r);
    vxt::Detector d(kW, kH);
    d.attachPatternSet(&pats.set);
    ASSERT_TRUE(d.detect(px.data()).ok());
    ASSERT_EQ(d.markerCount(), 3);
    EXPECT_EQ(d.markers()[0].id, 0);  // top edge at y 70
    EXPECT_EQ(d.markers()[1].id, 1);  // top corner at y 81
    EXPECT_EQ(d.markers()[2].id, 2);
}

TEST(Detection, AdaptiveThresholdWorksForLightSquaresToo) {
    TestPatterns pats(4);
    FrameRenderer r(kW, kH);
    r.fill(25);
    MarkerStyle inv;
    inv.inverted = true;
    auto truth = drawScene(r, pats, kFour, inv);
    r.lightingGradient(1.0f, 0.3f);
    auto px = frameOf(r);
    vxt::Detector d(kW, kH);
    d.attachPatternSet(&pats.set);
    ASSERT_TRUE(d.setLabelingMode(1));
    d.setAdaptiveThreshold(true);
    ASSERT_TRUE(d.detect(px.data()).ok());
    for (const Truth& t : truth) {
        const vxt::MarkerInfo* m = findResult(d, t);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->id, t.patternId);
        EXPECT_LT(cornerError(*m, t), 0.2);
    }
}

TEST(Detection, PathologicalFramesDoNotBreakIt) {
    TestPatterns pats(2);
    vxt::Detector d(160, 120);
    d.attachPatternSet(&pats.set);
    std::vector<std::uint8_t> px(160 * 120 * 3);
    auto run = [&](const char* what) {
        for (int mode = 0; mode < 2; ++mode)
            for (int label = 0; label < 2; ++label)
                for (bool adaptive : {false, true}) {
                    ASSERT_TRUE(d.setImageProcMode(mode));
                    ASSERT_TRUE(d.setLabelingMode(label));
                    d.setAdaptiveThreshold(adaptive);
                    ASSERT_TRUE(d.detect(px.data()).ok()) << what;
                    for (int i = 0; i < d.markerCount(); ++i) EXPECT_EQ(d.markers()[i].id, -1) << what;
                }
    };
    std::fill(px.begin(), px.end(), 0);
    run("black");
    std::fill(px.begin(), px.end(), 255);
    run("white");
    for (std::size_t i = 0; i < px.size(); ++i) px[i] = ((i / 3) % 160 + (i / 3) / 160) % 2 ? 255 : 0;
    run("one-pixel checkerboard");
    std::uint32_t seed = 12345;
    for (auto& v : px) {
        seed = seed * 1664525u + 1013904223u;
        v = static_cast<std::uint8_t>(seed >> 24);
    }
    run("random bytes");
    // A black frame with a white hole touching nothing: one huge component.
    std::fill(px.begin(), px.end(), 0);
    for (int y = 40; y < 80; ++y)
        for (int x = 60; x < 100; ++x)
            for (int k = 0; k < 3; ++k) px[(y * 160 + x) * 3 + k] = 255;
    run("black frame with a white square");
}

TEST(Detection, SmallBlurredMarkersStillMatchConfidently) {
    // 32-pixel markers seen through a soft lens: the inner picture is spread
    // over several cells, so it is matched against blurred templates.
    TestPatterns pats(8);
    FrameRenderer r(kW, kH);
    r.fill(200);
    std::vector<Placed> list;
    for (int i = 0; i < 8; ++i) list.push_back({i, 80.0 + 160 * (i % 4), 140.0 + 200 * (i / 4), 32, 23.0 * i});
    auto truth = drawScene(r, pats, list);
    r.blur(1.5);
    r.noise(8.0, 5);
    auto px = frameOf(r);
    vxt::Detector d(kW, kH);
    d.attachPatternSet(&pats.set);
    ASSERT_TRUE(d.detect(px.data()).ok());
    for (const Truth& t : truth) {
        const vxt::MarkerInfo* m = findResult(d, t);
        ASSERT_NE(m, nullptr) << "pattern " << t.patternId;
        EXPECT_EQ(m->id, t.patternId);
        EXPECT_GT(m->cf, 0.8) << "pattern " << t.patternId;
        EXPECT_LT(cornerError(*m, t), 0.4);
    }
}
