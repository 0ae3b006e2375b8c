#include "vxt/PoseEstimator.h"

#include <cassert>
#include <cmath>

#include "src/LinearSolve.h"
#include "vxt/MultiMarkerConfig.h"

namespace vxt {

namespace {

const int kMaxPoints = 4 * MultiMarkerConfig::kMaxSubMarkers;

void cross(const double a[3], const double b[3], double out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

double norm3(const double a[3]) { return std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]); }

// Rotation matrix of the axis-angle vector w.
void rodrigues(const double w[3], double r[3][3]) {
    double th = norm3(w);
    double k[3] = {0, 0, 0};
    if (th > 1e-15) {
        k[0] = w[0] / th;
        k[1] = w[1] / th;
        k[2] = w[2] / th;
    }
    double c = std::cos(th), s = std::sin(th), v = 1.0 - c;
    r[0][0] = c + k[0] * k[0] * v;
    r[0][1] = k[0] * k[1] * v - k[2] * s;
    r[0][2] = k[0] * k[2] * v + k[1] * s;
    r[1][0] = k[1] * k[0] * v + k[2] * s;
    r[1][1] = c + k[1] * k[1] * v;
    r[1][2] = k[1] * k[2] * v - k[0] * s;
    r[2][0] = k[2] * k[0] * v - k[1] * s;
    r[2][1] = k[2] * k[1] * v + k[0] * s;
    r[2][2] = c + k[2] * k[2] * v;
}

// Whether four corners, in order around the square, cannot be the picture
// of a square: two coincide, three are collinear, the outline is not convex,
// or a coordinate is not finite. A projected square is always a strictly
// convex quadrilateral, however oblique; the homography of such corners
// fails or, worse, a refinement from an earlier pose drifts off to a pose
// far away with a small error.
bool degenerateSquare(const double (*corners)[2]) {
    double sides = 0.0, turn[4];
    for (int k = 0; k < 4; ++k) {
        const double* a = corners[k];
        const double* b = corners[(k + 1) & 3];
        const double* c = corners[(k + 2) & 3];
        const double ux = b[0] - a[0], uy = b[1] - a[1];
        turn[k] = ux * (c[1] - b[1]) - uy * (c[0] - b[0]);  // twice the area of triangle a b c
        sides += ux * ux + uy * uy;
    }
    if (!std::isfinite(sides) || !(sides > 0.0)) return true;
    // Scale-free: an edge-on square 100 px long and half a pixel high is
    // still 1000 times above this.
    const double least = 1e-6 * sides;
    const bool clockwise = turn[0] > 0.0;
    for (double t : turn)
        if (!(std::fabs(t) > least) || (t > 0.0) != clockwise) return true;
    return false;
}

// Mean squared reprojection error of `pose` (ideal pixels squared).
double reprojError(const CameraParams& cam, const double (*ideal)[2], const double (*obj)[3], int n,
                   const Pose34& pose) {
    double sum = 0;
    for (int i = 0; i < n; ++i) {
        double p[3];
        poseApply(pose, obj[i], p);
        if (p[2] <= 1e-9) return 1e30;
        double du = cam.fx() * p[0] / p[2] + cam.cx() - ideal[i][0];
        double dv = cam.fy() * p[1] / p[2] + cam.cy() - ideal[i][1];
        sum += du * du + dv * dv;
    }
    return sum / n;
}

// Normal equations J^T J and J^T r of the reprojection residuals for a
// rotation increment (left-multiplied) and a translation increment.
void normalEquations(const CameraParams& cam, const double (*ideal)[2], const double (*obj)[3], int n,
                     const Pose34& pose, double jtj[6][6], double jtr[6]) {
    for (int i = 0; i < 6; ++i) {
        jtr[i] = 0;
        for (int j = 0; j < 6; ++j) jtj[i][j] = 0;
    }
    for (int i = 0; i < n; ++i) {
        double q[3];  // rotated point without translation
        for (int k = 0; k < 3; ++k)
            q[k] = pose.m[k][0] * obj[i][0] + pose.m[k][1] * obj[i][1] + pose.m[k][2] * obj[i][2];
        double X = q[0] + pose.m[0][3], Y = q[1] + pose.m[1][3], Z = q[2] + pose.m[2][3];
        double iz = 1.0 / Z;
        double ru = cam.fx() * X * iz + cam.cx() - ideal[i][0];
        double rv = cam.fy() * Y * iz + cam.cy() - ideal[i][1];
        // d(u,v)/dP
        double du[3] = {cam.fx() * iz, 0, -cam.fx() * X * iz * iz};
        double dv[3] = {0, cam.fy() * iz, -cam.fy() * Y * iz * iz};
        // dP/dw = -[q]x ; dP/dt = I
        double ju[6], jv[6];
        ju[0] = du[2] * q[1] - du[1] * q[2];
        ju[1] = du[0] * q[2] - du[2] * q[0];
        ju[2] = du[1] * q[0] - du[0] * q[1];
        jv[0] = dv[2] * q[1] - dv[1] * q[2];
        jv[1] = dv[0] * q[2] - dv[2] * q[0];
        jv[2] = dv[1] * q[0] - dv[0] * q[1];
        for (int k = 0; k < 3; ++k) {
            ju[3 + k] = du[k];
            jv[3 + k] = dv[k];
        }
        for (int a = 0; a < 6; ++a) {
            jtr[a] += ju[a] * ru + jv[a] * rv;
            for (int b = 0; b < 6; ++b) jtj[a][b] += ju[a] * ju[b] + jv[a] * jv[b];
        }
    }
}

void applyStep(const Pose34& in, const double d[6], Pose34& out) {
    double r[3][3];
    rodrigues(d, r);
    Pose34 o;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) o.m[i][j] = r[i][0] * in.m[0][j] + r[i][1] * in.m[1][j] + r[i][2] * in.m[2][j];
        o.m[i][3] = in.m[i][3] + d[3 + i];
    }
    out = o;
}

// Homography (h33 = 1) from plane points (X, Y) to normalised camera points,
// least squares over n >= 4 points.
bool planeHomography(const double (*norm)[2], const double (*obj)[3], int n, double h[9]) {
    double mx = 0, my = 0;
    for (int i = 0; i < n; ++i) {
        mx += obj[i][0];
        my += obj[i][1];
    }
    mx /= n;
    my /= n;
    double sc = 0;
    for (int i = 0; i < n; ++i) sc += std::hypot(obj[i][0] - mx, obj[i][1] - my);
    sc = sc > 0 ? n / sc : 1.0;
    double a[8][8] = {}, b[8] = {}, x[8];
    for (int i = 0; i < n; ++i) {
        double X = (obj[i][0] - mx) * sc, Y = (obj[i][1] - my) * sc, u = norm[i][0], v = norm[i][1];
        double r1[8] = {X, Y, 1, 0, 0, 0, -u * X, -u * Y};
        double r2[8] = {0, 0, 0, X, Y, 1, -v * X, -v * Y};
        for (int p = 0; p < 8; ++p) {
            b[p] += r1[p] * u + r2[p] * v;
            for (int q = 0; q < 8; ++q) a[p][q] += r1[p] * r1[q] + r2[p] * r2[q];
        }
    }
    if (!solveLinear<8>(a, b, x)) return false;
    // Undo the object normalisation: H * T where T maps object to normalised.
    double hn[9] = {x[0], x[1], x[2], x[3], x[4], x[5], x[6], x[7], 1.0};
    double t[9] = {sc, 0, -sc * mx, 0, sc, -sc * my, 0, 0, 1};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            h[r * 3 + c] = hn[r * 3] * t[c] + hn[r * 3 + 1] * t[3 + c] + hn[r * 3 + 2] * t[6 + c];
    return true;
}

// Rigid pose from a plane homography to normalised coordinates.
bool poseFromHomography(const double h[9], Pose34& pose) {
    double c1[3] = {h[0], h[3], h[6]}, c2[3] = {h[1], h[4], h[7]}, c3[3] = {h[2], h[5], h[8]};
    double n1 = norm3(c1), n2 = norm3(c2);
    if (n1 < 1e-12 || n2 < 1e-12) return false;
    double lambda = 2.0 / (n1 + n2);
    if (c3[2] < 0) lambda = -lambda;  // the square lies in front of the camera
    double r1[3], r2[3], t[3];
    for (int k = 0; k < 3; ++k) {
        r1[k] = c1[k] * lambda;
        r2[k] = c2[k] * lambda;
        t[k] = c3[k] * lambda;
    }
    // Symmetric orthonormalisation of r1, r2.
    double s[3], d[3];
    for (int k = 0; k < 3; ++k) {
        s[k] = r1[k] + r2[k];
        d[k] = r1[k] - r2[k];
    }
    double ns = norm3(s), nd = norm3(d);
    if (ns < 1e-12 || nd < 1e-12) return false;
    const double k2 = 1.0 / std::sqrt(2.0);
    for (int k = 0; k < 3; ++k) {
        r1[k] = (s[k] / ns + d[k] / nd) * k2;
        r2[k] = (s[k] / ns - d[k] / nd) * k2;
    }
    double r3[3];
    cross(r1, r2, r3);
    for (int k = 0; k < 3; ++k) {
        pose.m[k][0] = r1[k];
        pose.m[k][1] = r2[k];
        pose.m[k][2] = r3[k];
        pose.m[k][3] = t[k];
    }
    return true;
}

// Object corners of a square in pattern order: top-left, top-right,
// bottom-right, bottom-left (marker frame, y up).
void squareObject(const double centre[2], double width, double obj[4][3]) {
    double h = width * 0.5;
    const double sx[4] = {-1, 1, 1, -1}, sy[4] = {1, 1, -1, -1};
    for (int k = 0; k < 4; ++k) {
        obj[k][0] = centre[0] + sx[k] * h;
        obj[k][1] = centre[1] + sy[k] * h;
        obj[k][2] = 0.0;
    }
}

}  // namespace

PoseEstimator::PoseEstimator(const CameraParams& camera) : camera_(camera) {
    assert(camera.validate().ok() && "PoseEstimator: camera parameters must be valid");
}

bool PoseEstimator::setMaxLoopCount(int n) {
    if (n < 0 || n > 1000) return false;
    maxLoop_ = n;
    return true;
}

bool PoseEstimator::setBreakThreshold(double t) {
    if (!(t >= 0.0) || !std::isfinite(t)) return false;
    breakThreshold_ = t;
    return true;
}

bool PoseEstimator::setBreakRatio(double r) {
    if (!(r >= 0.0 && r <= 1.0)) return false;
    breakRatio_ = r;
    return true;
}

bool PoseEstimator::initialFromSquare(const double (*ideal)[2], const double (*obj)[3], Pose34& pose) const {
    double norm[4][2];
    for (int i = 0; i < 4; ++i) {
        norm[i][0] = (ideal[i][0] - camera_.cx()) / camera_.fx();
        norm[i][1] = (ideal[i][1] - camera_.cy()) / camera_.fy();
    }
    double h[9];
    return planeHomography(norm, obj, 4, h) && poseFromHomography(h, pose);
}

double PoseEstimator::refine(const double (*ideal)[2], const double (*obj)[3], int n, Pose34& pose) const {
    double err = reprojError(camera_, ideal, obj, n, pose);
    double lambda = 1e-3;
    for (int it = 0; it < maxLoop_; ++it) {
        double jtj[6][6], jtr[6];
        normalEquations(camera_, ideal, obj, n, pose, jtj, jtr);
        bool improved = false;
        double newErr = err;
        for (int tries = 0; tries < 8 && !improved; ++tries) {
            double a[6][6], b[6], d[6];
            for (int i = 0; i < 6; ++i) {
                for (int j = 0; j < 6; ++j) a[i][j] = jtj[i][j];
                a[i][i] += lambda * (jtj[i][i] + 1e-12);
                b[i] = -jtr[i];
            }
            if (!solveLinear<6>(a, b, d)) break;
            Pose34 cand;
            applyStep(pose, d, cand);
            double e = reprojError(camera_, ideal, obj, n, cand);
            if (e < err) {
                pose = cand;
                newErr = e;
                improved = true;
                lambda = std::max(lambda * 0.1, 1e-9);
            } else {
                lambda *= 10.0;
            }
        }
        if (!improved) break;
        double prev = err;
        err = newErr;
        if (err < breakThreshold_) break;
        if (prev > 0 && err / prev > breakRatio_) break;
    }
    return err;
}

double PoseEstimator::estimatePoints(const double (*image)[2], const double (*object)[3], int n,
                                     const Pose34* start, Pose34& out) const {
    assert(n >= 4 && n <= kMaxPoints && "estimatePoints: need 4..200 points");
    double ideal[kMaxPoints][2];
    for (int i = 0; i < n; ++i) camera_.observedToIdeal(image[i][0], image[i][1], ideal[i][0], ideal[i][1]);
    Pose34 pose;
    if (start) {
        pose = *start;
    } else {
        double norm[kMaxPoints][2];
        for (int i = 0; i < n; ++i) {
            norm[i][0] = (ideal[i][0] - camera_.cx()) / camera_.fx();
            norm[i][1] = (ideal[i][1] - camera_.cy()) / camera_.fy();
        }
        double h[9];
        if (!planeHomography(norm, object, n, h) || !poseFromHomography(h, pose)) return -1.0;
    }
    double err = refine(ideal, object, n, pose);
    if (!std::isfinite(err) || err >= 1e29) return -1.0;
    out = pose;
    return err;
}

double PoseEstimator::estimate(const MarkerInfo& sq, const double centre[2], double width, Pose34& out) const {
    assert(width > 0 && "estimate: width must be positive");
    double obj[4][3], img[4][2];
    squareObject(centre, width, obj);
    for (int k = 0; k < 4; ++k) {
        int v = (sq.dir + k) & 3;
        img[k][0] = sq.vertex[v][0];
        img[k][1] = sq.vertex[v][1];
    }
    if (degenerateSquare(img)) return -1.0;
    return estimatePoints(img, obj, 4, nullptr, out);
}

double PoseEstimator::estimateCont(const MarkerInfo& sq, const Pose34& previous, const double centre[2],
                                   double width, Pose34& out) const {
    assert(width > 0 && "estimateCont: width must be positive");
    double obj[4][3], img[4][2];
    squareObject(centre, width, obj);
    for (int k = 0; k < 4; ++k) {
        int v = (sq.dir + k) & 3;
        img[k][0] = sq.vertex[v][0];
        img[k][1] = sq.vertex[v][1];
    }
    if (degenerateSquare(img)) return -1.0;
    Pose34 fromPrev, fresh;
    double e1 = estimatePoints(img, obj, 4, &previous, fromPrev);
    double e2 = estimatePoints(img, obj, 4, nullptr, fresh);
    if (e1 < 0 && e2 < 0) return -1.0;
    if (e2 < 0 || (e1 >= 0 && e1 <= e2)) {
        out = fromPrev;
        return e1;
    }
    out = fresh;
    return e2;
}

double PoseEstimator::estimateMulti(const MultiMarkerConfig& config, const MarkerInfo* results, int count,
                                    Pose34& out, double minConfidence) const {
    double img[kMaxPoints][2], obj[kMaxPoints][3];
    int n = 0, bestSub = -1, bestResult = -1, bestArea = 0;
    const auto& subs = config.subMarkers();
    for (int s = 0; s < static_cast<int>(subs.size()); ++s) {
        int pick = -1;
        for (int r = 0; r < count; ++r) {
            if (results[r].id != subs[s].patternId || !(results[r].cf > minConfidence) ||
                degenerateSquare(results[r].vertex))
                continue;
            if (pick < 0 || results[r].cf > results[pick].cf) pick = r;
        }
        if (pick < 0) continue;
        double local[4][3];
        squareObject(subs[s].centre, subs[s].width, local);
        for (int k = 0; k < 4; ++k) {
            int v = (results[pick].dir + k) & 3;
            img[n][0] = results[pick].vertex[v][0];
            img[n][1] = results[pick].vertex[v][1];
            poseApply(subs[s].placement, local[k], obj[n]);
            ++n;
        }
        if (results[pick].area > bestArea) {
            bestArea = results[pick].area;
            bestSub = s;
            bestResult = pick;
        }
    }
    if (bestSub < 0) return -1.0;
    // Start from the largest sub-marker's own pose, moved into the multi frame.
    Pose34 sub, start;
    if (estimate(results[bestResult], subs[bestSub].centre, subs[bestSub].width, sub) < 0) return -1.0;
    poseMul(sub, subs[bestSub].inversePlacement, start);
    return estimatePoints(img, obj, n, &start, out);
}

}  // namespace vxt
