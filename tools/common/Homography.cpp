#include "Homography.h"

#include <cmath>
#include <utility>

namespace vxtools {

Homography::Homography() : m_{1, 0, 0, 0, 1, 0, 0, 0, 1} {}

namespace {

// Solves the 8 x 8 system a * x = b by Gaussian elimination with partial pivoting.
bool solve8(double a[8][9], double x[8]) {
    for (int c = 0; c < 8; ++c) {
        int p = c;
        for (int r = c + 1; r < 8; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[p][c])) p = r;
        if (std::fabs(a[p][c]) < 1e-12) return false;
        for (int k = 0; k < 9; ++k) std::swap(a[c][k], a[p][k]);
        for (int r = 0; r < 8; ++r) {
            if (r == c) continue;
            const double f = a[r][c] / a[c][c];
            for (int k = c; k < 9; ++k) a[r][k] -= f * a[c][k];
        }
    }
    for (int c = 0; c < 8; ++c) x[c] = a[c][8] / a[c][c];
    return true;
}

}  // namespace

bool Homography::fromQuad(const double src[4][2], const double dst[4][2], Homography& out) {
    double a[8][9];
    for (int k = 0; k < 4; ++k) {
        const double x = src[k][0], y = src[k][1], u = dst[k][0], v = dst[k][1];
        const double r0[9] = {x, y, 1, 0, 0, 0, -u * x, -u * y, u};
        const double r1[9] = {0, 0, 0, x, y, 1, -v * x, -v * y, v};
        for (int i = 0; i < 9; ++i) {
            a[2 * k][i] = r0[i];
            a[2 * k + 1][i] = r1[i];
        }
    }
    double h[8];
    if (!solve8(a, h)) return false;
    out = Homography({h[0], h[1], h[2], h[3], h[4], h[5], h[6], h[7], 1.0});
    return true;
}

Homography Homography::inverse() const {
    const auto& a = m_;
    std::array<double, 9> r{a[4] * a[8] - a[5] * a[7], a[2] * a[7] - a[1] * a[8], a[1] * a[5] - a[2] * a[4],
                            a[5] * a[6] - a[3] * a[8], a[0] * a[8] - a[2] * a[6], a[2] * a[3] - a[0] * a[5],
                            a[3] * a[7] - a[4] * a[6], a[1] * a[6] - a[0] * a[7], a[0] * a[4] - a[1] * a[3]};
    const double det = a[0] * r[0] + a[1] * r[3] + a[2] * r[6];
    for (double& v : r) v /= det;
    return Homography(r);
}

Homography Homography::operator*(const Homography& o) const {
    std::array<double, 9> r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) r[i * 3 + j] += m_[i * 3 + k] * o.m_[k * 3 + j];
    return Homography(r);
}

}  // namespace vxtools
