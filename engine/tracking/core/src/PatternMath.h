#pragma once
// Small numeric helpers shared by the pattern set and the pattern stage.
#include <cmath>
#include <cstdint>

namespace vxt {

// Luma of an RGB triple, BT.601 weights, 0..255.
inline float lumaOf(float r, float g, float b) { return 0.299f * r + 0.587f * g + 0.114f * b; }

// True when a grid of `cells` RGB triples carries colour: the spread of its
// channels around each cell's luma is more than a few percent of the spread
// of the luma itself (a grey print, or a monochrome camera, carries none).
inline bool carriesColour(const float* rgb, int cells) {
    double lumaSum = 0.0, lumaSq = 0.0, chroma = 0.0;
    for (int i = 0; i < cells; ++i) {
        const float* c = rgb + 3 * i;
        double y = lumaOf(c[0], c[1], c[2]);
        lumaSum += y;
        lumaSq += y * y;
        for (int k = 0; k < 3; ++k) chroma += (c[k] - y) * (c[k] - y);
    }
    double lumaVar = lumaSq - lumaSum * lumaSum / cells;
    return chroma > 0.02 * lumaVar + 4.0 * cells;
}

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

// Means of 2 x 2 cells of a 16 x 16 grid of `ch` channels into an 8 x 8 grid.
inline void coarsenGrid(const float* in, int ch, float* out) {
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c)
            for (int k = 0; k < ch; ++k) {
                const float* a = in + ((2 * r) * 16 + 2 * c) * ch + k;
                out[(r * 8 + c) * ch + k] = 0.25f * (a[0] + a[ch] + a[16 * ch] + a[17 * ch]);
            }
}

// Dot product of two float vectors (length a multiple of 4 is fastest).
float dotProduct(const float* a, const float* b, int n);

}  // namespace vxt
