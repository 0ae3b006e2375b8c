#include "FrameWriter.h"

#include <cassert>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

extern "C" {
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

namespace vexa {
namespace media {

namespace {

// BT.601, the matrix swscale applies when nobody sets another one, so pictures
// look the same whichever path wrote them. As in swscale's own table converter,
// each chroma sample becomes an offset in luma steps, and one clamped table per
// range turns luma plus offset into the channel value: three lookups a pixel.
struct Coefficients {
    static constexpr int kBase = 320;  // table index of luma 0 with a zero offset
    uint8_t clip[kBase + 256 + kBase];
    int16_t crToR[256], cbToG[256], crToG[256], cbToB[256];
    bool fullRange;

    Coefficients(double yOffset, double yScale, double r, double gb, double gr, double b)
        : fullRange(yOffset == 0.0) {
        for (int i = 0; i < kBase + 256 + kBase; ++i) {
            const double v = (i - kBase - yOffset) * yScale;
            clip[i] = static_cast<uint8_t>(v <= 0.0 ? 0 : (v >= 255.0 ? 255 : static_cast<int>(v + 0.5)));
        }
        for (int c = 0; c < 256; ++c) {
            const double centred = c - 128;
            crToR[c] = static_cast<int16_t>(std::lround(centred * r / yScale));
            cbToG[c] = static_cast<int16_t>(std::lround(-centred * gb / yScale));
            crToG[c] = static_cast<int16_t>(std::lround(-centred * gr / yScale));
            cbToB[c] = static_cast<int16_t>(std::lround(centred * b / yScale));
        }
    }
};

const Coefficients& videoRange() {
    static const Coefficients c(16.0, 255.0 / 219.0, 1.402 * 255.0 / 224.0, 0.344136 * 255.0 / 224.0,
                                0.714136 * 255.0 / 224.0, 1.772 * 255.0 / 224.0);
    return c;
}

const Coefficients& fullRange() {
    static const Coefficients c(0.0, 1.0, 1.402, 0.344136, 0.714136, 1.772);
    return c;
}

template <int Bpp>
inline void put(uint8_t* d, uint8_t b, uint8_t g, uint8_t r) {
    if (Bpp == 4) {
        const uint32_t v = b | (static_cast<uint32_t>(g) << 8) | (static_cast<uint32_t>(r) << 16) | 0xFF000000u;
        std::memcpy(d, &v, 4);  // little-endian: bytes B, G, R, A
    } else {
        d[0] = b;
        d[1] = g;
        d[2] = r;
    }
}

// The chroma of one or more pixels, as table positions.
struct Chroma {
    const uint8_t* r;
    const uint8_t* g;
    const uint8_t* b;
    Chroma(const Coefficients& c, int cb, int cr)
        : r(c.clip + Coefficients::kBase + c.crToR[cr]),
          g(c.clip + Coefficients::kBase + c.cbToG[cb] + c.crToG[cr]),
          b(c.clip + Coefficients::kBase + c.cbToB[cb]) {}
};

template <int Bpp>
inline void putYuv(uint8_t* d, int y, const Chroma& ch) {
    put<Bpp>(d, ch.b[y], ch.g[y], ch.r[y]);
}

// Where pixel x of a row lands: mirrored rows are written from the end.
template <int Bpp, bool Mirror>
inline uint8_t* at(uint8_t* row, int width, int x) {
    return row + static_cast<ptrdiff_t>(Mirror ? width - 1 - x : x) * Bpp;
}

#ifdef __SSE2__
// Eight YUV pixels at a time into BGRA, in 16-bit fixed point: samples are
// shifted up by 7, _mm_mulhi_epi16 scales them, sums carry 5 fraction bits.
// Blue's factor above 2 is added as (Cb << 6), so every factor fits 16 bits.
struct SimdCoefficients {
    __m128i yOffset, y, crToR, cbToG, crToG, cbToBFraction;
};

const SimdCoefficients& simdCoefficients(bool fullRange) {
    static const SimdCoefficients video{_mm_set1_epi16(16),    _mm_set1_epi16(19077), _mm_set1_epi16(26149),
                                        _mm_set1_epi16(6419),  _mm_set1_epi16(13320), _mm_set1_epi16(282)};
    static const SimdCoefficients full{_mm_set1_epi16(0),     _mm_set1_epi16(16384), _mm_set1_epi16(22970),
                                       _mm_set1_epi16(5638),  _mm_set1_epi16(11700), _mm_set1_epi16(-3736)};
    return fullRange ? full : video;
}

// Eight BGRA pixels as 24 bytes of BGR: each pixel is written with a 4-byte
// store that the next one partly overwrites, the last with 3 bytes, so nothing
// outside the eight pixels is touched whichever way the row is filled.
inline void storeEightBgr(__m128i first, __m128i second, bool reversed, uint8_t* out) {
    alignas(16) uint8_t bgra[32];
    _mm_store_si128(reinterpret_cast<__m128i*>(bgra), first);
    _mm_store_si128(reinterpret_cast<__m128i*>(bgra + 16), second);
    for (int slot = 0; slot < 7; ++slot) std::memcpy(out + 3 * slot, bgra + 4 * (reversed ? 7 - slot : slot), 4);
    std::memcpy(out + 21, bgra + (reversed ? 0 : 28), 3);
}

// y, cb, cr: eight 16-bit samples each (chroma already repeated per pixel pair).
// Stores the eight pixels at out, or mirrored: the eight pixels that end at
// out + 8 pixels.
template <int Bpp, bool Mirror>
inline void storeEight(__m128i y, __m128i cb, __m128i cr, const SimdCoefficients& k, uint8_t* out) {
    const __m128i centre = _mm_set1_epi16(128);
    cb = _mm_sub_epi16(cb, centre);
    cr = _mm_sub_epi16(cr, centre);
    const __m128i luma = _mm_add_epi16(_mm_mulhi_epi16(_mm_slli_epi16(_mm_sub_epi16(y, k.yOffset), 7), k.y),
                                       _mm_set1_epi16(16));  // with the rounding of the final shift
    const __m128i cb7 = _mm_slli_epi16(cb, 7), cr7 = _mm_slli_epi16(cr, 7);
    const __m128i r = _mm_srai_epi16(_mm_add_epi16(luma, _mm_mulhi_epi16(cr7, k.crToR)), 5);
    const __m128i g = _mm_srai_epi16(
        _mm_sub_epi16(_mm_sub_epi16(luma, _mm_mulhi_epi16(cb7, k.cbToG)), _mm_mulhi_epi16(cr7, k.crToG)), 5);
    const __m128i b = _mm_srai_epi16(
        _mm_add_epi16(_mm_add_epi16(luma, _mm_mulhi_epi16(cb7, k.cbToBFraction)), _mm_slli_epi16(cb, 6)), 5);
    const __m128i b8 = _mm_packus_epi16(b, b), g8 = _mm_packus_epi16(g, g), r8 = _mm_packus_epi16(r, r);
    const __m128i bg = _mm_unpacklo_epi8(b8, g8);
    const __m128i ra = _mm_unpacklo_epi8(r8, _mm_set1_epi8(static_cast<char>(0xFF)));
    const __m128i first = _mm_unpacklo_epi16(bg, ra), second = _mm_unpackhi_epi16(bg, ra);
    if (Bpp == 3) {
        storeEightBgr(first, second, Mirror, out);
    } else if (Mirror) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi32(second, 0x1B));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), _mm_shuffle_epi32(first, 0x1B));
    } else {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), first);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), second);
    }
}

// Where the eight pixels from x on are stored.
template <int Bpp, bool Mirror>
inline uint8_t* eightAt(uint8_t* row, int width, int x) {
    return row + static_cast<ptrdiff_t>(Mirror ? width - 8 - x : x) * Bpp;
}

// Splits interleaved chroma (C0 C1 C0 C1 ... as 16-bit lanes) into the two
// components, each repeated for its pixel pair.
inline void splitChroma(__m128i interleaved, __m128i& first, __m128i& second) {
    const __m128i low = _mm_and_si128(interleaved, _mm_set1_epi32(0xFFFF));
    const __m128i high = _mm_srli_epi32(interleaved, 16);
    first = _mm_or_si128(low, _mm_slli_epi32(low, 16));
    second = _mm_or_si128(high, _mm_slli_epi32(high, 16));
}
#endif

// Every kernel converts one picture row; rows[] are the row starts of the
// planes (for subsampled chroma, the chroma row belonging to this picture row).
using RowKernel = void (*)(const uint8_t* const rows[3], int width, const Coefficients& c, uint8_t* out);

// Packed 4:2:2: two pixels share one Cb and one Cr; byte offsets within the pair.
template <int Y0, int Cb, int Y1, int Cr, int Bpp, bool Mirror>
void packed422Row(const uint8_t* const rows[3], int width, const Coefficients& c, uint8_t* out) {
    const uint8_t* s = rows[0];
    int x = 0;
#ifdef __SSE2__
    {
        const SimdCoefficients& k = simdCoefficients(c.fullRange);
        const __m128i lowBytes = _mm_set1_epi16(0x00FF);
        for (; x + 8 <= width; x += 8, s += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
            const __m128i y = Y0 == 0 ? _mm_and_si128(v, lowBytes) : _mm_srli_epi16(v, 8);
            __m128i first, second;
            splitChroma(Y0 == 0 ? _mm_srli_epi16(v, 8) : _mm_and_si128(v, lowBytes), first, second);
            if (Cb < Cr)
                storeEight<Bpp, Mirror>(y, first, second, k, eightAt<Bpp, Mirror>(out, width, x));
            else
                storeEight<Bpp, Mirror>(y, second, first, k, eightAt<Bpp, Mirror>(out, width, x));
        }
    }
#endif
    for (; x + 1 < width; x += 2, s += 4) {
        const Chroma ch(c, s[Cb], s[Cr]);
        putYuv<Bpp>(at<Bpp, Mirror>(out, width, x), s[Y0], ch);
        putYuv<Bpp>(at<Bpp, Mirror>(out, width, x + 1), s[Y1], ch);
    }
    if (x < width) putYuv<Bpp>(at<Bpp, Mirror>(out, width, x), s[Y0], Chroma(c, s[Cb], s[Cr]));
}

// Planar or semi-planar YUV. ShiftX halves the chroma width; Step is the distance
// between chroma samples (2 for interleaved Cb/Cr planes).
template <int ShiftX, int Step, int Bpp, bool Mirror>
void planarRow(const uint8_t* const rows[3], int width, const Coefficients& c, uint8_t* out) {
    const uint8_t* y = rows[0];
    const uint8_t* u = rows[1];
    const uint8_t* v = rows[2];
    int x = 0;
#ifdef __SSE2__
    if (Step == 1) {
        const SimdCoefficients& k = simdCoefficients(c.fullRange);
        const __m128i zero = _mm_setzero_si128();
        for (; x + 8 <= width; x += 8) {
            const __m128i luma = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(y + x)), zero);
            __m128i cb, cr;
            if (ShiftX) {  // four chroma samples, each for two pixels
                int32_t u4, v4;
                std::memcpy(&u4, u + x / 2, 4);
                std::memcpy(&v4, v + x / 2, 4);
                const __m128i uu = _mm_cvtsi32_si128(u4), vv = _mm_cvtsi32_si128(v4);
                cb = _mm_unpacklo_epi8(_mm_unpacklo_epi8(uu, uu), zero);
                cr = _mm_unpacklo_epi8(_mm_unpacklo_epi8(vv, vv), zero);
            } else {
                cb = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(u + x)), zero);
                cr = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(v + x)), zero);
            }
            storeEight<Bpp, Mirror>(luma, cb, cr, k, eightAt<Bpp, Mirror>(out, width, x));
        }
    }
#endif
    if (ShiftX) {
        for (; x + 1 < width; x += 2) {
            const int k = (x >> 1) * Step;
            const Chroma ch(c, u[k], v[k]);
            putYuv<Bpp>(at<Bpp, Mirror>(out, width, x), y[x], ch);
            putYuv<Bpp>(at<Bpp, Mirror>(out, width, x + 1), y[x + 1], ch);
        }
        if (x < width) putYuv<Bpp>(at<Bpp, Mirror>(out, width, x), y[x], Chroma(c, u[(x >> 1) * Step], v[(x >> 1) * Step]));
        return;
    }
    for (; x < width; ++x) putYuv<Bpp>(at<Bpp, Mirror>(out, width, x), y[x], Chroma(c, u[x * Step], v[x * Step]));
}

// Packed RGB in any byte order, and grey (SrcBpp 1, all offsets 0). A source
// alpha (A >= 0) is kept in BGRA targets; without one they get 255.
template <int SrcBpp, int B, int G, int R, int A, int Bpp, bool Mirror>
void rgbRow(const uint8_t* const rows[3], int width, const Coefficients&, uint8_t* out) {
    const uint8_t* s = rows[0];
    for (int x = 0; x < width; ++x, s += SrcBpp) {
        uint8_t* d = at<Bpp, Mirror>(out, width, x);
        put<Bpp>(d, s[B], s[G], s[R]);
        if (Bpp == 4 && A >= 0) d[3] = s[A < 0 ? 0 : A];
    }
}

// How a format is read: its kernel family and chroma subsampling.
enum class Family { None, Packed422, Planar, Rgb };
struct Layout {
    Family family = Family::None;
    int shiftX = 0, shiftY = 0;  // chroma subsampling
    bool semiPlanar = false;     // Cb and Cr interleaved in plane 1
    bool swapChroma = false;     // NV21: Cr first
    bool fullRange = false;      // the "yuvj" formats
};

Layout layoutOf(int format) {
    Layout l;
    switch (format) {
    case AV_PIX_FMT_YUYV422:
    case AV_PIX_FMT_UYVY422:
    case AV_PIX_FMT_YVYU422: l.family = Family::Packed422; break;
    case AV_PIX_FMT_YUVJ420P: l.fullRange = true; [[fallthrough]];
    case AV_PIX_FMT_YUV420P: l.family = Family::Planar; l.shiftX = l.shiftY = 1; break;
    case AV_PIX_FMT_YUVJ422P: l.fullRange = true; [[fallthrough]];
    case AV_PIX_FMT_YUV422P: l.family = Family::Planar; l.shiftX = 1; break;
    case AV_PIX_FMT_YUVJ440P: l.fullRange = true; [[fallthrough]];
    case AV_PIX_FMT_YUV440P: l.family = Family::Planar; l.shiftY = 1; break;
    case AV_PIX_FMT_YUVJ444P: l.fullRange = true; [[fallthrough]];
    case AV_PIX_FMT_YUV444P: l.family = Family::Planar; break;
    case AV_PIX_FMT_NV21: l.swapChroma = true; [[fallthrough]];
    case AV_PIX_FMT_NV12: l.family = Family::Planar; l.shiftX = l.shiftY = 1; l.semiPlanar = true; break;
    case AV_PIX_FMT_BGR24:
    case AV_PIX_FMT_RGB24:
    case AV_PIX_FMT_BGRA:
    case AV_PIX_FMT_BGR0:
    case AV_PIX_FMT_RGBA:
    case AV_PIX_FMT_RGB0:
    case AV_PIX_FMT_ARGB:
    case AV_PIX_FMT_0RGB:
    case AV_PIX_FMT_ABGR:
    case AV_PIX_FMT_0BGR:
    case AV_PIX_FMT_GRAY8: l.family = Family::Rgb; break;
    default: break;
    }
    return l;
}

template <int Bpp, bool Mirror>
RowKernel kernelFor(int format, const Layout& l) {
    switch (format) {
    case AV_PIX_FMT_YUYV422: return packed422Row<0, 1, 2, 3, Bpp, Mirror>;
    case AV_PIX_FMT_UYVY422: return packed422Row<1, 0, 3, 2, Bpp, Mirror>;
    case AV_PIX_FMT_YVYU422: return packed422Row<0, 3, 2, 1, Bpp, Mirror>;
    case AV_PIX_FMT_BGR24: return rgbRow<3, 0, 1, 2, -1, Bpp, Mirror>;
    case AV_PIX_FMT_RGB24: return rgbRow<3, 2, 1, 0, -1, Bpp, Mirror>;
    case AV_PIX_FMT_BGRA: return rgbRow<4, 0, 1, 2, 3, Bpp, Mirror>;
    case AV_PIX_FMT_BGR0: return rgbRow<4, 0, 1, 2, -1, Bpp, Mirror>;
    case AV_PIX_FMT_RGBA: return rgbRow<4, 2, 1, 0, 3, Bpp, Mirror>;
    case AV_PIX_FMT_RGB0: return rgbRow<4, 2, 1, 0, -1, Bpp, Mirror>;
    case AV_PIX_FMT_ARGB: return rgbRow<4, 3, 2, 1, 0, Bpp, Mirror>;
    case AV_PIX_FMT_0RGB: return rgbRow<4, 3, 2, 1, -1, Bpp, Mirror>;
    case AV_PIX_FMT_ABGR: return rgbRow<4, 1, 2, 3, 0, Bpp, Mirror>;
    case AV_PIX_FMT_0BGR: return rgbRow<4, 1, 2, 3, -1, Bpp, Mirror>;
    case AV_PIX_FMT_GRAY8: return rgbRow<1, 0, 0, 0, -1, Bpp, Mirror>;
    default: break;
    }
    if (l.family != Family::Planar) return nullptr;
    if (l.semiPlanar) return planarRow<1, 2, Bpp, Mirror>;
    return l.shiftX ? planarRow<1, 1, Bpp, Mirror> : planarRow<0, 1, Bpp, Mirror>;
}

RowKernel kernelFor(int format, const Layout& l, const FrameTarget& t) {
    if (t.layout == FrameTarget::Layout::Bgra32)
        return t.mirrored ? kernelFor<4, true>(format, l) : kernelFor<4, false>(format, l);
    return t.mirrored ? kernelFor<3, true>(format, l) : kernelFor<3, false>(format, l);
}

[[maybe_unused]] bool validTarget(const FrameTarget& t) {
    return t.pixels && t.width > 0 && t.height > 0 && t.rowBytes >= t.width * t.bytesPerPixel() &&
           t.storedRows() > 0;
}

}  // namespace

FrameWriter::FrameWriter() = default;

FrameWriter::~FrameWriter() { sws_freeContext(scaler_); }

bool FrameWriter::writesDirectly(int format) { return layoutOf(format).family != Family::None; }

FrameWriter::Picture FrameWriter::bgra(const uint8_t* pixels, int width, int height, int strideBytes, bool lastRowFirst) {
    Picture p;
    p.format = AV_PIX_FMT_BGRA;
    p.planes[0] = lastRowFirst ? pixels + static_cast<ptrdiff_t>(height - 1) * strideBytes : pixels;
    p.strides[0] = lastRowFirst ? -strideBytes : strideBytes;
    p.width = width;
    p.height = height;
    return p;
}

bool FrameWriter::write(const Picture& picture, const FrameTarget& target) {
    assert(validTarget(target) && "FrameWriter::write: the target needs memory, a size and whole rows");
    assert(picture.planes[0] && picture.width > 0 && picture.height > 0 && "FrameWriter::write: empty picture");
    const Layout layout = layoutOf(picture.format);
    const bool sameSize = picture.width == target.width && picture.height == target.height;
    // swscale's own converters for planar 4:2:0 and 4:2:2 beat the kernels here
    // when it can write the target itself (no mirror, every row). They work in
    // blocks and leave the last columns of other widths unwritten.
    const bool scalerFaster = layout.family == Family::Planar && layout.shiftX == 1 && !layout.semiPlanar &&
                              !target.mirrored && !target.oneField && !picture.fullRange &&
                              picture.width % 16 == 0 && picture.height % 2 == 0;
    if (layout.family == Family::None || !sameSize || scalerFaster) return writeThroughScaler(picture, target);
    const RowKernel kernel = kernelFor(picture.format, layout, target);
    const Coefficients& c = layout.fullRange || picture.fullRange ? fullRange() : videoRange();
    const int rows = target.storedRows();
    const uint8_t* cb = picture.planes[1];
    const uint8_t* cr = layout.semiPlanar ? (cb ? cb + 1 : nullptr) : picture.planes[2];
    if (layout.swapChroma) std::swap(cb, cr);
    const int crStride = layout.semiPlanar ? picture.strides[1] : picture.strides[2];
    for (int k = 0; k < rows; ++k) {
        const int y = target.oneField ? 2 * k + 1 : k;
        const int cy = y >> layout.shiftY;
        const uint8_t* const planes[3] = {
            picture.planes[0] + static_cast<ptrdiff_t>(y) * picture.strides[0],
            cb ? cb + static_cast<ptrdiff_t>(cy) * picture.strides[1] : nullptr,
            cr ? cr + static_cast<ptrdiff_t>(cy) * crStride : nullptr};
        const int stored = target.bottomUp ? rows - 1 - k : k;
        kernel(planes, picture.width, c, target.pixels + static_cast<ptrdiff_t>(stored) * target.rowBytes);
    }
    return true;
}

// swscale writes the target's layout itself, last row first through a negative
// stride. A mirrored or one-field target, or one whose width swscale's block
// loops would overrun (they write up to 16 pixels past a row), takes the picture
// from a scratch frame in a second pass.
bool FrameWriter::writeThroughScaler(const Picture& picture, const FrameTarget& target) {
    const bool bgra = target.layout == FrameTarget::Layout::Bgra32;
    const AVPixelFormat out = bgra ? AV_PIX_FMT_BGRA : AV_PIX_FMT_BGR24;
    scaler_ = sws_getCachedContext(scaler_, picture.width, picture.height, static_cast<AVPixelFormat>(picture.format),
                                   target.width, target.height, out, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!scaler_) return false;
    const bool direct = !target.mirrored && !target.oneField && target.width % 16 == 0;
    const int rowBytes = target.width * target.bytesPerPixel();
    uint8_t* dst[4] = {nullptr, nullptr, nullptr, nullptr};
    int dstStride[4] = {0, 0, 0, 0};
    if (direct) {
        dst[0] = target.bottomUp ? target.pixels + static_cast<ptrdiff_t>(target.height - 1) * target.rowBytes
                                 : target.pixels;
        dstStride[0] = target.bottomUp ? -target.rowBytes : target.rowBytes;
    } else {
        const size_t bytes = static_cast<size_t>(rowBytes) * static_cast<size_t>(target.height) + 16 * 4;
        if (scratch_.size() < bytes) scratch_.resize(bytes);  // once per size
        dst[0] = scratch_.data();
        dstStride[0] = rowBytes;
    }
    sws_scale(scaler_, picture.planes, picture.strides, 0, picture.height, dst, dstStride);
    if (direct) return true;
    Picture scaled;
    scaled.format = bgra ? AV_PIX_FMT_BGRA : AV_PIX_FMT_BGR24;
    scaled.planes[0] = scratch_.data();
    scaled.strides[0] = rowBytes;
    scaled.width = target.width;
    scaled.height = target.height;
    return write(scaled, target);
}

}  // namespace media
}  // namespace vexa
