// Pose of squares and multi-marker boards; pose algebra, OpenGL matrices and
// the lens model.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "TestScene.h"
#include "vxt/MultiMarkerConfig.h"
#include "vxt/PoseEstimator.h"

using namespace vxttest;

namespace {

const vxt::CameraParams kCam(640, 480, 700, 700, 320, 240);

double translationErrorPct(const vxt::Pose34& a, const vxt::Pose34& truth) {
    double d = std::sqrt(truth.m[0][3] * truth.m[0][3] + truth.m[1][3] * truth.m[1][3] + truth.m[2][3] * truth.m[2][3]);
    double e = std::sqrt(std::pow(a.m[0][3] - truth.m[0][3], 2) + std::pow(a.m[1][3] - truth.m[1][3], 2) +
                         std::pow(a.m[2][3] - truth.m[2][3], 2));
    return 100.0 * e / d;
}

double rotationErrorDeg(const vxt::Pose34& a, const vxt::Pose34& b) {
    double tr = 0;
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 3; ++k) tr += a.m[k][i] * b.m[k][i];
    return std::acos(std::min(1.0, std::max(-1.0, (tr - 1) / 2))) * 180.0 / M_PI;
}

// Corners of a square of `width` at `pose`, projected through the camera
// (observed coordinates, lens model included), in a result record.
vxt::MarkerInfo projectedSquare(const vxt::CameraParams& cam, const vxt::Pose34& pose, double width, int dir) {
    vxt::MarkerInfo m;
    m.id = 0;
    m.dir = dir;
    const double h = width / 2, obj[4][3] = {{-h, h, 0}, {h, h, 0}, {h, -h, 0}, {-h, -h, 0}};
    for (int k = 0; k < 4; ++k) {
        double p[3];
        vxt::poseApply(pose, obj[k], p);
        double ix = cam.fx() * p[0] / p[2] + cam.cx(), iy = cam.fy() * p[1] / p[2] + cam.cy();
        double* v = m.vertex[(dir + k) & 3];
        cam.idealToObserved(ix, iy, v[0], v[1]);
    }
    return m;
}

}  // namespace

TEST(Pose, RenderedSquaresGiveAccuratePoses) {
    TestPatterns pats(1);
    vxt::Detector d(kCam);
    d.attachPatternSet(&pats.set);
    vxt::PoseEstimator pe(kCam);
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(0, 1);
    std::vector<double> terr, rerr;
    for (int f = 0; f < 16; ++f) {
        vxtbench::FrameRenderer r(640, 480);
        r.fill(190);
        double dist = 350 + 700 * u(rng);
        vxt::Pose34 truth = vxtbench::makePose(dist, (u(rng) - 0.5) * 100, (u(rng) - 0.5) * 100, u(rng) * 360,
                                               (u(rng) - 0.5) * dist * 0.3, (u(rng) - 0.5) * dist * 0.2);
        double corners[4][2];
        ASSERT_TRUE(r.drawMarkerAt(pats.images[0], kCam, truth, 80.0, vxtbench::MarkerStyle(), corners));
        std::vector<std::uint8_t> px;
        r.toFormat(vxt::PixelFormat::BGR, px);
        ASSERT_TRUE(d.detect(px.data()).ok());
        ASSERT_EQ(d.markerCount(), 1) << "frame " << f;
        vxt::Pose34 est;
        const double centre[2] = {0, 0};
        double err = pe.estimate(d.markers()[0], centre, 80.0, est);
        ASSERT_GE(err, 0.0);
        EXPECT_LT(err, 0.01) << "mean squared reprojection error, px^2";
        terr.push_back(translationErrorPct(est, truth));
        rerr.push_back(rotationErrorDeg(est, truth));
    }
    std::sort(terr.begin(), terr.end());
    std::sort(rerr.begin(), rerr.end());
    std::printf("pose: median translation error %.4f %% of distance, median rotation error %.4f deg\n",
                terr[terr.size() / 2], rerr[rerr.size() / 2]);
    EXPECT_LT(terr[terr.size() / 2], 0.2);
    EXPECT_LT(terr.back(), 1.0);
    EXPECT_LT(rerr[rerr.size() / 2], 0.5);
}

TEST(Pose, FacingSquareHasTheDocumentedAxes) {
    vxt::PoseEstimator pe(kCam);
    vxt::Pose34 truth = vxtbench::makePose(500, 0, 0, 0, 10, -20);
    for (int dir = 0; dir < 4; ++dir) {
        vxt::MarkerInfo m = projectedSquare(kCam, truth, 80, dir);
        vxt::Pose34 est;
        const double centre[2] = {0, 0};
        ASSERT_GE(pe.estimate(m, centre, 80, est), 0.0);
        // Marker x -> camera x, marker y (up) -> camera -y, marker z -> camera -z.
        EXPECT_NEAR(est.m[0][0], 1, 1e-6);
        EXPECT_NEAR(est.m[1][1], -1, 1e-6);
        EXPECT_NEAR(est.m[2][2], -1, 1e-6);
        EXPECT_NEAR(est.m[0][3], 10, 1e-4);
        EXPECT_NEAR(est.m[1][3], -20, 1e-4);
        EXPECT_NEAR(est.m[2][3], 500, 1e-3);
        double gl[16];
        vxt::poseToModelview(est, 1.0, gl);
        // OpenGL: identity rotation, the marker 500 mm in front (z negative), 20 mm up.
        EXPECT_NEAR(gl[0], 1, 1e-6);
        EXPECT_NEAR(gl[5], 1, 1e-6);
        EXPECT_NEAR(gl[10], 1, 1e-6);
        EXPECT_NEAR(gl[12], 10, 1e-4);
        EXPECT_NEAR(gl[13], 20, 1e-4);
        EXPECT_NEAR(gl[14], -500, 1e-3);
        EXPECT_EQ(gl[15], 1.0);
    }
}

TEST(Pose, CentreOffsetMovesTheMarkerOrigin) {
    vxt::PoseEstimator pe(kCam);
    vxt::Pose34 truth = vxtbench::makePose(600, 20, -15, 30, 0, 0);
    vxt::MarkerInfo m = projectedSquare(kCam, truth, 80, 1);
    // The same square said to sit 40 mm right of the origin: the origin moves 40 mm left.
    const double centre[2] = {40, 0};
    vxt::Pose34 est;
    ASSERT_GE(pe.estimate(m, centre, 80, est), 0.0);
    const double origin[3] = {40, 0, 0};
    double p[3];
    vxt::poseApply(est, origin, p);
    EXPECT_NEAR(p[0], truth.m[0][3], 1e-3);
    EXPECT_NEAR(p[1], truth.m[1][3], 1e-3);
    EXPECT_NEAR(p[2], truth.m[2][3], 1e-3);
}

TEST(Pose, ContinuousEstimateStartsFromThePreviousPose) {
    vxt::PoseEstimator pe(kCam);
    vxt::Pose34 truth = vxtbench::makePose(700, 35, 10, 80, 50, 30);
    vxt::MarkerInfo m = projectedSquare(kCam, truth, 80, 2);
    const double centre[2] = {0, 0};
    vxt::Pose34 near = vxtbench::makePose(705, 33, 11, 79, 52, 29), est;
    ASSERT_GE(pe.estimateCont(m, near, centre, 80, est), 0.0);
    EXPECT_LT(translationErrorPct(est, truth), 0.01);
    EXPECT_LT(rotationErrorDeg(est, truth), 0.01);
    // A previous pose from far away still ends at the right pose.
    vxt::Pose34 wrong = vxtbench::makePose(2000, -40, 30, 200, -300, 100);
    ASSERT_GE(pe.estimateCont(m, wrong, centre, 80, est), 0.0);
    EXPECT_LT(translationErrorPct(est, truth), 0.01);
}

TEST(Pose, RefinementSettingsAreRangeCheckedAndObeyed) {
    vxt::PoseEstimator pe(kCam);
    EXPECT_EQ(pe.maxLoopCount(), 10);
    EXPECT_DOUBLE_EQ(pe.breakThreshold(), 0.1);
    EXPECT_DOUBLE_EQ(pe.breakRatio(), 0.99);
    EXPECT_FALSE(pe.setMaxLoopCount(-1));
    EXPECT_FALSE(pe.setBreakThreshold(-0.5));
    EXPECT_FALSE(pe.setBreakThreshold(std::nan("")));
    EXPECT_FALSE(pe.setBreakRatio(1.5));
    EXPECT_EQ(pe.maxLoopCount(), 10);
    // Noisy corners: refinement lowers the reprojection error below the
    // homography's start value.
    vxt::Pose34 truth = vxtbench::makePose(800, 40, 0, 10, 0, 0);
    vxt::MarkerInfo m = projectedSquare(kCam, truth, 80, 0);
    m.vertex[0][0] += 0.8;
    m.vertex[2][1] -= 0.6;
    const double centre[2] = {0, 0};
    vxt::Pose34 est;
    ASSERT_TRUE(pe.setMaxLoopCount(0));
    double e0 = pe.estimate(m, centre, 80, est);
    ASSERT_TRUE(pe.setMaxLoopCount(10));
    ASSERT_TRUE(pe.setBreakThreshold(0.0));
    double e10 = pe.estimate(m, centre, 80, est);
    EXPECT_LT(e10, e0);
    // A degenerate square fails without touching the output.
    vxt::MarkerInfo flat;
    vxt::Pose34 untouched = vxtbench::makePose(123, 0, 0, 0, 0, 0);
    EXPECT_LT(pe.estimate(flat, centre, 80, untouched), 0.0);
    EXPECT_EQ(untouched.m[2][3], 123);
}

TEST(Pose, LensDistortionIsRemovedBeforeEstimation) {
    vxt::CameraParams cam = kCam;
    cam.setDistortion(-0.25, 0.08, 0.001, -0.0015, 0.01);
    for (double x : {5.0, 100.0, 320.0, 600.0})
        for (double y : {7.0, 240.0, 470.0}) {
            double ox, oy, ix, iy;
            cam.idealToObserved(x, y, ox, oy);
            cam.observedToIdeal(ox, oy, ix, iy);
            EXPECT_NEAR(ix, x, 1e-6);
            EXPECT_NEAR(iy, y, 1e-6);
        }
    vxt::PoseEstimator pe(cam);
    vxt::Pose34 truth = vxtbench::makePose(500, 30, 20, 10, 150, 100);
    vxt::MarkerInfo m = projectedSquare(cam, truth, 80, 3);
    vxt::Pose34 est;
    const double centre[2] = {0, 0};
    ASSERT_GE(pe.estimate(m, centre, 80, est), 0.0);
    EXPECT_LT(translationErrorPct(est, truth), 0.001);
}

TEST(Pose, ProductInverseAndProjectionAgree) {
    vxt::Pose34 a = vxtbench::makePose(400, 10, 20, 30, 5, 6), b = vxtbench::makePose(50, -5, 3, 90, 1, 2), ab, inv, id;
    vxt::poseMul(a, b, ab);
    const double pt[3] = {3, -4, 5};
    double p1[3], p2[3];
    vxt::poseApply(b, pt, p1);
    vxt::poseApply(a, p1, p1);
    vxt::poseApply(ab, pt, p2);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(p1[k], p2[k], 1e-9);
    vxt::poseInverse(a, inv);
    vxt::poseMul(a, inv, id);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(id.m[i][j], i == j ? 1.0 : 0.0, 1e-9);
    // Modelview then projection lands where the camera model puts the point.
    double gl[16], proj[16];
    vxt::poseToModelview(a, 1.0, gl);
    kCam.projectionMatrix(10, 8000, proj);
    const double obj[4] = {20, 30, 0, 1};
    double eye[4] = {0, 0, 0, 0}, clip[4] = {0, 0, 0, 0};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) eye[r] += gl[c * 4 + r] * obj[c];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) clip[r] += proj[c * 4 + r] * eye[c];
    double u = (clip[0] / clip[3] + 1) / 2 * 640, v = (1 - clip[1] / clip[3]) / 2 * 480;
    double cam[3];
    vxt::poseApply(a, obj, cam);
    EXPECT_NEAR(u, 700 * cam[0] / cam[2] + 320, 1e-6);
    EXPECT_NEAR(v, 700 * cam[1] / cam[2] + 240, 1e-6);
    double depth = clip[2] / clip[3];
    EXPECT_GT(depth, -1.0);
    EXPECT_LT(depth, 1.0);
}

TEST(Pose, MultiMarkerBoardFromAllSeenSquares) {
    TestPatterns pats(3);
    vxt::MultiMarkerConfig cfg;
    const double centre[2] = {0, 0};
    const double offsets[3][2] = {{-60, 40}, {60, 40}, {0, -50}};
    for (int i = 0; i < 3; ++i) {
        vxt::Pose34 place;
        place.m[0][3] = offsets[i][0];
        place.m[1][3] = offsets[i][1];
        ASSERT_TRUE(cfg.addSubMarker("p" + std::to_string(i), i, 50.0, centre, place));
    }
    vxt::Pose34 board = vxtbench::makePose(700, 25, -20, 15, 20, -10);
    for (int hidden = -1; hidden < 3; ++hidden) {
        vxtbench::FrameRenderer r(640, 480);
        r.fill(200);
        for (int i = 0; i < 3; ++i) {
            if (i == hidden) continue;
            vxt::Pose34 sub;
            vxt::poseMul(board, cfg.subMarkers()[i].placement, sub);
            double corners[4][2];
            vxtbench::MarkerStyle st;
            st.margin = 0.15;
            ASSERT_TRUE(r.drawMarkerAt(pats.images[i], kCam, sub, 50.0, st, corners));
        }
        std::vector<std::uint8_t> px;
        r.toFormat(vxt::PixelFormat::BGR, px);
        vxt::Detector d(kCam);
        d.attachPatternSet(&pats.set);
        ASSERT_TRUE(d.detect(px.data()).ok());
        ASSERT_EQ(d.markerCount(), hidden < 0 ? 3 : 2);
        vxt::PoseEstimator pe(kCam);
        vxt::Pose34 est;
        ASSERT_GE(pe.estimateMulti(cfg, d.markers(), d.markerCount(), est), 0.0);
        EXPECT_LT(translationErrorPct(est, board), 0.2) << "hidden " << hidden;
        EXPECT_LT(rotationErrorDeg(est, board), 0.3) << "hidden " << hidden;
        // The tracker's way: one sub-marker's pose times its inverse placement.
        const vxt::MarkerInfo& first = d.markers()[0];
        const auto& sub = cfg.subMarkers()[first.id];
        vxt::Pose34 subPose, viaSub;
        ASSERT_GE(pe.estimate(first, sub.centre, sub.width, subPose), 0.0);
        vxt::poseMul(subPose, sub.inversePlacement, viaSub);
        EXPECT_LT(translationErrorPct(viaSub, board), 1.0);
    }
    // Nothing of the board in view.
    vxt::PoseEstimator pe(kCam);
    vxt::Pose34 est;
    EXPECT_LT(pe.estimateMulti(cfg, nullptr, 0, est), 0.0);
}

TEST(Pose, DegenerateSquaresGiveNoPoseFromAnyEstimate) {
    vxt::PoseEstimator pe(kCam);
    const double centre[2] = {0, 0};
    const vxt::Pose34 truth = vxtbench::makePose(600, 10, 0, 0, 0, 0);
    const vxt::MarkerInfo good = projectedSquare(kCam, truth, 80, 0);
    auto mix = [&](int a, int b, double t, double out[2]) {
        for (int c = 0; c < 2; ++c) out[c] = good.vertex[a][c] + t * (good.vertex[b][c] - good.vertex[a][c]);
    };
    struct Case {
        const char* name;
        vxt::MarkerInfo square;
    };
    std::vector<Case> cases;
    auto add = [&](const char* name, auto change) {
        Case c{name, good};
        change(c.square);
        cases.push_back(c);
    };
    add("all corners at one point", [](vxt::MarkerInfo& m) {
        for (auto& v : m.vertex) v[0] = 320, v[1] = 240;
    });
    add("two corners coincide", [](vxt::MarkerInfo& m) { m.vertex[3][0] = m.vertex[2][0], m.vertex[3][1] = m.vertex[2][1]; });
    add("three corners on a line", [&](vxt::MarkerInfo& m) { mix(2, 0, 0.5, m.vertex[3]); });
    add("a corner just off the line", [&](vxt::MarkerInfo& m) { mix(2, 0, 0.5, m.vertex[3]), m.vertex[3][0] += 1e-9; });
    add("all corners on a line", [](vxt::MarkerInfo& m) {
        for (int k = 0; k < 4; ++k) m.vertex[k][0] = 300 + 13 * k, m.vertex[k][1] = 240;
    });
    add("crossed outline", [](vxt::MarkerInfo& m) {
        for (int c = 0; c < 2; ++c) std::swap(m.vertex[1][c], m.vertex[2][c]);
    });
    add("dented outline", [&](vxt::MarkerInfo& m) {
        double mid[2];
        mix(0, 2, 0.5, mid);
        for (int c = 0; c < 2; ++c) m.vertex[3][c] = 0.6 * mid[c] + 0.4 * good.vertex[1][c];
    });
    add("corner not a number", [](vxt::MarkerInfo& m) { m.vertex[0][0] = std::nan(""); });

    vxt::MultiMarkerConfig board;
    vxt::Pose34 left, right;
    left.m[0][3] = -100;
    ASSERT_TRUE(board.addSubMarker("a", 0, 80.0, centre, left));
    ASSERT_TRUE(board.addSubMarker("b", 1, 80.0, centre, right));
    vxt::Pose34 rightPose;
    vxt::poseMul(truth, right, rightPose);  // sub-marker b sits at the board's origin
    vxt::MarkerInfo pair[2] = {good, projectedSquare(kCam, rightPose, 80, 0)};
    pair[1].id = 1;
    pair[0].cf = pair[1].cf = 0.9;
    pair[0].area = 9000;  // the largest, where the board's estimate starts
    pair[1].area = 4000;

    const vxt::Pose34 untouched = vxtbench::makePose(123, 0, 0, 0, 0, 0);
    for (const Case& c : cases) {
        vxt::Pose34 out = untouched;
        EXPECT_LT(pe.estimate(c.square, centre, 80, out), 0.0) << c.name;
        // From the previous frame's pose the refinement has a start, but no
        // square to fit: it must not drift off to some far pose.
        EXPECT_LT(pe.estimateCont(c.square, truth, centre, 80, out), 0.0) << c.name;
        EXPECT_LT(pe.estimateMulti(board, &c.square, 1, out), 0.0) << c.name;
        EXPECT_EQ(out.m[2][3], 123.0) << c.name;
        // Beside a good sub-marker the degenerate one is left out.
        pair[0] = c.square;
        pair[0].cf = 0.9;
        pair[0].area = 9000;
        ASSERT_GE(pe.estimateMulti(board, pair, 2, out), 0.0) << c.name;
        EXPECT_LT(translationErrorPct(out, truth), 0.01) << c.name;
    }
    // A square seen almost edge-on is thin but still a square.
    for (double tilt : {85.0, 89.0}) {
        const vxt::MarkerInfo thin = projectedSquare(kCam, vxtbench::makePose(600, tilt, 0, 0, 0, 0), 80, 0);
        vxt::Pose34 out;
        EXPECT_GE(pe.estimate(thin, centre, 80, out), 0.0) << tilt;
        EXPECT_GE(pe.estimateCont(thin, truth, centre, 80, out), 0.0) << tilt;
    }
}
