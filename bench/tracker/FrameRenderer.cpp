#include "FrameRenderer.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace vxtbench {

namespace {

// 3x3 homography from the unit square to a quad (row-major, h[8] = 1).
void squareToQuad(const double q[4][2], double h[9]) {
    double x0 = q[0][0], y0 = q[0][1], x1 = q[1][0], y1 = q[1][1];
    double x2 = q[2][0], y2 = q[2][1], x3 = q[3][0], y3 = q[3][1];
    double sx = x0 - x1 + x2 - x3, sy = y0 - y1 + y2 - y3;
    double dx1 = x1 - x2, dx2 = x3 - x2, dy1 = y1 - y2, dy2 = y3 - y2;
    double det = dx1 * dy2 - dx2 * dy1;
    double g = (sx * dy2 - dx2 * sy) / det, hh = (dx1 * sy - sx * dy1) / det;
    h[0] = x1 - x0 + g * x1;
    h[1] = x3 - x0 + hh * x3;
    h[2] = x0;
    h[3] = y1 - y0 + g * y1;
    h[4] = y3 - y0 + hh * y3;
    h[5] = y0;
    h[6] = g;
    h[7] = hh;
    h[8] = 1.0;
}

void invert3(const double m[9], double r[9]) {
    double det = m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) +
                 m[2] * (m[3] * m[7] - m[4] * m[6]);
    r[0] = (m[4] * m[8] - m[5] * m[7]) / det;
    r[1] = (m[2] * m[7] - m[1] * m[8]) / det;
    r[2] = (m[1] * m[5] - m[2] * m[4]) / det;
    r[3] = (m[5] * m[6] - m[3] * m[8]) / det;
    r[4] = (m[0] * m[8] - m[2] * m[6]) / det;
    r[5] = (m[2] * m[3] - m[0] * m[5]) / det;
    r[6] = (m[3] * m[7] - m[4] * m[6]) / det;
    r[7] = (m[1] * m[6] - m[0] * m[7]) / det;
    r[8] = (m[0] * m[4] - m[1] * m[3]) / det;
}

void mapPoint(const double h[9], double u, double v, double& x, double& y) {
    double w = h[6] * u + h[7] * v + h[8];
    x = (h[0] * u + h[1] * v + h[2]) / w;
    y = (h[3] * u + h[4] * v + h[5]) / w;
}

// Colour of the card at unit-square coordinates (s, t) of the black square.
void cardColour(const vxt::PatternImage& pat, const MarkerStyle& st, double s, double t, float rgb[3]) {
    const float dark = st.inverted ? st.paper : st.ink, light = st.inverted ? st.ink : st.paper;
    if (s < 0 || t < 0 || s >= 1 || t >= 1) {
        rgb[0] = rgb[1] = rgb[2] = light;
        return;
    }
    if (s < 0.25 || t < 0.25 || s >= 0.75 || t >= 0.75) {
        rgb[0] = rgb[1] = rgb[2] = dark;
        return;
    }
    int c = std::min(15, static_cast<int>((s - 0.25) * 32.0));
    int r = std::min(15, static_cast<int>((t - 0.25) * 32.0));
    for (int k = 0; k < 3; ++k) rgb[k] = st.ink + (st.paper - st.ink) * pat.at(r, c, k) / 255.0f;
}

}  // namespace

FrameRenderer::FrameRenderer(int width, int height)
    : width_(width), height_(height), rgb_(static_cast<std::size_t>(width) * height * 3, 128.0f) {}

void FrameRenderer::fill(float grey) { std::fill(rgb_.begin(), rgb_.end(), grey); }

void FrameRenderer::texture(unsigned seed, float lo, float hi) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    // A sum of a few low-frequency waves.
    double fx[6], fy[6], ph[6];
    for (int k = 0; k < 6; ++k) {
        fx[k] = (u(rng) - 0.5) * 0.08;
        fy[k] = (u(rng) - 0.5) * 0.08;
        ph[k] = u(rng) * 6.2832;
    }
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            double v = 0;
            for (int k = 0; k < 6; ++k) v += std::sin(fx[k] * x + fy[k] * y + ph[k]);
            float g = lo + (hi - lo) * static_cast<float>(0.5 + v / 12.0);
            float* p = &rgb_[(static_cast<std::size_t>(y) * width_ + x) * 3];
            p[0] = g;
            p[1] = g * 0.97f;
            p[2] = g * 1.02f;
        }
}

void FrameRenderer::drawMarker(const vxt::PatternImage& pat, const double corners[4][2], const MarkerStyle& st) {
    double h[9], inv[9];
    squareToQuad(corners, h);
    invert3(h, inv);
    // Bounding box of the card.
    double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
    const double m = st.margin;
    const double cs[4][2] = {{-m, -m}, {1 + m, -m}, {1 + m, 1 + m}, {-m, 1 + m}};
    for (auto& c : cs) {
        double x, y;
        mapPoint(h, c[0], c[1], x, y);
        x0 = std::min(x0, x);
        y0 = std::min(y0, y);
        x1 = std::max(x1, x);
        y1 = std::max(y1, y);
    }
    int ix0 = std::max(0, static_cast<int>(std::floor(x0))), iy0 = std::max(0, static_cast<int>(std::floor(y0)));
    int ix1 = std::min(width_ - 1, static_cast<int>(std::ceil(x1))), iy1 = std::min(height_ - 1, static_cast<int>(std::ceil(y1)));
    const int n = st.supersample;
    for (int y = iy0; y <= iy1; ++y) {
        for (int x = ix0; x <= ix1; ++x) {
            float acc[3] = {0, 0, 0};
            int onCard = 0;
            for (int a = 0; a < n; ++a) {
                for (int b = 0; b < n; ++b) {
                    // n-rooks pattern: n*n distinct offsets per axis, so an
                    // axis-aligned edge is placed to 1/(n*n) of a pixel.
                    double px = x + (b + (a + 0.5) / n) / n, py = y + (a + (b + 0.5) / n) / n, s, t;
                    mapPoint(inv, px, py, s, t);
                    if (s < -m || t < -m || s >= 1 + m || t >= 1 + m) continue;
                    float c[3];
                    cardColour(pat, st, s, t, c);
                    acc[0] += c[0];
                    acc[1] += c[1];
                    acc[2] += c[2];
                    ++onCard;
                }
            }
            if (!onCard) continue;
            float* p = &rgb_[(static_cast<std::size_t>(y) * width_ + x) * 3];
            float w = static_cast<float>(onCard) / (n * n);
            for (int k = 0; k < 3; ++k) p[k] = p[k] * (1 - w) + acc[k] / (n * n);
        }
    }
}

bool FrameRenderer::drawMarkerAt(const vxt::PatternImage& pat, const vxt::CameraParams& cam, const vxt::Pose34& pose,
                                 double width, const MarkerStyle& st, double corners[4][2]) {
    const double hw = width * 0.5;
    const double obj[4][3] = {{-hw, hw, 0}, {hw, hw, 0}, {hw, -hw, 0}, {-hw, -hw, 0}};
    for (int k = 0; k < 4; ++k) {
        double p[3];
        vxt::poseApply(pose, obj[k], p);
        if (p[2] <= 1.0) return false;
        corners[k][0] = cam.fx() * p[0] / p[2] + cam.cx();
        corners[k][1] = cam.fy() * p[1] / p[2] + cam.cy();
    }
    drawMarker(pat, corners, st);
    return true;
}

void FrameRenderer::lightingGradient(float left, float right) {
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            float f = left + (right - left) * (x + 0.5f) / width_;
            float* p = &rgb_[(static_cast<std::size_t>(y) * width_ + x) * 3];
            p[0] *= f;
            p[1] *= f;
            p[2] *= f;
        }
}

void FrameRenderer::blur(double sigma) {
    int r = static_cast<int>(std::ceil(3 * sigma));
    std::vector<float> k(2 * r + 1);
    float sum = 0;
    for (int i = -r; i <= r; ++i) sum += k[i + r] = static_cast<float>(std::exp(-0.5 * i * i / (sigma * sigma)));
    for (float& v : k) v /= sum;
    std::vector<float> tmp(rgb_.size());
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            for (int c = 0; c < 3; ++c) {
                float a = 0;
                for (int i = -r; i <= r; ++i) {
                    int xx = std::min(width_ - 1, std::max(0, x + i));
                    a += k[i + r] * rgb_[(static_cast<std::size_t>(y) * width_ + xx) * 3 + c];
                }
                tmp[(static_cast<std::size_t>(y) * width_ + x) * 3 + c] = a;
            }
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            for (int c = 0; c < 3; ++c) {
                float a = 0;
                for (int i = -r; i <= r; ++i) {
                    int yy = std::min(height_ - 1, std::max(0, y + i));
                    a += k[i + r] * tmp[(static_cast<std::size_t>(yy) * width_ + x) * 3 + c];
                }
                rgb_[(static_cast<std::size_t>(y) * width_ + x) * 3 + c] = a;
            }
}

void FrameRenderer::noise(double sigma, unsigned seed) {
    std::mt19937 rng(seed);
    std::normal_distribution<float> nd(0.0f, static_cast<float>(sigma));
    for (float& v : rgb_) v += nd(rng);
}

void FrameRenderer::toFormat(vxt::PixelFormat f, std::vector<std::uint8_t>& out) const {
    using vxt::PixelFormat;
    const int bpp = vxt::bytesPerPixel(f);
    out.assign(static_cast<std::size_t>(width_) * height_ * bpp, 0);
    auto q = [](float v) { return static_cast<std::uint8_t>(std::lround(std::min(255.0f, std::max(0.0f, v)))); };
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const float* p = &rgb_[(static_cast<std::size_t>(y) * width_ + x) * 3];
            std::uint8_t r = q(p[0]), g = q(p[1]), b = q(p[2]);
            std::uint8_t* d = &out[(static_cast<std::size_t>(y) * width_ + x) * bpp];
            float yy = 0.299f * p[0] + 0.587f * p[1] + 0.114f * p[2];
            switch (f) {
                case PixelFormat::RGB: d[0] = r; d[1] = g; d[2] = b; break;
                case PixelFormat::BGR: d[0] = b; d[1] = g; d[2] = r; break;
                case PixelFormat::RGBA: d[0] = r; d[1] = g; d[2] = b; d[3] = 255; break;
                case PixelFormat::BGRA: d[0] = b; d[1] = g; d[2] = r; d[3] = 255; break;
                case PixelFormat::ABGR: d[0] = 255; d[1] = b; d[2] = g; d[3] = r; break;
                case PixelFormat::ARGB: d[0] = 255; d[1] = r; d[2] = g; d[3] = b; break;
                case PixelFormat::Mono: d[0] = q(yy); break;
                case PixelFormat::UYVY:
                case PixelFormat::YUYV: {
                    // Chroma from the even pixel of each pair.
                    const float* e = &rgb_[(static_cast<std::size_t>(y) * width_ + (x & ~1)) * 3];
                    float ey = 0.299f * e[0] + 0.587f * e[1] + 0.114f * e[2];
                    std::uint8_t cb = q(128 + 0.564f * (e[2] - ey)), cr = q(128 + 0.713f * (e[0] - ey));
                    bool uyvy = f == PixelFormat::UYVY;
                    d[uyvy ? 1 : 0] = q(yy);
                    d[uyvy ? 0 : 1] = (x & 1) ? cr : cb;
                    break;
                }
                default: break;
            }
        }
    }
}

vxt::PatternImage makeTestPattern(unsigned seed, bool colour) {
    std::mt19937 rng(seed * 7919u + 17u);
    vxt::PatternImage img;
    // 4x4 blocks of 4x4 cells; the top-left block is always dark and the
    // bottom-right light so no rotation looks alike.
    for (int br = 0; br < 4; ++br) {
        for (int bc = 0; bc < 4; ++bc) {
            std::uint8_t c[3];
            bool dark = (rng() & 1) != 0;
            if (br == 0 && bc == 0) dark = true;
            if (br == 3 && bc == 3) dark = false;
            if ((br == 0 && bc == 3) || (br == 3 && bc == 0)) dark = (br == 0);
            for (int k = 0; k < 3; ++k) {
                int base = dark ? 20 : 235;
                c[k] = static_cast<std::uint8_t>(colour ? std::min(255, std::max(0, base + static_cast<int>(rng() % 61) - 30)) : base);
            }
            for (int r = 0; r < 4; ++r)
                for (int cc = 0; cc < 4; ++cc)
                    for (int k = 0; k < 3; ++k) img.at(br * 4 + r, bc * 4 + cc, k) = c[k];
        }
    }
    return img;
}

void squareCorners(double cx, double cy, double side, double angleDeg, double corners[4][2]) {
    const double a = angleDeg * M_PI / 180.0, c = std::cos(a), s = std::sin(a), h = side * 0.5;
    const double base[4][2] = {{-h, -h}, {h, -h}, {h, h}, {-h, h}};
    for (int k = 0; k < 4; ++k) {
        corners[k][0] = cx + c * base[k][0] - s * base[k][1];
        corners[k][1] = cy + s * base[k][0] + c * base[k][1];
    }
}

vxt::Pose34 makePose(double distance, double tiltXDeg, double tiltYDeg, double rollDeg, double dx, double dy) {
    // Facing the camera: marker x -> camera x, marker y -> camera -y, z -> -z.
    auto rot = [](int axis, double deg, double r[3][3]) {
        double a = deg * M_PI / 180.0, c = std::cos(a), s = std::sin(a);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) r[i][j] = i == j ? 1.0 : 0.0;
        int i = (axis + 1) % 3, j = (axis + 2) % 3;
        r[i][i] = c;
        r[i][j] = -s;
        r[j][i] = s;
        r[j][j] = c;
    };
    double face[3][3] = {{1, 0, 0}, {0, -1, 0}, {0, 0, -1}};
    double rx[3][3], ry[3][3], rz[3][3];
    rot(0, tiltXDeg, rx);
    rot(1, tiltYDeg, ry);
    rot(2, rollDeg, rz);
    auto mul = [](const double a[3][3], const double b[3][3], double out[3][3]) {
        double t[3][3];
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) t[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) out[i][j] = t[i][j];
    };
    double r[3][3];
    mul(rz, face, r);
    mul(r, rx, r);
    mul(r, ry, r);
    vxt::Pose34 p;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) p.m[i][j] = r[i][j];
    p.m[0][3] = dx;
    p.m[1][3] = dy;
    p.m[2][3] = distance;
    return p;
}

}  // namespace vxtbench
