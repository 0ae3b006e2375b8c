#include "vxt/stages/QuadStage.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "src/Geometry.h"

namespace vxt {

namespace {

const int kDX[8] = {1, 1, 0, -1, -1, -1, 0, 1};
const int kDY[8] = {0, 1, 1, 1, 0, -1, -1, -1};
// Direction, seen from the new pixel, of the last background pixel examined.
const int kBack[8] = {6, 6, 0, 0, 2, 2, 4, 4};

inline std::int32_t pack(int x, int y) { return x | (y << 16); }
inline int unpackX(std::int32_t p) { return p & 0xFFFF; }
inline int unpackY(std::int32_t p) { return p >> 16; }

// Moore-neighbour trace of the outer boundary, clockwise on screen, starting
// at the component's top-left pixel. False when the trace is too long.
bool traceContour(const Plane& m, int sx, int sy, std::size_t maxLen, std::vector<std::int32_t>& out) {
    out.clear();
    out.push_back(pack(sx, sy));
    int x = sx, y = sy, back = 4, firstDir = -1;
    while (out.size() <= maxLen) {
        int found = -1;
        for (int k = 1; k <= 8; ++k) {
            int d = (back + k) & 7;
            if (m.data[(y + kDY[d]) * m.stride + x + kDX[d]]) {
                found = d;
                break;
            }
        }
        if (found < 0) return true;  // a single pixel
        if (x == sx && y == sy && found == firstDir) {
            out.pop_back();  // the start pixel, reached again
            return true;
        }
        if (firstDir < 0) firstDir = found;
        x += kDX[found];
        y += kDY[found];
        back = kBack[found];
        out.push_back(pack(x, y));
    }
    return false;
}

const int kMaxPolygon = 16;  // vertices collected before reducing to four

struct VertexSearch {
    const std::vector<std::int32_t>* contour;
    int n;
    double thr2;
    int found[kMaxPolygon];
    int count;

    void point(int i, double& x, double& y) const {
        std::int32_t p = (*contour)[i % n];
        x = unpackX(p);
        y = unpackY(p);
    }
    // Largest squared distance from chord s-e (unrolled indices), scaled by
    // the chord's squared length; its index in `at`.
    double farthest(int s, int e, int& at) const {
        double sx, sy, ex, ey;
        point(s, sx, sy);
        point(e, ex, ey);
        double dx = ex - sx, dy = ey - sy;
        double best = 0.0;
        at = -1;
        for (int i = s + 1; i < e; ++i) {
            double px, py;
            point(i, px, py);
            double cr = dx * (py - sy) - dy * (px - sx);
            cr *= cr;
            if (cr > best) {
                best = cr;
                at = i;
            }
        }
        double len2 = dx * dx + dy * dy;
        return len2 > 0 ? best / len2 : 0.0;
    }
    // Adds the vertices strictly between s and e in order (Douglas-Peucker).
    bool split(int s, int e) {
        int m;
        if (farthest(s, e, m) <= thr2 || m < 0) return true;
        if (!split(s, m)) return false;
        if (count >= kMaxPolygon) return false;
        found[count++] = m;
        return split(m, e);
    }
    // Removes the vertex lying closest to the line through its neighbours.
    void dropFlattest() {
        int worst = 0;
        double best = 1e300;
        for (int k = 0; k < count; ++k) {
            int a = found[(k + count - 1) % count], b = found[k], c = found[(k + 1) % count];
            double ax, ay, bx, by, cx, cy;
            point(a, ax, ay);
            point(b, bx, by);
            point(c, cx, cy);
            double dx = cx - ax, dy = cy - ay, len2 = dx * dx + dy * dy;
            double cr = dx * (by - ay) - dy * (bx - ax);
            double d2 = len2 > 0 ? cr * cr / len2 : 0.0;
            if (d2 < best) {
                best = d2;
                worst = k;
            }
        }
        for (int k = worst; k + 1 < count; ++k) found[k] = found[k + 1];
        --count;
    }
};

// Four corners of the contour: recursive splitting at the farthest point,
// then the flattest vertices dropped until four remain; false unless every
// edge then follows the contour within the tolerance.
bool findVertices(const std::vector<std::int32_t>& contour, double tolerance, double v[4][2]) {
    const int n = static_cast<int>(contour.size());
    if (n < 8) return false;
    auto dist2 = [&](int i, int j) {
        double dx = unpackX(contour[i]) - unpackX(contour[j]);
        double dy = unpackY(contour[i]) - unpackY(contour[j]);
        return dx * dx + dy * dy;
    };
    int a = 0, b = 0;
    double best = -1;
    for (int i = 0; i < n; ++i)
        if (dist2(i, 0) > best) { best = dist2(i, 0); a = i; }
    best = -1;
    for (int i = 0; i < n; ++i)
        if (dist2(i, a) > best) { best = dist2(i, a); b = i; }
    if (b < a) b += n;
    VertexSearch vs{&contour, n, 0.0, {}, 0};
    double thr = std::max(1.6, tolerance * n / 4.0);
    vs.thr2 = thr * thr;
    vs.found[vs.count++] = a;
    if (!vs.split(a, b) || vs.count >= kMaxPolygon) return false;
    vs.found[vs.count++] = b;
    if (!vs.split(b, a + n) || vs.count < 4) return false;
    while (vs.count > 4) vs.dropFlattest();
    // Every edge must still follow the contour (twice the splitting
    // tolerance: a corner rounded by blur leaves a blunt end on the chord).
    const double lim2 = 4.0 * vs.thr2;
    for (int k = 0; k < 4; ++k) {
        int s = vs.found[k], e = vs.found[(k + 1) & 3];
        if (e <= s) e += n;
        int m;
        if (vs.farthest(s, e, m) > lim2) return false;
    }
    for (int k = 0; k < 4; ++k) vs.point(vs.found[k], v[k][0], v[k][1]);
    return true;
}

// Weighted total-least-squares line through points; normal (a, b) unit.
bool fitLine(const float* xs, const float* ys, const float* ws, int n, double line[3]) {
    double sw = 0, mx = 0, my = 0;
    for (int i = 0; i < n; ++i) {
        sw += ws[i];
        mx += ws[i] * xs[i];
        my += ws[i] * ys[i];
    }
    if (n < 3 || sw <= 0) return false;
    mx /= sw;
    my /= sw;
    double cxx = 0, cxy = 0, cyy = 0;
    for (int i = 0; i < n; ++i) {
        double dx = xs[i] - mx, dy = ys[i] - my;
        cxx += ws[i] * dx * dx;
        cxy += ws[i] * dx * dy;
        cyy += ws[i] * dy * dy;
    }
    double theta = 0.5 * std::atan2(2.0 * cxy, cxx - cyy);
    line[0] = -std::sin(theta);
    line[1] = std::cos(theta);
    line[2] = -(line[0] * mx + line[1] * my);
    return true;
}

// Position along a profile (samples every `step` from `s0`) where it crosses
// `level`, the crossing closest to the middle; NaN when there is none.
double crossing(const float* prof, int k, double s0, double step, float level) {
    int bestJ = -1;
    const int mid = k / 2;
    for (int j = 0; j + 1 < k; ++j) {
        float f0 = prof[j] - level, f1 = prof[j + 1] - level;
        if ((f0 <= 0 && f1 > 0) || (f0 >= 0 && f1 < 0)) {
            if (bestJ < 0 || std::abs(j - mid) < std::abs(bestJ - mid)) bestJ = j;
        }
    }
    if (bestJ < 0) return std::nan("");
    float f0 = prof[bestJ], f1 = prof[bestJ + 1];
    return s0 + step * (bestJ + (level - f0) / (f1 - f0));
}

// `k` grey samples from (x, y) in steps of (dx, dy), continuous coordinates;
// without clamping when the whole run lies inside the image.
void profile(const Plane& g, double x, double y, double dx, double dy, int k, float* out) {
    double ex = x + dx * (k - 1), ey = y + dy * (k - 1);
    const double lo = 0.5, hiX = g.width - 1.5, hiY = g.height - 1.5;
    if (std::min(x, ex) < lo || std::max(x, ex) > hiX || std::min(y, ey) < lo || std::max(y, ey) > hiY) {
        for (int j = 0; j < k; ++j) out[j] = sampleGrey(g, x + dx * j, y + dy * j);
        return;
    }
    float fx = static_cast<float>(x - 0.5), fy = static_cast<float>(y - 0.5);
    const float sx = static_cast<float>(dx), sy = static_cast<float>(dy);
    for (int j = 0; j < k; ++j, fx += sx, fy += sy) {
        int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
        float ax = fx - x0, ay = fy - y0;
        const std::uint8_t* p = g.data + static_cast<std::size_t>(y0) * g.stride + x0;
        float top = p[0] + ax * (p[1] - p[0]);
        float bot = p[g.stride] + ax * (p[g.stride + 1] - p[g.stride]);
        out[j] = top + ay * (bot - top);
    }
}

// Edge position from the area under the normalised profile in a window
// around the crossing: for a step edge blurred by any symmetric kernel (the
// pixel area included) the area left of the edge equals the distance to it,
// which removes the bias of interpolating between pixel centres.
double integratedEdge(const Plane& g, double qx, double qy, double nx, double ny, double sc, float in,
                      float contrast) {
    const double w = 1.5, h = 0.5;
    const int n = static_cast<int>(2 * w / h);  // 6 intervals
    float vals[16];
    profile(g, qx + nx * (sc - w), qy + ny * (sc - w), nx * h, ny * h, n + 1, vals);
    double area = 0.0;
    for (int j = 0; j <= n; ++j) {
        double v = (vals[j] - in) / contrast;
        area += (j == 0 || j == n) ? 0.5 * v : v;
    }
    area *= h;
    double e = sc + w - area;
    // Keep the crossing when the window held something other than one edge.
    return std::fabs(e - sc) < 0.75 ? e : sc;
}

// Two-sample mean of the grey at offsets s and s + step along the normal.
float levelAt(const Plane& g, double qx, double qy, double nx, double ny, double s, double step) {
    return 0.5f * (sampleGrey(g, qx + nx * s, qy + ny * s) + sampleGrey(g, qx + nx * (s + step), qy + ny * (s + step)));
}

// The edge on the normal through (qx, qy): offset along the normal where the
// grey crosses midway between the inside and outside levels (and, when
// `exact`, the area-based position). False when there is no clear edge.
bool edgeOnNormal(const Plane& g, double qx, double qy, double nx, double ny, double radius, bool exact,
                  int minContrast, double& offset, float& weight) {
    const double step = 0.5;
    const int k = static_cast<int>(2.0 * radius / step) + 1;
    float prof[64];
    profile(g, qx - nx * radius, qy - ny * radius, nx * step, ny * step, k, prof);
    float in = 0.5f * (prof[0] + prof[1]), outL = 0.5f * (prof[k - 1] + prof[k - 2]);
    if (std::fabs(outL - in) < minContrast) return false;
    double s = crossing(prof, k, -radius, step, 0.5f * (in + outL));
    if (std::isnan(s)) return false;
    // Levels again, centred on the crossing, so an off-centre profile does
    // not bias the midpoint of a soft edge.
    in = levelAt(g, qx, qy, nx, ny, s - radius, step);
    outL = levelAt(g, qx, qy, nx, ny, s + radius - step, step);
    float contrast = outL - in;
    if (std::fabs(contrast) < minContrast) return false;
    s = crossing(prof, k, -radius, step, 0.5f * (in + outL));
    if (std::isnan(s)) return false;
    offset = exact ? integratedEdge(g, qx, qy, nx, ny, s, in, contrast) : s;
    weight = std::fabs(contrast);
    return true;
}

// Edge points of one edge (a to b, clockwise quad), evenly spread between
// margins that keep the profiles clear of the corners.
int edgePoints(const Plane& g, const double a[2], const double b[2], double radius, bool exact,
               const QuadParams& p, QuadOutput& out) {
    double dx = b[0] - a[0], dy = b[1] - a[1];
    double len = std::sqrt(dx * dx + dy * dy);
    double tx = dx / len, ty = dy / len;
    double nx = ty, ny = -tx;  // outward for a clockwise quad
    double margin = std::max(1.0 + 0.6 * radius, 0.06 * len);
    double span = len - 2.0 * margin;
    if (span < 2.0) return 0;
    // The first pass only centres the profiles: fewer points.
    int most = exact ? p.maxEdgeSamples : std::min(16, p.maxEdgeSamples);
    int count = std::min(most, std::max(4, static_cast<int>(span)));
    int got = 0;
    for (int i = 0; i < count; ++i) {
        double t = margin + span * i / (count - 1);
        double qx = a[0] + tx * t, qy = a[1] + ty * t, s;
        float w;
        if (!edgeOnNormal(g, qx, qy, nx, ny, radius, exact, p.minEdgeContrast, s, w)) continue;
        out.edgeX[got] = static_cast<float>(qx + nx * s);
        out.edgeY[got] = static_cast<float>(qy + ny * s);
        out.edgeW[got] = w;
        ++got;
    }
    return got;
}

// Fits one edge, dropping points far from a first fit. Normal made outward.
bool fitEdge(QuadOutput& out, int n, double nx, double ny, double line[3]) {
    if (!fitLine(out.edgeX.data(), out.edgeY.data(), out.edgeW.data(), n, line)) return false;
    double ss = 0;
    for (int i = 0; i < n; ++i) {
        double r = line[0] * out.edgeX[i] + line[1] * out.edgeY[i] + line[2];
        ss += r * r;
    }
    double lim = std::max(0.3, 2.5 * std::sqrt(ss / n));
    int m = 0;
    for (int i = 0; i < n; ++i) {
        double r = line[0] * out.edgeX[i] + line[1] * out.edgeY[i] + line[2];
        if (std::fabs(r) > lim) continue;
        out.edgeX[m] = out.edgeX[i];
        out.edgeY[m] = out.edgeY[i];
        out.edgeW[m] = out.edgeW[i];
        ++m;
    }
    if (m < n && !fitLine(out.edgeX.data(), out.edgeY.data(), out.edgeW.data(), m, line)) return false;
    if (line[0] * nx + line[1] * ny < 0) {
        line[0] = -line[0];
        line[1] = -line[1];
        line[2] = -line[2];
    }
    return true;
}

// Two passes of edge fitting; corners are the intersections of the lines.
bool refineCorners(const Plane& g, const QuadParams& p, int scale, MarkerInfo& q, QuadOutput& out) {
    double v[4][2];
    for (int k = 0; k < 4; ++k) { v[k][0] = q.vertex[k][0]; v[k][1] = q.vertex[k][1]; }
    for (int pass = 0; pass < 2; ++pass) {
        for (int e = 0; e < 4; ++e) {
            const double* a = v[e];
            const double* b = v[(e + 1) & 3];
            double len = std::hypot(b[0] - a[0], b[1] - a[1]);
            double radius = p.searchRadius * (pass == 0 && scale > 1 ? 1.5 : 1.0);
            radius = std::min(radius, std::max(1.0, 0.15 * len));
            int n = edgePoints(g, a, b, radius, pass == 1, p, out);
            double nx = (b[1] - a[1]) / len, ny = -(b[0] - a[0]) / len;
            if (!fitEdge(out, n, nx, ny, q.line[e])) return false;
        }
        for (int k = 0; k < 4; ++k)
            if (!intersectLines(q.line[(k + 3) & 3], q.line[k], v[k][0], v[k][1])) return false;
    }
    const double limit = std::max(p.maxCornerShift * scale, 0.15 * std::sqrt(std::fabs(quadArea(q.vertex))));
    for (int k = 0; k < 4; ++k) {
        double shift = std::hypot(v[k][0] - q.vertex[k][0], v[k][1] - q.vertex[k][1]);
        if (shift > limit) return false;
        q.vertex[k][0] = v[k][0];
        q.vertex[k][1] = v[k][1];
    }
    return true;
}

// Edge lines straight from the corners (no refinement).
void linesFromCorners(MarkerInfo& q) {
    for (int e = 0; e < 4; ++e) {
        const double* a = q.vertex[e];
        const double* b = q.vertex[(e + 1) & 3];
        double len = std::hypot(b[0] - a[0], b[1] - a[1]);
        q.line[e][0] = (b[1] - a[1]) / len;
        q.line[e][1] = -(b[0] - a[0]) / len;
        q.line[e][2] = -(q.line[e][0] * a[0] + q.line[e][1] * a[1]);
    }
}

bool passesComponentLimits(const Component& c, const QuadInput& in, const QuadParams& p) {
    const Plane& m = in.mask;
    if (c.minX <= 0 || c.minY <= 0 || c.maxX >= m.width - 1 || c.maxY >= m.height - 1) return false;
    const double s2 = static_cast<double>(in.scale) * in.scale;
    double area = c.area * s2;
    if (area < p.minArea || area > p.maxAreaFraction * m.width * m.height * s2) return false;
    int bw = c.maxX - c.minX + 1, bh = c.maxY - c.minY + 1;
    if (bw * in.scale < p.minSide || bh * in.scale < p.minSide) return false;
    double fill = static_cast<double>(c.area) / (static_cast<double>(bw) * bh);
    return fill >= p.minFill && fill <= p.maxFill;
}

bool goodShape(const MarkerInfo& q, double minSide) {
    if (quadArea(q.vertex) <= 0) return false;
    for (int k = 0; k < 4; ++k) {
        const double* a = q.vertex[k];
        const double* b = q.vertex[(k + 1) & 3];
        const double* c = q.vertex[(k + 2) & 3];
        if (std::hypot(b[0] - a[0], b[1] - a[1]) < minSide) return false;
        double cross = (b[0] - a[0]) * (c[1] - b[1]) - (b[1] - a[1]) * (c[0] - b[0]);
        if (cross <= 0) return false;  // not convex
    }
    return true;
}

// Centre of a quad: the intersection of its diagonals.
bool diagonalCentre(MarkerInfo& q) {
    double d0[3] = {q.vertex[2][1] - q.vertex[0][1], q.vertex[0][0] - q.vertex[2][0], 0};
    d0[2] = -(d0[0] * q.vertex[0][0] + d0[1] * q.vertex[0][1]);
    double d1[3] = {q.vertex[3][1] - q.vertex[1][1], q.vertex[1][0] - q.vertex[3][0], 0};
    d1[2] = -(d1[0] * q.vertex[1][0] + d1[1] * q.vertex[1][1]);
    return intersectLines(d0, d1, q.pos[0], q.pos[1]);
}

// One component to a candidate square; false when it is none.
bool candidateOf(const Component& c, const QuadInput& in, const QuadParams& p, QuadOutput& out, MarkerInfo& q) {
    if (!passesComponentLimits(c, in, p)) return false;
    std::size_t maxLen = static_cast<std::size_t>(c.perimeter) + 8;
    if (!traceContour(in.mask, c.startX, c.startY, maxLen, out.contour)) return false;
    if (!findVertices(out.contour, p.vertexTolerance, q.vertex)) return false;
    // Contour pixel centres to continuous full-size coordinates.
    const double off = in.scale * 0.5;
    for (int k = 0; k < 4; ++k) {
        q.vertex[k][0] = q.vertex[k][0] * in.scale + off;
        q.vertex[k][1] = q.vertex[k][1] * in.scale + off;
    }
    if (!goodShape(q, p.minSide)) return false;
    if (p.refine) {
        if (!refineCorners(in.fullGrey, p, in.scale, q, out) || !goodShape(q, p.minSide)) return false;
    } else {
        linesFromCorners(q);
    }
    q.area = c.area * in.scale * in.scale;
    return diagonalCentre(q);
}

}  // namespace

void quadStage(const QuadInput& in, const QuadParams& p, QuadOutput& out) {
    assert(in.labels && in.mask.data && in.fullGrey.data && "quadStage: missing input");
    out.candidates.clear();
    if (out.edgeX.size() < static_cast<std::size_t>(p.maxEdgeSamples)) {
        out.edgeX.resize(p.maxEdgeSamples);
        out.edgeY.resize(p.maxEdgeSamples);
        out.edgeW.resize(p.maxEdgeSamples);
    }
    for (const Component& c : in.labels->components) {
        MarkerInfo q;
        if (candidateOf(c, in, p, out, q)) out.candidates.push_back(q);
    }
}

}  // namespace vxt
