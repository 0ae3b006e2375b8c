// The renderer puts marker edges where the camera model says, to a few thousandths of
// a pixel: coverage of edge pixels, area and centroid of an all-black marker against
// the analytic projection (pixel (i, j) covers [i, i+1) x [j, j+1)), also tilted and
// through lens distortion.

#include <gtest/gtest.h>

#include <cmath>

#include "CameraModel.h"
#include "CardTexture.h"
#include "FrameRenderer.h"
#include "Pose.h"

using namespace vxsynth;

namespace {

constexpr double kPi = 3.14159265358979323846;
const double kPaper = 255.0 * CardTexture::kPaper, kInk = 255.0 * CardTexture::kInk;

struct Moments {
    double area = 0, cx = 0, cy = 0;
};

class RendererGeometry : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(texture.build(vxtools::Image(64, 64, 0), {}, "full", 80.0, 1.5, error)) << error;
    }

    // Renders one all-black 80 mm marker at `pose`; returns the frame.
    FloatFrame render(const CameraModel& cam, const Pose& pose) {
        FrameRenderer r(cam, 640, 480);
        FrameRenderer::Card card;
        card.texture = &texture;
        card.poses = {pose};
        FloatFrame paper(640, 480), out;  // background the colour of the card: only the ink shows
        for (float& v : paper.data()) v = float(kPaper);
        r.render(paper, {card}, {}, out);
        return out;
    }

    // Darkness (1 = ink, 0 = paper) summed with pixel centres (i + 0.5, j + 0.5).
    static Moments darkness(const FloatFrame& f, int x0, int y0, int x1, int y1) {
        Moments m;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const double d = (kPaper - f.pixel(x, y)[0]) / (kPaper - kInk);
                m.area += d;
                m.cx += d * (x + 0.5);
                m.cy += d * (y + 0.5);
            }
        m.cx /= m.area;
        m.cy /= m.area;
        return m;
    }

    // Area and centroid of a closed polygon (shoelace).
    static Moments polygon(const std::vector<std::array<double, 2>>& p) {
        Moments m;
        for (size_t i = 0; i < p.size(); ++i) {
            const auto& a = p[i];
            const auto& b = p[(i + 1) % p.size()];
            const double cr = a[0] * b[1] - b[0] * a[1];
            m.area += cr / 2;
            m.cx += (a[0] + b[0]) * cr;
            m.cy += (a[1] + b[1]) * cr;
        }
        m.cx /= 6 * m.area;
        m.cy /= 6 * m.area;
        m.area = std::fabs(m.area);
        return m;
    }

    // The marker outline projected through `cam`, `perEdge` points per edge.
    static std::vector<std::array<double, 2>> outline(const CameraModel& cam, const Pose& pose, int perEdge) {
        std::vector<std::array<double, 2>> pts;
        const double corners[5][2] = {{-40, 40}, {40, 40}, {40, -40}, {-40, -40}, {-40, 40}};
        for (int e = 0; e < 4; ++e)
            for (int s = 0; s < perEdge; ++s) {
                const double f = double(s) / perEdge;
                const double m[3] = {corners[e][0] + f * (corners[e + 1][0] - corners[e][0]),
                                     corners[e][1] + f * (corners[e + 1][1] - corners[e][1]), 0};
                double c[3], u, v;
                pose.apply(m, c);
                cam.project(c, u, v);
                pts.push_back({u, v});
            }
        return pts;
    }

    CardTexture texture;
};

TEST_F(RendererGeometry, FrontalSquareEdgesFallOnTheAnalyticPositions) {
    CameraModel cam;  // 700, 700, 320, 240: a point on the optical axis lands on (320, 240)
    const double t[3] = {0.3, 0.7, 700.0};  // centre at (320.3, 240.7), 80 px wide
    const FloatFrame f = render(cam, Pose::build(0, 0, 0, t));
    auto dark = [&](int x, int y) { return (kPaper - f.pixel(x, y)[0]) / (kPaper - kInk); };
    EXPECT_NEAR(dark(280, 240), 0.7, 0.003);  // left edge at x = 280.3
    EXPECT_NEAR(dark(360, 240), 0.3, 0.003);  // right edge at x = 360.3
    EXPECT_NEAR(dark(320, 200), 0.3, 0.003);  // top edge at y = 200.7
    EXPECT_NEAR(dark(320, 280), 0.7, 0.003);  // bottom edge at y = 280.7
    EXPECT_NEAR(dark(281, 241), 1.0, 1e-6);
    EXPECT_NEAR(dark(279, 240), 0.0, 1e-6);
    EXPECT_NEAR(dark(280, 200), 0.21, 0.003);  // corner pixel: 0.7 x 0.3
    const Moments m = darkness(f, 260, 180, 380, 300);
    EXPECT_NEAR(m.area, 6400.0, 0.5);
    EXPECT_NEAR(m.cx, 320.3, 0.002);
    EXPECT_NEAR(m.cy, 240.7, 0.002);
}

TEST_F(RendererGeometry, EdgesHuggingPixelBoundariesAreNotLost) {
    CameraModel cam;
    const double t[3] = {0.015, -0.012, 700.0};  // left edge at x = 280.015, top edge at y = 199.988
    const FloatFrame f = render(cam, Pose::build(0, 0, 0, t));
    auto dark = [&](int x, int y) { return (kPaper - f.pixel(x, y)[0]) / (kPaper - kInk); };
    EXPECT_NEAR(dark(280, 240), 0.985, 0.003);
    EXPECT_NEAR(dark(360, 240), 0.015, 0.003);
    EXPECT_NEAR(dark(320, 199), 0.012, 0.003);
    EXPECT_NEAR(dark(320, 279), 0.988, 0.003);
}

TEST_F(RendererGeometry, TiltedAndTurnedSquareMatchesItsProjection) {
    CameraModel cam;
    const double t[3] = {-31.7, 22.1, 520.0};
    const Pose pose = Pose::build(55 * kPi / 180, 0.7, 0.4, t);
    const FloatFrame f = render(cam, pose);
    const Moments m = darkness(f, 0, 0, 640, 480);
    const Moments ref = polygon(outline(cam, pose, 1));
    EXPECT_NEAR(m.area / ref.area, 1.0, 5e-4);
    EXPECT_NEAR(m.cx, ref.cx, 0.01);
    EXPECT_NEAR(m.cy, ref.cy, 0.01);
}

TEST_F(RendererGeometry, DistortedSquareMatchesItsCurvedProjection) {
    CameraModel cam;
    cam.k1 = -0.25;
    cam.k2 = 0.08;
    cam.p1 = 0.001;
    cam.p2 = -0.0015;
    const double t[3] = {150.0, -90.0, 600.0};  // off centre, where distortion bends the edges
    const Pose pose = Pose::build(30 * kPi / 180, 2.0, 1.1, t);
    const FloatFrame f = render(cam, pose);
    const Moments m = darkness(f, 0, 0, 640, 480);
    const Moments ref = polygon(outline(cam, pose, 400));
    EXPECT_NEAR(m.area / ref.area, 1.0, 5e-4);
    EXPECT_NEAR(m.cx, ref.cx, 0.01);
    EXPECT_NEAR(m.cy, ref.cy, 0.01);
}

TEST(CameraModel, UndistortInvertsDistort) {
    CameraModel cam;
    cam.k1 = -0.3;
    cam.k2 = 0.1;
    cam.p1 = 0.002;
    cam.p2 = -0.001;
    cam.k3 = 0.01;
    for (double u : {0.0, 100.5, 320.0, 639.0})
        for (double v : {0.0, 240.0, 479.0}) {
            double iu, iv, du, dv;
            cam.undistortPixel(u, v, iu, iv);
            cam.distortPixel(iu, iv, du, dv);
            EXPECT_NEAR(du, u, 1e-7);
            EXPECT_NEAR(dv, v, 1e-7);
        }
}

}  // namespace
