#include "FrameRenderer.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <thread>

namespace vxsynth {
namespace {

// Rank-1 lattice of n points in the unit square with generator g (Fibonacci pairs
// spread points evenly in every direction; every column and row holds one point).
std::vector<double> lattice(int n, int g) {
    std::vector<double> p(2 * n);
    for (int i = 0; i < n; ++i) {
        p[2 * i] = (i + 0.5) / n;
        p[2 * i + 1] = ((i * g) % n + 0.5) / n;
    }
    return p;
}

// Homography from ideal pixel coordinates to the card's texel coordinates.
vxtools::Homography texelMap(const CameraModel& cam, const CardTexture& tex, const Pose& p) {
    const double* R = p.R;
    // Card (a, b, 1) in mm -> ideal pixels: K * [r1 r2 t].
    const vxtools::Homography cardToPixel({cam.fx * R[0] + cam.cx * R[6], cam.fx * R[1] + cam.cx * R[7],
                                           cam.fx * p.t[0] + cam.cx * p.t[2], cam.fy * R[3] + cam.cy * R[6],
                                           cam.fy * R[4] + cam.cy * R[7], cam.fy * p.t[1] + cam.cy * p.t[2], R[6],
                                           R[7], p.t[2]});
    const double k = tex.scale();
    const vxtools::Homography mmToTexel({k, 0, tex.offsetX(), 0, -k, tex.offsetY(), 0, 0, 1});
    return mmToTexel * cardToPixel.inverse();
}

}  // namespace

FrameRenderer::FrameRenderer(const CameraModel& camera, int width, int height)
    : camera_(camera), width_(width), height_(height), baseLattice_(lattice(13, 8)), midLattice_(lattice(55, 34)),
      fineLattice_(lattice(233, 144)) {
    assert(width > 0 && height > 0 && "FrameRenderer: size must be positive");
    if (!camera_.hasDistortion()) return;
    idealTable_.resize(size_t(width + 1) * (height + 1) * 2);
    for (int y = 0; y <= height; ++y)
        for (int x = 0; x <= width; ++x) {
            double* q = &idealTable_[(size_t(y) * (width + 1) + x) * 2];
            camera_.undistortPixel(x, y, q[0], q[1]);
        }
}

void FrameRenderer::ideal(double u, double v, double& iu, double& iv) const {
    if (idealTable_.empty()) {
        iu = u;
        iv = v;
        return;
    }
    if (u < 0 || v < 0 || u > width_ || v > height_) {  // off the table: solve directly
        camera_.undistortPixel(u, v, iu, iv);
        return;
    }
    const int x = std::min(int(u), width_ - 1), y = std::min(int(v), height_ - 1);
    const double fu = u - x, fv = v - y;
    const double* a = &idealTable_[(size_t(y) * (width_ + 1) + x) * 2];
    const double* c = a + size_t(width_ + 1) * 2;
    iu = (a[0] * (1 - fu) + a[2] * fu) * (1 - fv) + (c[0] * (1 - fu) + c[2] * fu) * fv;
    iv = (a[1] * (1 - fu) + a[3] * fu) * (1 - fv) + (c[1] * (1 - fu) + c[3] * fu) * fv;
}

bool FrameRenderer::onCard(const Card& card, size_t k, double u, double v) const {
    double iu, iv, s, t;
    ideal(u, v, iu, iv);
    return texelMap(camera_, *card.texture, card.poses.at(k)).apply(iu, iv, s, t) && card.texture->onCard(s, t);
}

void FrameRenderer::layerBounds(const Card& card, Layer& layer) const {
    double x0 = 1e30, y0 = 1e30, x1 = -1e30, y1 = -1e30;
    const double h = card.texture->cardHalfMm();
    for (const Pose& p : card.poses)
        for (int e = 0; e < 4; ++e)
            for (int s = 0; s <= 16; ++s) {  // 17 points along each card edge (edges bend under distortion)
                const double f = -h + 2 * h * s / 16.0;
                const double m[3] = {e == 0 ? f : e == 1 ? h : e == 2 ? -f : -h,
                                     e == 0 ? h : e == 1 ? f : e == 2 ? -h : -f, 0};
                double c[3], u, v;
                p.apply(m, c);
                if (!camera_.project(c, u, v)) continue;
                x0 = std::min(x0, u);
                y0 = std::min(y0, v);
                x1 = std::max(x1, u);
                y1 = std::max(y1, v);
            }
    layer.x0 = std::max(0, int(std::floor(x0)) - 2);
    layer.y0 = std::max(0, int(std::floor(y0)) - 2);
    layer.x1 = std::min(width_, int(std::ceil(x1)) + 2);
    layer.y1 = std::min(height_, int(std::ceil(y1)) + 2);
}

void FrameRenderer::prepareLayers(const std::vector<Card>& cards) {
    layers_.resize(cards.size());
    for (size_t i = 0; i < cards.size(); ++i) {
        const Card& c = cards[i];
        assert(!c.poses.empty() && c.poses.size() <= size_t(kMaxInstants) && "FrameRenderer::render: 1..8 poses");
        Layer& L = layers_[i];
        L.texture = c.texture;
        L.instants = int(c.poses.size());
        for (int k = 0; k < L.instants; ++k) L.toTexel[k] = texelMap(camera_, *c.texture, c.poses[k]);
        layerBounds(c, L);
    }
}

FrameRenderer::Hit FrameRenderer::hit(double u, double v, int instant, const float* bg,
                                      const std::vector<MotionPlanner::Capsule>& occ) const {
    for (size_t j = 0; j < occ.size(); ++j)
        if (occ[j].contains(u, v)) return {int(layers_.size() + j), occ[j].colour, false};
    double iu = u, iv = v;
    if (!idealTable_.empty()) ideal(u, v, iu, iv);
    for (size_t i = 0; i < layers_.size(); ++i) {
        const Layer& L = layers_[i];
        if (u < L.x0 || v < L.y0 || u >= L.x1 || v >= L.y1) continue;
        double s, t;
        if (L.toTexel[instant % L.instants].apply(iu, iv, s, t) && L.texture->onCard(s, t))
            return {int(i), L.texture->sample(s, t), L.instants == 1 && L.texture->inInner(s, t)};
    }
    return {-1, bg, false};
}

void FrameRenderer::shadePixel(int x, int y, const float* bg, const std::vector<MotionPlanner::Capsule>& occ,
                               float* out) const {
    auto same = [](const Hit& a, const Hit& b) {
        return a.surface == b.surface && a.colour[0] == b.colour[0] && a.colour[1] == b.colour[1] &&
               a.colour[2] == b.colour[2];
    };
    const int n0 = int(baseLattice_.size() / 2);
    const Hit first = hit(x + baseLattice_[0], y + baseLattice_[1], 0, bg, occ);
    float sum[3] = {first.colour[0], first.colour[1], first.colour[2]};
    bool uniform = true, inner = first.inner;
    for (int k = 1; k < n0; ++k) {
        const Hit h = hit(x + baseLattice_[2 * k], y + baseLattice_[2 * k + 1], k, bg, occ);
        uniform = uniform && same(h, first);
        inner = inner && h.inner && h.surface == first.surface;
        for (int c = 0; c < 3; ++c) sum[c] += h.colour[c];
    }
    // Any straight edge crossing the pixel separates two of its corners, even one that
    // slips between the lattice points near the pixel's border: probe the corners too
    // (they only decide how to integrate; they are not averaged). Corners all inside
    // the inner picture put the whole pixel there, clear of the square's edges.
    for (int k = 0; k < 4; ++k) {
        const Hit h = hit(x + (k & 1), y + (k >> 1), k, bg, occ);
        uniform = uniform && same(h, first);
        inner = inner && h.inner && h.surface == first.surface;
    }
    if (uniform) {
        for (int c = 0; c < 3; ++c) out[c] = sum[c] / n0;
        return;
    }
    const std::vector<double>& lat = inner ? midLattice_ : fineLattice_;
    const int n = int(lat.size() / 2);
    sum[0] = sum[1] = sum[2] = 0;
    for (int k = 0; k < n; ++k) {
        const Hit h = hit(x + lat[2 * k], y + lat[2 * k + 1], k, bg, occ);
        for (int c = 0; c < 3; ++c) sum[c] += h.colour[c];
    }
    for (int c = 0; c < 3; ++c) out[c] = sum[c] / n;
}

void FrameRenderer::renderRows(int first, int step, const FloatFrame& background,
                               const std::vector<MotionPlanner::Capsule>& occluders, const std::vector<int>& occBounds,
                               FloatFrame& out) const {
    for (int y = first; y < height_; y += step)
        for (int x = 0; x < width_; ++x) {
            bool busy = false;
            for (const Layer& L : layers_) busy = busy || (x >= L.x0 && x < L.x1 && y >= L.y0 && y < L.y1);
            for (size_t j = 0; j < occluders.size() && !busy; ++j) {
                const int* b = &occBounds[4 * j];
                busy = x >= b[0] && x < b[2] && y >= b[1] && y < b[3];
            }
            const float* bg = background.pixel(x, y);
            float* o = out.pixel(x, y);
            if (busy) {
                shadePixel(x, y, bg, occluders, o);
            } else {
                o[0] = bg[0];
                o[1] = bg[1];
                o[2] = bg[2];
            }
        }
}

void FrameRenderer::render(const FloatFrame& background, const std::vector<Card>& cards,
                           const std::vector<MotionPlanner::Capsule>& occluders, FloatFrame& out) {
    assert(background.width() == width_ && background.height() == height_ && "FrameRenderer::render: size mismatch");
    if (out.width() != width_ || out.height() != height_) out = FloatFrame(width_, height_);
    prepareLayers(cards);
    std::vector<int> occBounds;  // x0 y0 x1 y1 per occluder, pixels
    for (const auto& c : occluders) {
        occBounds.push_back(int(std::floor(std::min(c.x0, c.x1) - c.radius)) - 1);
        occBounds.push_back(int(std::floor(std::min(c.y0, c.y1) - c.radius)) - 1);
        occBounds.push_back(int(std::ceil(std::max(c.x0, c.x1) + c.radius)) + 1);
        occBounds.push_back(int(std::ceil(std::max(c.y0, c.y1) + c.radius)) + 1);
    }
    // Rows are shared out round-robin; every pixel depends only on its own samples,
    // so the result is the same for any number of threads.
    std::vector<std::thread> workers;
    for (int t = 1; t < threads_; ++t)
        workers.emplace_back([&, t] { renderRows(t, threads_, background, occluders, occBounds, out); });
    renderRows(0, threads_, background, occluders, occBounds, out);
    for (auto& w : workers) w.join();
}

}  // namespace vxsynth
