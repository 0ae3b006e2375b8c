#include "vxt/stages/BinarizeStage.h"

#include <emmintrin.h>

#include <algorithm>
#include <cassert>

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

// Local threshold: midway between the darkest and brightest grey of the
// surrounding tiles; tiles without enough contrast are background.
void adaptiveMask(const Plane& g, const BinarizeParams& p, BinaryOutput& out) {
    const int ts = p.tileSize;
    const int tw = (g.width + ts - 1) / ts, th = (g.height + ts - 1) / ts;
    const std::size_t n = static_cast<std::size_t>(tw) * th;
    if (out.tileMin.size() < n) {
        out.tileMin.resize(n);
        out.tileMax.resize(n);
        out.tileScratch.resize(n);
        out.tileThreshold.resize(n);
    }
    for (int ty = 0; ty < th; ++ty) {
        for (int tx = 0; tx < tw; ++tx) {
            std::uint8_t lo = 255, hi = 0;
            const int x1 = std::min(g.width, (tx + 1) * ts), y1 = std::min(g.height, (ty + 1) * ts);
            for (int y = ty * ts; y < y1; ++y) {
                const std::uint8_t* s = g.data + static_cast<std::size_t>(y) * g.stride;
                for (int x = tx * ts; x < x1; ++x) {
                    lo = std::min(lo, s[x]);
                    hi = std::max(hi, s[x]);
                }
            }
            out.tileMin[ty * tw + tx] = lo;
            out.tileMax[ty * tw + tx] = hi;
        }
    }
    poolTiles(out.tileMin, out.tileScratch, tw, th, p.tileRadius, false);
    poolTiles(out.tileMax, out.tileScratch, tw, th, p.tileRadius, true);
    const bool dark = p.labelingMode == 0;
    for (std::size_t i = 0; i < n; ++i) {
        int lo = out.tileMin[i], hi = out.tileMax[i];
        // 0 (dark) or 255 (light) selects nothing in a flat tile.
        out.tileThreshold[i] = hi - lo < p.minContrast ? (dark ? 0 : 255)
                                                       : static_cast<std::uint8_t>((lo + hi + 1) / 2);
    }
    for (int y = 0; y < g.height; ++y) {
        const std::uint8_t* s = g.data + static_cast<std::size_t>(y) * g.stride;
        std::uint8_t* d = out.mask.data + static_cast<std::size_t>(y) * out.mask.stride;
        const std::uint8_t* tr = out.tileThreshold.data() + static_cast<std::size_t>(y / ts) * tw;
        for (int x = 0; x < g.width; ++x) {
            int t = tr[x / ts];
            d[x] = (dark ? s[x] < t : s[x] > t) ? 255 : 0;
        }
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
