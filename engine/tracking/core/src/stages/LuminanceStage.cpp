#include "vxt/stages/LuminanceStage.h"

#include <emmintrin.h>

#include <cassert>

#include "src/ImageOps.h"

namespace vxt {

namespace {

inline std::uint8_t luma(int r, int g, int b) {
    return static_cast<std::uint8_t>((77 * r + 150 * g + 29 * b + 128) >> 8);
}

// Luma of 4 pixels held as 32-bit lanes (bytes 0..3 of each lane weighted by
// w[0..3]): bytes 0 and 2 and bytes 1 and 3 are summed pairwise by madd.
struct LaneWeights {
    __m128i even, odd;
    LaneWeights(const short w[4])
        : even(_mm_setr_epi16(w[0], w[2], w[0], w[2], w[0], w[2], w[0], w[2])),
          odd(_mm_setr_epi16(w[1], w[3], w[1], w[3], w[1], w[3], w[1], w[3])) {}
};

inline __m128i lumaOfLanes(__m128i px4, const LaneWeights& lw) {
    const __m128i lowBytes = _mm_set1_epi16(0x00FF);
    __m128i even = _mm_madd_epi16(_mm_and_si128(px4, lowBytes), lw.even);
    __m128i odd = _mm_madd_epi16(_mm_srli_epi16(px4, 8), lw.odd);
    __m128i sum = _mm_add_epi32(_mm_add_epi32(even, odd), _mm_set1_epi32(128));
    return _mm_srli_epi32(sum, 8);
}

// 4-byte formats, 8 pixels at a time with SSE2.
template <int R, int G, int B>
void convertRows4(const ImageView& in, int stride, Plane& out) {
    short w[4] = {0, 0, 0, 0};
    w[R] = 77;
    w[G] = 150;
    w[B] = 29;
    const LaneWeights lw(w);
    for (int y = 0; y < in.height; ++y) {
        const std::uint8_t* s = in.data + static_cast<std::size_t>(y) * stride;
        std::uint8_t* d = out.data + static_cast<std::size_t>(y) * out.stride;
        int x = 0;
        for (; x + 8 <= in.width; x += 8) {
            __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + x * 4));
            __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + x * 4 + 16));
            __m128i p = _mm_packs_epi32(lumaOfLanes(a, lw), lumaOfLanes(b, lw));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(d + x), _mm_packus_epi16(p, p));
        }
        for (; x < in.width; ++x) {
            const std::uint8_t* px = s + x * 4;
            d[x] = luma(px[R], px[G], px[B]);
        }
    }
}

// 3-byte formats, 8 pixels at a time with SSE2: each pixel's bytes are moved
// into a 32-bit lane (the fourth byte is weighted 0), then weighted as above.
template <int R, int G, int B>
void convertRows3(const ImageView& in, int stride, Plane& out) {
    short w[4] = {0, 0, 0, 0};
    w[R] = 77;
    w[G] = 150;
    w[B] = 29;
    const LaneWeights lw(w);
    // Lanes of 4 pixels starting at byte 0 of v.
    auto gather = [](__m128i v) {
        __m128i p01 = _mm_unpacklo_epi32(v, _mm_srli_si128(v, 3));
        __m128i p23 = _mm_unpacklo_epi32(_mm_srli_si128(v, 6), _mm_srli_si128(v, 9));
        return _mm_unpacklo_epi64(p01, p23);
    };
    for (int y = 0; y < in.height; ++y) {
        const std::uint8_t* s = in.data + static_cast<std::size_t>(y) * stride;
        std::uint8_t* d = out.data + static_cast<std::size_t>(y) * out.stride;
        int x = 0;
        // The second load reads 4 bytes past the 8 pixels: stay inside the row.
        for (; x + 10 <= in.width; x += 8) {
            __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + x * 3));
            __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + x * 3 + 12));
            __m128i p = _mm_packs_epi32(lumaOfLanes(gather(a), lw), lumaOfLanes(gather(b), lw));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(d + x), _mm_packus_epi16(p, p));
        }
        for (; x < in.width; ++x) {
            const std::uint8_t* px = s + x * 3;
            d[x] = luma(px[R], px[G], px[B]);
        }
    }
}

// 4:2:2 formats: the luma bytes are every other byte, starting at `first`.
void convertYuv(const ImageView& in, int stride, int first, Plane& out) {
    for (int y = 0; y < in.height; ++y) {
        const std::uint8_t* s = in.data + static_cast<std::size_t>(y) * stride + first;
        std::uint8_t* d = out.data + static_cast<std::size_t>(y) * out.stride;
        for (int x = 0; x < in.width; ++x) d[x] = s[2 * x];
    }
}

void ensurePlane(std::vector<std::uint8_t>& buf, int w, int h, Plane& p) {
    std::size_t need = static_cast<std::size_t>(w) * h;
    if (buf.size() < need) buf.resize(need);
    p.data = buf.data();
    p.width = w;
    p.height = h;
    p.stride = w;
}

}  // namespace

void luminanceStage(const ImageView& in, const LuminanceParams& p, LuminanceOutput& out) {
    assert(in.data && in.width > 0 && in.height > 0 && "luminanceStage: empty frame");
    const int bpp = bytesPerPixel(in.format);
    assert(bpp > 0 && "luminanceStage: invalid pixel format");
    const int stride = in.stride > 0 ? in.stride : in.width * bpp;
    if (in.format == PixelFormat::Mono) {
        out.full.data = const_cast<std::uint8_t*>(in.data);  // read only
        out.full.width = in.width;
        out.full.height = in.height;
        out.full.stride = stride;
    } else {
        ensurePlane(out.fullBuffer, in.width, in.height, out.full);
        switch (in.format) {
            case PixelFormat::RGB: convertRows3<0, 1, 2>(in, stride, out.full); break;
            case PixelFormat::BGR: convertRows3<2, 1, 0>(in, stride, out.full); break;
            case PixelFormat::RGBA: convertRows4<0, 1, 2>(in, stride, out.full); break;
            case PixelFormat::BGRA: convertRows4<2, 1, 0>(in, stride, out.full); break;
            case PixelFormat::ABGR: convertRows4<3, 2, 1>(in, stride, out.full); break;
            case PixelFormat::ARGB: convertRows4<1, 2, 3>(in, stride, out.full); break;
            case PixelFormat::UYVY: convertYuv(in, stride, 1, out.full); break;
            case PixelFormat::YUYV: convertYuv(in, stride, 0, out.full); break;
            default: break;
        }
    }
    if (p.imageProcMode == 1) {
        ensurePlane(out.halfBuffer, in.width / 2, in.height / 2, out.proc);
        halveImage(out.full, out.proc);
        out.scale = 2;
    } else {
        out.proc = out.full;
        out.scale = 1;
    }
}

}  // namespace vxt
