#pragma once
// Dense solve of small linear systems by Gaussian elimination.
#include <cmath>

namespace vxt {

// Solves A x = b for an N x N system (A and b are overwritten). False when
// singular.
template <int N>
bool solveLinear(double a[N][N], double b[N], double x[N]) {
    for (int col = 0; col < N; ++col) {
        int piv = col;
        for (int r = col + 1; r < N; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[piv][col])) piv = r;
        if (std::fabs(a[piv][col]) < 1e-14) return false;
        if (piv != col) {
            for (int c = 0; c < N; ++c) {
                double t = a[col][c];
                a[col][c] = a[piv][c];
                a[piv][c] = t;
            }
            double t = b[col];
            b[col] = b[piv];
            b[piv] = t;
        }
        for (int r = col + 1; r < N; ++r) {
            double f = a[r][col] / a[col][col];
            for (int c = col; c < N; ++c) a[r][c] -= f * a[col][c];
            b[r] -= f * b[col];
        }
    }
    for (int r = N - 1; r >= 0; --r) {
        double s = b[r];
        for (int c = r + 1; c < N; ++c) s -= a[r][c] * x[c];
        x[r] = s / a[r][r];
    }
    return true;
}

}  // namespace vxt
