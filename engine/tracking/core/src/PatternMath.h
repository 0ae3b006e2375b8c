#pragma once
// Small numeric helpers shared by the pattern set and the pattern stage.
#include <cmath>
#include <cstdint>

namespace vxt {

// Luma of an RGB triple, BT.601 weights, 0..255.
inline float lumaOf(float r, float g, float b) { return 0.299f * r + 0.587f * g + 0.114f * b; }

// Index of the picture cell seen at sample cell (row, col) when the picture's
// top-left lies at corner d of the sampled square (corners clockwise).
inline int rotatedCell(int row, int col, int d) {
    for (int k = 0; k < d; ++k) {
        int r = 15 - col;
        col = row;
        row = r;
    }
    return row * 16 + col;
}

// Subtracts the mean and scales to unit length; false when the vector is flat.
inline bool normaliseVector(float* v, int n) {
    double sum = 0.0;
    for (int i = 0; i < n; ++i) sum += v[i];
    float mean = static_cast<float>(sum / n);
    double sq = 0.0;
    for (int i = 0; i < n; ++i) {
        v[i] -= mean;
        sq += static_cast<double>(v[i]) * v[i];
    }
    if (sq < 1e-6 * n) {
        for (int i = 0; i < n; ++i) v[i] = 0.0f;
        return false;
    }
    float inv = static_cast<float>(1.0 / std::sqrt(sq));
    for (int i = 0; i < n; ++i) v[i] *= inv;
    return true;
}

// Removes the best-fitting plane a + b*x + c*y from a 16x16 grey grid, so a
// linear lighting gradient across the marker no longer counts.
inline void removeShading(float* v) {
    double s0 = 0, sx = 0, sy = 0, sxx = 0;
    for (int r = 0; r < 16; ++r) {
        for (int c = 0; c < 16; ++c) {
            double x = c - 7.5, y = r - 7.5, p = v[r * 16 + c];
            s0 += p;
            sx += p * x;
            sy += p * y;
        }
    }
    for (int c = 0; c < 16; ++c) sxx += (c - 7.5) * (c - 7.5);
    sxx *= 16;  // sum over the grid of x^2 (same for y)
    double a = s0 / 256.0, b = sx / sxx, cc = sy / sxx;
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c)
            v[r * 16 + c] -= static_cast<float>(a + b * (c - 7.5) + cc * (r - 7.5));
}

// Dot product of two float vectors (length a multiple of 4 is fastest).
float dotProduct(const float* a, const float* b, int n);

}  // namespace vxt
