#include "vxt/stages/PatternStage.h"

#include <xmmintrin.h>

#include <algorithm>
#include <cassert>
#include <cmath>

#include "src/Geometry.h"
#include "src/PatternMath.h"
#include "vxt/PatternSet.h"

namespace vxt {

float dotProduct(const float* a, const float* b, int n) {
    __m128 acc0 = _mm_setzero_ps(), acc1 = _mm_setzero_ps();
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        acc0 = _mm_add_ps(acc0, _mm_mul_ps(_mm_loadu_ps(a + i), _mm_loadu_ps(b + i)));
        acc1 = _mm_add_ps(acc1, _mm_mul_ps(_mm_loadu_ps(a + i + 4), _mm_loadu_ps(b + i + 4)));
    }
    float part[4];
    _mm_storeu_ps(part, _mm_add_ps(acc0, acc1));
    float s = part[0] + part[1] + part[2] + part[3];
    for (; i < n; ++i) s += a[i] * b[i];
    return s;
}

namespace {

// Colour of one pixel of the frame (integer position inside the frame).
inline void pixelRGB(const ImageView& f, int stride, int x, int y, float rgb[3]) {
    const std::uint8_t* row = f.data + static_cast<std::size_t>(y) * stride;
    const std::uint8_t* p;
    switch (f.format) {
        case PixelFormat::RGB: p = row + 3 * x; rgb[0] = p[0]; rgb[1] = p[1]; rgb[2] = p[2]; return;
        case PixelFormat::BGR: p = row + 3 * x; rgb[0] = p[2]; rgb[1] = p[1]; rgb[2] = p[0]; return;
        case PixelFormat::RGBA: p = row + 4 * x; rgb[0] = p[0]; rgb[1] = p[1]; rgb[2] = p[2]; return;
        case PixelFormat::BGRA: p = row + 4 * x; rgb[0] = p[2]; rgb[1] = p[1]; rgb[2] = p[0]; return;
        case PixelFormat::ABGR: p = row + 4 * x; rgb[0] = p[3]; rgb[1] = p[2]; rgb[2] = p[1]; return;
        case PixelFormat::ARGB: p = row + 4 * x; rgb[0] = p[1]; rgb[1] = p[2]; rgb[2] = p[3]; return;
        case PixelFormat::Mono: rgb[0] = rgb[1] = rgb[2] = row[x]; return;
        case PixelFormat::UYVY:
        case PixelFormat::YUYV: {
            p = row + 4 * (x / 2);
            bool uyvy = f.format == PixelFormat::UYVY;
            float yy = uyvy ? p[1 + 2 * (x & 1)] : p[2 * (x & 1)];
            float cb = (uyvy ? p[0] : p[1]) - 128.0f, cr = (uyvy ? p[2] : p[3]) - 128.0f;
            rgb[0] = yy + 1.402f * cr;
            rgb[1] = yy - 0.344f * cb - 0.714f * cr;
            rgb[2] = yy + 1.772f * cb;
            return;
        }
        default: rgb[0] = rgb[1] = rgb[2] = 0; return;
    }
}

// Byte offsets of R, G and B in the packed formats; bpp 0 for the others.
struct ChannelLayout {
    int bpp, r, g, b;
};

ChannelLayout layoutOf(PixelFormat f) {
    switch (f) {
        case PixelFormat::RGB: return {3, 0, 1, 2};
        case PixelFormat::BGR: return {3, 2, 1, 0};
        case PixelFormat::RGBA: return {4, 0, 1, 2};
        case PixelFormat::BGRA: return {4, 2, 1, 0};
        case PixelFormat::ABGR: return {4, 3, 2, 1};
        case PixelFormat::ARGB: return {4, 1, 2, 3};
        default: return {0, 0, 0, 0};
    }
}

void sampleRGB(const ImageView& f, int stride, double x, double y, float rgb[3]) {
    // Continuous coordinates: pixel centres at +0.5.
    x = std::min(std::max(x - 0.5, 0.0), f.width - 1.001);
    y = std::min(std::max(y - 0.5, 0.0), f.height - 1.001);
    int x0 = static_cast<int>(x), y0 = static_cast<int>(y);
    int x1 = std::min(x0 + 1, f.width - 1), y1 = std::min(y0 + 1, f.height - 1);
    float fx = static_cast<float>(x - x0), fy = static_cast<float>(y - y0);
    const ChannelLayout lay = layoutOf(f.format);
    if (lay.bpp) {
        const std::uint8_t* p00 = f.data + static_cast<std::size_t>(y0) * stride + x0 * lay.bpp;
        const std::uint8_t* p01 = p00 + (x1 - x0) * lay.bpp;
        const std::uint8_t* p10 = p00 + static_cast<std::size_t>(y1 - y0) * stride;
        const std::uint8_t* p11 = p10 + (x1 - x0) * lay.bpp;
        const int off[3] = {lay.r, lay.g, lay.b};
        for (int k = 0; k < 3; ++k) {
            float top = p00[off[k]] + fx * (p01[off[k]] - p00[off[k]]);
            float bot = p10[off[k]] + fx * (p11[off[k]] - p10[off[k]]);
            rgb[k] = top + fy * (bot - top);
        }
        return;
    }
    float a[3], b[3], c[3], d[3];
    pixelRGB(f, stride, x0, y0, a);
    pixelRGB(f, stride, x1, y0, b);
    pixelRGB(f, stride, x0, y1, c);
    pixelRGB(f, stride, x1, y1, d);
    for (int k = 0; k < 3; ++k) {
        float top = a[k] + fx * (b[k] - a[k]), bot = c[k] + fx * (d[k] - c[k]);
        rgb[k] = top + fy * (bot - top);
    }
}

// Cells smaller than this (pixels) are compared at 8 x 8.
const double kCoarseBelowPx = 1.0;

// Side of a cell of the inner picture in pixels (the inner half spans 16 cells).
double cellPixels(const MarkerInfo& q) { return std::sqrt(std::fabs(quadArea(q.vertex))) * 0.5 / 16.0; }

// Sub-samples per cell side, each a bilinear read, averaged over the cell:
// 2 x 2 up to cells of 3 pixels (a cell smaller than a pixel then still
// averages over its whole area instead of reading one point), 3 x 3 above.
int subSamples(const MarkerInfo& q) { return cellPixels(q) > 3.0 ? 3 : 2; }

// Samples the inner half with corner `first` as top-left; colour or grey.
void sampleGrid(const PatternInput& in, const MarkerInfo& q, int first, bool colour, PatternSample& out) {
    double quad[4][2];
    for (int k = 0; k < 4; ++k) {
        quad[k][0] = q.vertex[(first + k) & 3][0];
        quad[k][1] = q.vertex[(first + k) & 3][1];
    }
    SquareToQuad h;
    if (!h.set(quad)) {
        std::fill(out.colour, out.colour + 768, 0.0f);
        std::fill(out.grey, out.grey + 256, 0.0f);
        return;
    }
    const int n = subSamples(q);
    const float inv = 1.0f / (n * n);
    const int stride = in.frame.stride > 0 ? in.frame.stride : in.frame.width * bytesPerPixel(in.frame.format);
    for (int r = 0; r < 16; ++r) {
        for (int c = 0; c < 16; ++c) {
            float acc[3] = {0, 0, 0};
            for (int i = 0; i < n; ++i) {
                for (int j = 0; j < n; ++j) {
                    double u = 0.25 + (c + (j + 0.5) / n) / 32.0;
                    double v = 0.25 + (r + (i + 0.5) / n) / 32.0;
                    double x, y;
                    h.map(u, v, x, y);
                    if (colour) {
                        float rgb[3];
                        sampleRGB(in.frame, stride, x, y, rgb);
                        acc[0] += rgb[0];
                        acc[1] += rgb[1];
                        acc[2] += rgb[2];
                    } else {
                        acc[0] += sampleGrey(in.fullGrey, x, y);
                    }
                }
            }
            int cell = r * 16 + c;
            if (colour) {
                for (int k = 0; k < 3; ++k) out.colour[cell * 3 + k] = acc[k] * inv;
                out.grey[cell] = lumaOf(out.colour[cell * 3], out.colour[cell * 3 + 1], out.colour[cell * 3 + 2]);
            } else {
                out.grey[cell] = acc[0] * inv;
            }
        }
    }
}

// Template blur level for a square: about one pixel of blur (lens and
// sampling) expressed in cells, the nearest of the levels below the last.
// The picture may be sharper (a large cell) or blurred more (defocus), so
// the levels on either side are tried too; the last level is only ever that.
int blurLevel(const MarkerInfo& q) {
    double sigma = 1.0 / std::max(cellPixels(q), 0.1);
    int best = 0;
    for (int l = 1; l + 1 < PatternSet::kBlurLevels; ++l)
        if (std::fabs(PatternSet::kBlurSigma[l] - sigma) < std::fabs(PatternSet::kBlurSigma[best] - sigma)) best = l;
    return best;
}

// The sample as the templates are compared: colour (768 values) and grey
// (256), each zero-mean and unit-length. Colour is used only where both the
// frame and the pattern carry it; otherwise the luminance is compared, so a
// pattern trained from a colour picture is found in a grey frame. A square
// whose cells are smaller than a pixel is compared at 8 x 8 cells: its
// picture holds no finer detail, and the means halve the noise.
struct NormalisedSample {
    bool coarse = false;
    const float* colour = nullptr;
    const float* grey = nullptr;
};

struct SampleScratch {
    float coarseColour[PatternSet::kCoarseCells * 3];
    float coarseGrey[PatternSet::kCoarseCells];
};

bool normaliseSample(const PatternParams& p, bool coarse, PatternSample& s, SampleScratch& c, NormalisedSample& out) {
    const bool colour = p.mode == 0 && carriesColour(s.colour, 256);
    if (p.mode == 2) removeShading(s.grey);
    out.coarse = coarse;
    if (coarse) {
        coarsenGrid(s.grey, 1, c.coarseGrey);
        if (!normaliseVector(c.coarseGrey, PatternSet::kCoarseCells)) return false;
        out.grey = c.coarseGrey;
        if (!colour) return true;
        coarsenGrid(s.colour, 3, c.coarseColour);
        if (normaliseVector(c.coarseColour, PatternSet::kCoarseCells * 3)) out.colour = c.coarseColour;
        return true;
    }
    if (!normaliseVector(s.grey, 256)) return false;
    out.grey = s.grey;
    if (colour && normaliseVector(s.colour, 768)) out.colour = s.colour;
    return true;
}

// Correlation of the sample with one pattern's template in rotation d.
float correlate(const PatternParams& p, const NormalisedSample& v, const PatternSet::Templates& t, int level, int d) {
    const bool colour = p.mode == 0 && v.colour && t.hasColour;
    if (v.coarse) {
        if (colour) return dotProduct(v.colour, t.coarseColour[level][d], PatternSet::kCoarseCells * 3);
        return dotProduct(v.grey, p.mode == 2 ? t.coarseFlat[level][d] : t.coarseGrey[level][d],
                          PatternSet::kCoarseCells);
    }
    if (colour) return dotProduct(v.colour, t.colour[level][d], 768);
    return dotProduct(v.grey, p.mode == 2 ? t.flat[level][d] : t.grey[level][d], 256);
}

void matchOne(const PatternInput& in, const PatternParams& p, MarkerInfo& q, PatternSample& s) {
    q.id = -1;
    q.dir = 0;
    q.cf = 0.0;
    if (!in.patterns) return;
    sampleGrid(in, q, 0, p.mode == 0, s);
    NormalisedSample vec;
    SampleScratch scratch;
    if (!normaliseSample(p, cellPixels(q) < kCoarseBelowPx, s, scratch, vec)) return;
    const int level = blurLevel(q);
    const int firstLevel = std::max(0, level - 1), lastLevel = std::min(level + 1, PatternSet::kBlurLevels - 1);
    float best = -2.0f;
    int bestId = -1, bestDir = 0;
    for (int id = 0; id < PatternSet::kMaxPatterns; ++id) {
        if (!in.patterns->isActive(id)) continue;
        const PatternSet::Templates* t = in.patterns->templates(id);
        if (!t->usable) continue;
        for (int l = firstLevel; l <= lastLevel; ++l)
            for (int d = 0; d < 4; ++d) {
                float c = correlate(p, vec, *t, l, d);
                if (c > best) {
                    best = c;
                    bestId = id;
                    bestDir = d;
                }
            }
    }
    if (bestId < 0 || best < p.minConfidence) return;
    q.id = bestId;
    q.dir = bestDir;
    q.cf = std::min(1.0, static_cast<double>(best));
}

}  // namespace

void samplePattern(const PatternInput& in, const MarkerInfo& square, int first, PatternSample& out) {
    assert(first >= 0 && first < 4 && "samplePattern: corner index must be 0..3");
    sampleGrid(in, square, first, true, out);
}

void patternStage(const PatternInput& in, const PatternParams& p, std::vector<MarkerInfo>& candidates) {
    assert(p.mode >= 0 && p.mode <= 2 && "patternStage: mode must be 0..2");
    PatternSample sample;
    for (MarkerInfo& q : candidates) matchOne(in, p, q, sample);
}

}  // namespace vxt
