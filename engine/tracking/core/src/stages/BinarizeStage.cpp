#include "vxt/stages/BinarizeStage.h"

#include <emmintrin.h>

#include <algorithm>
#include <cassert>

#include "src/ImageOps.h"

namespace vxt {

namespace {

// Global threshold: foreground where grey < t (dark) or grey > t (light).
void globalMask(const Plane& g, int t, bool dark, Plane& m) {
    // Unsigned compares through the sign flip: x < t  <=>  (x ^ 0x80) < (t ^ 0x80) signed.
    const __m128i flip = _mm_set1_epi8(static_cast<char>(0x80));
    const __m128i tv = _mm_set1_epi8(static_cast<char>(t ^ 0x80));
    for (int y = 0; y < g.height; ++y) {
        const std::uint8_t* s = g.data + static_cast<std::size_t>(y) * g.stride;
        std::uint8_t* d = m.data + static_cast<std::size_t>(y) * m.stride;
        int x = 0;
        for (; x + 16 <= g.width; x += 16) {
            __m128i v = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + x)), flip);
            __m128i r = dark ? _mm_cmplt_epi8(v, tv) : _mm_cmpgt_epi8(v, tv);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x), r);
        }
        for (; x < g.width; ++x) d[x] = (dark ? s[x] < t : s[x] > t) ? 255 : 0;
    }
}

// Running min or max over 2r+1 tiles along rows, then along columns.
void poolTiles(std::vector<std::uint8_t>& v, std::vector<std::uint8_t>& tmp, int tw, int th, int r,
               bool takeMax) {
    auto pick = [takeMax](std::uint8_t a, std::uint8_t b) { return takeMax ? std::max(a, b) : std::min(a, b); };
    for (int y = 0; y < th; ++y)
        for (int x = 0; x < tw; ++x) {
            std::uint8_t acc = v[y * tw + x];
            for (int k = std::max(0, x - r); k <= std::min(tw - 1, x + r); ++k) acc = pick(acc, v[y * tw + k]);
            tmp[y * tw + x] = acc;
        }
    for (int y = 0; y < th; ++y)
        for (int x = 0; x < tw; ++x) {
            std::uint8_t acc = tmp[y * tw + x];
            for (int k = std::max(0, y - r); k <= std::min(th - 1, y + r); ++k) acc = pick(acc, tmp[k * tw + x]);
            v[y * tw + x] = acc;
        }
}

// Darkest and brightest value of each tile of `img` (tiles of ts x ts).
void tileRange(const Plane& img, int ts, int tw, int th, BinaryOutput& out) {
    std::uint8_t* colMin = out.colMin.data();
    std::uint8_t* colMax = out.colMax.data();
    for (int ty = 0; ty < th; ++ty) {
        const int y0 = ty * ts, y1 = std::min(img.height, y0 + ts);
        // Column-wise range over the tile's rows, 16 columns at a time.
        int x = 0;
        for (; x + 16 <= img.width; x += 16) {
            __m128i lo = _mm_set1_epi8(static_cast<char>(0xFF)), hi = _mm_setzero_si128();
            for (int y = y0; y < y1; ++y) {
                __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(img.data + static_cast<std::size_t>(y) * img.stride + x));
                lo = _mm_min_epu8(lo, v);
                hi = _mm_max_epu8(hi, v);
            }
            _mm_storeu_si128(reinterpret_cast<__m128i*>(colMin + x), lo);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(colMax + x), hi);
        }
        for (; x < img.width; ++x) {
            std::uint8_t lo = 255, hi = 0;
            for (int y = y0; y < y1; ++y) {
                std::uint8_t v = img.data[static_cast<std::size_t>(y) * img.stride + x];
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
            colMin[x] = lo;
            colMax[x] = hi;
        }
        for (int tx = 0; tx < tw; ++tx) {
            std::uint8_t lo = 255, hi = 0;
            for (int c = tx * ts; c < std::min(img.width, (tx + 1) * ts); ++c) {
                lo = std::min(lo, colMin[c]);
                hi = std::max(hi, colMax[c]);
            }
            out.tileMin[ty * tw + tx] = lo;
            out.tileMax[ty * tw + tx] = hi;
        }
    }
}

// Local threshold: the user threshold placed within the range between the
// darkest and brightest grey of the surrounding tiles, measured on the
// 2x2-averaged image so sensor noise does not pass for contrast; tiles
// without enough contrast take the user threshold itself.
void adaptiveMask(const Plane& g, const BinarizeParams& p, BinaryOutput& out) {
    Plane small;
    small.width = g.width / 2;
    small.height = g.height / 2;
    small.stride = small.width;
    std::size_t smallSize = static_cast<std::size_t>(small.width) * small.height;
    if (out.smallBuffer.size() < smallSize) out.smallBuffer.resize(smallSize);
    small.data = out.smallBuffer.data();
    halveImage(g, small);
    const int ts = std::max(2, p.tileSize / 2);  // tile side in the small image
    const int tw = (small.width + ts - 1) / ts, th = (small.height + ts - 1) / ts;
    const std::size_t n = static_cast<std::size_t>(tw) * th;
    if (out.tileMin.size() < n) {
        out.tileMin.resize(n);
        out.tileMax.resize(n);
        out.tileScratch.resize(n);
        out.tileThreshold.resize(n);
    }
    if (out.colMin.size() < static_cast<std::size_t>(g.width)) {
        out.colMin.resize(g.width);
        out.colMax.resize(g.width);
        out.rowThreshold.resize(g.width);
    }
    tileRange(small, ts, tw, th, out);
    poolTiles(out.tileMin, out.tileScratch, tw, th, p.tileRadius, false);
    poolTiles(out.tileMax, out.tileScratch, tw, th, p.tileRadius, true);
    const bool dark = p.labelingMode == 0;
    for (std::size_t i = 0; i < n; ++i) {
        int lo = out.tileMin[i], hi = out.tileMax[i];
        out.tileThreshold[i] = static_cast<std::uint8_t>(
            hi - lo < p.minContrast ? p.threshold : lo + ((hi - lo) * p.threshold + 127) / 255);
    }
    const __m128i flip = _mm_set1_epi8(static_cast<char>(0x80));
    const int band = 2 * ts;  // full-size rows per tile row
    for (int y = 0; y < g.height; ++y) {
        if (y % band == 0 || y == 0) {
            int ty = std::min(th - 1, y / band);
            for (int x = 0; x < g.width; ++x)
                out.rowThreshold[x] = out.tileThreshold[ty * tw + std::min(tw - 1, x / band)];
        }
        const std::uint8_t* s = g.data + static_cast<std::size_t>(y) * g.stride;
        std::uint8_t* d = out.mask.data + static_cast<std::size_t>(y) * out.mask.stride;
        const std::uint8_t* t = out.rowThreshold.data();
        int x = 0;
        for (; x + 16 <= g.width; x += 16) {
            __m128i v = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + x)), flip);
            __m128i tv = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(t + x)), flip);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x), dark ? _mm_cmplt_epi8(v, tv) : _mm_cmpgt_epi8(v, tv));
        }
        for (; x < g.width; ++x) d[x] = (dark ? s[x] < t[x] : s[x] > t[x]) ? 255 : 0;
    }
}

}  // namespace

void binarizeStage(const Plane& g, const BinarizeParams& p, BinaryOutput& out) {
    assert(g.data && g.width > 0 && g.height > 0 && "binarizeStage: empty image");
    assert(p.tileSize >= 4 && p.tileSize <= 64 && "binarizeStage: tile size out of range");
    std::size_t need = static_cast<std::size_t>(g.width) * g.height;
    if (out.buffer.size() < need) out.buffer.resize(need);
    out.mask.data = out.buffer.data();
    out.mask.width = g.width;
    out.mask.height = g.height;
    out.mask.stride = g.width;
    if (p.adaptive)
        adaptiveMask(g, p, out);
    else
        globalMask(g, p.threshold, p.labelingMode == 0, out.mask);
}

}  // namespace vxt
