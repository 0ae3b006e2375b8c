#include "CameraModel.h"

#include <cmath>

namespace vxsynth {

void CameraModel::distortNormalised(double x, double y, double& xd, double& yd) const {
    const double r2 = x * x + y * y;
    const double radial = 1 + r2 * (k1 + r2 * (k2 + r2 * k3));
    xd = x * radial + 2 * p1 * x * y + p2 * (r2 + 2 * x * x);
    yd = y * radial + p1 * (r2 + 2 * y * y) + 2 * p2 * x * y;
}

bool CameraModel::project(const double p[3], double& u, double& v) const {
    if (p[2] <= 1e-9) return false;
    double xd, yd;
    distortNormalised(p[0] / p[2], p[1] / p[2], xd, yd);
    u = fx * xd + cx;
    v = fy * yd + cy;
    return true;
}

void CameraModel::distortPixel(double iu, double iv, double& u, double& v) const {
    double xd, yd;
    distortNormalised((iu - cx) / fx, (iv - cy) / fy, xd, yd);
    u = fx * xd + cx;
    v = fy * yd + cy;
}

void CameraModel::undistortPixel(double u, double v, double& iu, double& iv) const {
    const double tx = (u - cx) / fx, ty = (v - cy) / fy;
    double x = tx, y = ty;
    for (int it = 0; it < 20; ++it) {
        double fxv, fyv;
        distortNormalised(x, y, fxv, fyv);
        const double ex = fxv - tx, ey = fyv - ty;
        if (ex * ex + ey * ey < 1e-26) break;
        const double h = 1e-7;  // numeric Jacobian of the distortion
        double ax, ay, bx, by;
        distortNormalised(x + h, y, ax, ay);
        distortNormalised(x, y + h, bx, by);
        const double j00 = (ax - fxv) / h, j10 = (ay - fyv) / h, j01 = (bx - fxv) / h, j11 = (by - fyv) / h;
        const double det = j00 * j11 - j01 * j10;
        if (std::fabs(det) < 1e-12) break;
        x -= (j11 * ex - j01 * ey) / det;
        y -= (-j10 * ex + j00 * ey) / det;
    }
    iu = fx * x + cx;
    iv = fy * y + cy;
}

}  // namespace vxsynth
