#pragma once
// Small geometry helpers used inside the core.
#include <cmath>
#include <cstdint>

#include "vxt/ImageView.h"

namespace vxt {

// Bilinear grey value at (x, y); the point must lie inside [0, w-1] x [0, h-1]
// (callers clamp).
inline float bilinear(const Plane& g, float x, float y) {
    int x0 = static_cast<int>(x), y0 = static_cast<int>(y);
    if (x0 >= g.width - 1) x0 = g.width - 2;
    if (y0 >= g.height - 1) y0 = g.height - 2;
    if (x0 < 0) x0 = 0;
    if (y0 < 0) y0 = 0;
    float fx = x - x0, fy = y - y0;
    const std::uint8_t* p = g.data + static_cast<std::size_t>(y0) * g.stride + x0;
    float top = p[0] + fx * (p[1] - p[0]);
    float bot = p[g.stride] + fx * (p[g.stride + 1] - p[g.stride]);
    return top + fy * (bot - top);
}

// Grey value at continuous image coordinates (pixel (i, j) covers
// [i, i+1) x [j, j+1), so its centre is (i + 0.5, j + 0.5)); clamped to the
// image.
inline float sampleGrey(const Plane& g, double x, double y) {
    float fx = static_cast<float>(x - 0.5), fy = static_cast<float>(y - 0.5);
    const float maxX = g.width - 1.001f, maxY = g.height - 1.001f;
    fx = fx < 0.0f ? 0.0f : fx > maxX ? maxX : fx;
    fy = fy < 0.0f ? 0.0f : fy > maxY ? maxY : fy;
    return bilinear(g, fx, fy);
}

// Projective map of the unit square onto a quadrilateral:
// (0,0)->q0, (1,0)->q1, (1,1)->q2, (0,1)->q3.
struct SquareToQuad {
    double a, b, c, d, e, f, g, h;

    bool set(const double q[4][2]) {
        double x0 = q[0][0], y0 = q[0][1], x1 = q[1][0], y1 = q[1][1];
        double x2 = q[2][0], y2 = q[2][1], x3 = q[3][0], y3 = q[3][1];
        double sx = x0 - x1 + x2 - x3, sy = y0 - y1 + y2 - y3;
        double dx1 = x1 - x2, dx2 = x3 - x2, dy1 = y1 - y2, dy2 = y3 - y2;
        double det = dx1 * dy2 - dx2 * dy1;
        if (std::fabs(det) < 1e-12) return false;
        g = (sx * dy2 - dx2 * sy) / det;
        h = (dx1 * sy - sx * dy1) / det;
        a = x1 - x0 + g * x1;
        b = x3 - x0 + h * x3;
        c = x0;
        d = y1 - y0 + g * y1;
        e = y3 - y0 + h * y3;
        f = y0;
        return true;
    }
    void map(double u, double v, double& x, double& y) const {
        double w = g * u + h * v + 1.0;
        x = (a * u + b * v + c) / w;
        y = (d * u + e * v + f) / w;
    }
};

// Intersection of two lines a*x + b*y + c = 0; false when parallel.
inline bool intersectLines(const double l1[3], const double l2[3], double& x, double& y) {
    double det = l1[0] * l2[1] - l1[1] * l2[0];
    if (std::fabs(det) < 1e-12) return false;
    x = (l1[1] * l2[2] - l2[1] * l1[2]) / det;
    y = (l2[0] * l1[2] - l1[0] * l2[2]) / det;
    return true;
}

// Signed area of a polygon (positive when clockwise on screen, y down).
inline double quadArea(const double q[4][2]) {
    double s = 0.0;
    for (int i = 0; i < 4; ++i) {
        int j = (i + 1) & 3;
        s += q[i][0] * q[j][1] - q[j][0] * q[i][1];
    }
    return 0.5 * s;
}

// True when (x, y) lies inside the convex quad (clockwise on screen).
inline bool insideQuad(const double q[4][2], double x, double y) {
    for (int i = 0; i < 4; ++i) {
        int j = (i + 1) & 3;
        double cross = (q[j][0] - q[i][0]) * (y - q[i][1]) - (q[j][1] - q[i][1]) * (x - q[i][0]);
        if (cross < 0) return false;
    }
    return true;
}

}  // namespace vxt
