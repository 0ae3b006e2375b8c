// One pass from a decoded picture into a FrameTarget: every source format
// lands turned as the target asks (mirrored, last row first, one field), in
// both layouts, without touching memory outside the picture; colours match
// what swscale gave before.
#include "FrameWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/pixdesc.h>
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

namespace vexa {
namespace media {
namespace {

// A picture in a given format whose planes the test owns (with room after
// each plane: swscale reads a little past a plane, as decoders allow for).
struct OwnedPicture {
    std::vector<uint8_t> planes[3];
    FrameWriter::Picture picture;
};

struct FormatInfo {
    AVPixelFormat format;
    bool videoRange;  // luma 16..235 spreads to 0..255
};

const FormatInfo kFormats[] = {
    {AV_PIX_FMT_YUYV422, true},  {AV_PIX_FMT_UYVY422, true}, {AV_PIX_FMT_YVYU422, true},
    {AV_PIX_FMT_YUV420P, true},  {AV_PIX_FMT_YUVJ422P, false}, {AV_PIX_FMT_YUV444P, true},
    {AV_PIX_FMT_NV12, true},     {AV_PIX_FMT_GRAY8, false},   {AV_PIX_FMT_BGRA, false},
    {AV_PIX_FMT_RGB24, false},   {AV_PIX_FMT_0RGB, false},
    // Not converted by the writer's own kernels: through swscale.
    {AV_PIX_FMT_YUV410P, true},
};

// Builds a width x height picture whose luma (grey level) is luma(x, y) and
// whose chroma is (cb, cr) everywhere.
template <typename Luma>
OwnedPicture makePicture(AVPixelFormat format, int w, int h, Luma luma, uint8_t cb = 128, uint8_t cr = 128) {
    OwnedPicture o;
    FrameWriter::Picture& p = o.picture;
    for (auto& plane : o.planes) plane.reserve(static_cast<size_t>(w) * h * 4 + 64);
    p.format = format;
    p.width = w;
    p.height = h;
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(format);
    const bool packed422 = format == AV_PIX_FMT_YUYV422 || format == AV_PIX_FMT_UYVY422 || format == AV_PIX_FMT_YVYU422;
    if (packed422) {
        const int pairs = (w + 1) / 2;
        o.planes[0].resize(static_cast<size_t>(pairs) * 4 * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < pairs * 2; ++x) {
                uint8_t* pair = &o.planes[0][(static_cast<size_t>(y) * pairs + x / 2) * 4];
                const uint8_t l = luma(x < w ? x : w - 1, y);
                if (format == AV_PIX_FMT_YUYV422) {
                    pair[x % 2 ? 2 : 0] = l;
                    pair[1] = cb;
                    pair[3] = cr;
                } else if (format == AV_PIX_FMT_UYVY422) {
                    pair[x % 2 ? 3 : 1] = l;
                    pair[0] = cb;
                    pair[2] = cr;
                } else {
                    pair[x % 2 ? 2 : 0] = l;
                    pair[3] = cb;
                    pair[1] = cr;
                }
            }
        p.planes[0] = o.planes[0].data();
        p.strides[0] = pairs * 4;
        return o;
    }
    if (d->flags & AV_PIX_FMT_FLAG_RGB || format == AV_PIX_FMT_GRAY8) {
        const int bpp = format == AV_PIX_FMT_GRAY8 ? 1 : format == AV_PIX_FMT_RGB24 ? 3 : 4;
        o.planes[0].resize(static_cast<size_t>(w) * bpp * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < bpp; ++c) o.planes[0][(static_cast<size_t>(y) * w + x) * bpp + c] = luma(x, y);
        if (format == AV_PIX_FMT_BGRA)
            for (size_t i = 3; i < o.planes[0].size(); i += 4) o.planes[0][i] = 255;
        p.planes[0] = o.planes[0].data();
        p.strides[0] = w * bpp;
        return o;
    }
    // Planar and semi-planar YUV.
    o.planes[0].resize(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) o.planes[0][static_cast<size_t>(y) * w + x] = luma(x, y);
    p.planes[0] = o.planes[0].data();
    p.strides[0] = w;
    const int cw = AV_CEIL_RSHIFT(w, d->log2_chroma_w), ch = AV_CEIL_RSHIFT(h, d->log2_chroma_h);
    if (format == AV_PIX_FMT_NV12) {
        o.planes[1].resize(static_cast<size_t>(cw) * 2 * ch);
        for (size_t i = 0; i < o.planes[1].size(); i += 2) {
            o.planes[1][i] = cb;
            o.planes[1][i + 1] = cr;
        }
        p.planes[1] = o.planes[1].data();
        p.strides[1] = cw * 2;
        return o;
    }
    o.planes[1].assign(static_cast<size_t>(cw) * ch, cb);
    o.planes[2].assign(static_cast<size_t>(cw) * ch, cr);
    for (int i = 1; i < 3; ++i) {
        p.planes[i] = o.planes[i].data();
        p.strides[i] = cw;
    }
    return o;
}

// Grey levels 9 apart tell every column (or row) of the picture apart.
uint8_t labelLuma(int label) { return static_cast<uint8_t>(20 + 9 * label); }
int expectedLevel(int label, bool videoRange) {
    const double l = labelLuma(label);
    return videoRange ? static_cast<int>(std::lround((l - 16.0) * 255.0 / 219.0)) : static_cast<int>(l);
}

struct Turn {
    bool mirrored, bottomUp, oneField;
};
const Turn kTurns[] = {{false, false, false}, {true, false, false}, {false, true, false}, {true, true, false},
                       {false, false, true},  {true, false, true},  {false, true, true},  {true, true, true}};

std::string describe(AVPixelFormat f, FrameTarget::Layout l, const Turn& t) {
    return std::string(av_get_pix_fmt_name(f)) + (l == FrameTarget::Layout::Bgra32 ? " BGRA" : " BGR") +
           (t.mirrored ? " mirrored" : "") + (t.bottomUp ? " bottom-up" : "") + (t.oneField ? " one field" : "");
}

TEST(FrameWriter, EveryFormatLandsTurnedAsTheTargetAsksAndTouchesNothingElse) {
    // 21 columns: two blocks of eight pixels, a pair and a single one left over.
    const int w = 21, h = 10, pad = 5;
    const uint8_t guard = 0xAB;
    for (const FormatInfo& f : kFormats)
        for (const FrameTarget::Layout layout : {FrameTarget::Layout::Bgra32, FrameTarget::Layout::Bgr24})
            for (const Turn& turn : kTurns)
                for (const bool columns : {true, false}) {
                    SCOPED_TRACE(describe(f.format, layout, turn) + (columns ? ", columns" : ", rows"));
                    const OwnedPicture source = makePicture(f.format, w, h, [columns](int x, int y) {
                        return labelLuma(columns ? x : y);
                    });
                    FrameTarget t;
                    t.layout = layout;
                    t.width = w;
                    t.height = h;
                    t.rowBytes = w * t.bytesPerPixel() + pad;
                    t.mirrored = turn.mirrored;
                    t.bottomUp = turn.bottomUp;
                    t.oneField = turn.oneField;
                    const int rows = t.storedRows();
                    std::vector<uint8_t> memory(static_cast<size_t>(t.rowBytes) * (rows + 1), guard);
                    t.pixels = memory.data();
                    FrameWriter writer;
                    ASSERT_TRUE(writer.write(source.picture, t));
                    int wrong = 0;
                    for (int i = 0; i < rows; ++i) {
                        const int k = turn.bottomUp ? rows - 1 - i : i;
                        const int pictureRow = turn.oneField ? 2 * k + 1 : k;
                        for (int j = 0; j < w; ++j) {
                            const int pictureColumn = turn.mirrored ? w - 1 - j : j;
                            const int expected = expectedLevel(columns ? pictureColumn : pictureRow, f.videoRange);
                            const uint8_t* px = &memory[static_cast<size_t>(i) * t.rowBytes + j * t.bytesPerPixel()];
                            for (int c = 0; c < 3; ++c)
                                if (std::abs(px[c] - expected) > 3 && ++wrong <= 3)
                                    ADD_FAILURE() << "stored pixel " << j << "," << i << " channel " << c << " is "
                                                  << int(px[c]) << ", want " << expected;
                            if (layout == FrameTarget::Layout::Bgra32) EXPECT_EQ(px[3], 255);
                        }
                        for (int b = w * t.bytesPerPixel(); b < t.rowBytes; ++b)
                            EXPECT_EQ(memory[static_cast<size_t>(i) * t.rowBytes + b], guard) << "past row " << i;
                    }
                    for (int b = 0; b < t.rowBytes; ++b)
                        ASSERT_EQ(memory[static_cast<size_t>(rows) * t.rowBytes + b], guard) << "past the last row";
                    EXPECT_EQ(wrong, 0);
                }
}

// A deterministic noise of luma values.
uint8_t noise(int x, int y) { return static_cast<uint8_t>((x * 7919 + y * 104729 + x * y * 31) % 251); }

TEST(FrameWriter, ColoursMatchWhatSwscaleGaveWithinThreeLevels) {
    const int w = 48, h = 8;  // whole blocks for swscale, which writes past other widths
    const uint8_t chroma[] = {16, 60, 128, 200, 240};
    for (const AVPixelFormat format : {AV_PIX_FMT_YUYV422, AV_PIX_FMT_UYVY422, AV_PIX_FMT_YUV420P, AV_PIX_FMT_YUV422P,
                                       AV_PIX_FMT_YUVJ422P, AV_PIX_FMT_YUVJ420P, AV_PIX_FMT_YUV444P, AV_PIX_FMT_NV12})
        for (const FrameTarget::Layout layout : {FrameTarget::Layout::Bgra32, FrameTarget::Layout::Bgr24})
            for (const uint8_t cb : chroma)
                for (const uint8_t cr : chroma) {
                    SCOPED_TRACE(std::string(av_get_pix_fmt_name(format)) + " cb " + std::to_string(cb) + " cr " +
                                 std::to_string(cr));
                    const OwnedPicture source = makePicture(format, w, h, noise, cb, cr);
                    const int bpp = layout == FrameTarget::Layout::Bgra32 ? 4 : 3;
                    // The writer's own kernels (mirrored, so swscale cannot do it for them).
                    std::vector<uint8_t> mine(static_cast<size_t>(w) * h * bpp);
                    FrameTarget t;
                    t.pixels = mine.data();
                    t.rowBytes = w * bpp;
                    t.width = w;
                    t.height = h;
                    t.layout = layout;
                    t.mirrored = true;
                    FrameWriter writer;
                    ASSERT_TRUE(writer.write(source.picture, t));
                    std::vector<uint8_t> theirs(mine.size());
                    SwsContext* sws = sws_getContext(w, h, format, w, h, bpp == 4 ? AV_PIX_FMT_BGRA : AV_PIX_FMT_BGR24,
                                                     SWS_POINT, nullptr, nullptr, nullptr);
                    ASSERT_NE(sws, nullptr);
                    uint8_t* dst[4] = {theirs.data(), nullptr, nullptr, nullptr};
                    const int dstStride[4] = {w * bpp, 0, 0, 0};
                    sws_scale(sws, source.picture.planes, source.picture.strides, 0, h, dst, dstStride);
                    sws_freeContext(sws);
                    int worst = 0;
                    for (int y = 0; y < h; ++y)
                        for (int x = 0; x < w; ++x)
                            for (int c = 0; c < 3; ++c) {
                                const int a = mine[(static_cast<size_t>(y) * w + (w - 1 - x)) * bpp + c];
                                const int b = theirs[(static_cast<size_t>(y) * w + x) * bpp + c];
                                worst = std::max(worst, std::abs(a - b));
                            }
                    EXPECT_LE(worst, 3);  // swscale rounds its packed 4:2:2 path differently
                }
}

TEST(FrameWriter, APictureOfAnotherSizeIsScaledToTheTarget) {
    const OwnedPicture source = makePicture(AV_PIX_FMT_YUV420P, 16, 8, [](int x, int) { return labelLuma(x < 8 ? 0 : 15); });
    std::vector<uint8_t> memory(32 * 16 * 4);
    FrameTarget t;
    t.pixels = memory.data();
    t.rowBytes = 32 * 4;
    t.width = 32;
    t.height = 16;
    t.mirrored = true;
    FrameWriter writer;
    ASSERT_TRUE(writer.write(source.picture, t));
    // Mirrored: the picture's bright right half is on the left of every row.
    for (int y = 0; y < 16; ++y) {
        EXPECT_NEAR(memory[static_cast<size_t>(y) * t.rowBytes + 1], expectedLevel(15, true), 3);
        EXPECT_NEAR(memory[static_cast<size_t>(y) * t.rowBytes + 31 * 4 + 1], expectedLevel(0, true), 3);
    }
}

}  // namespace
}  // namespace media
}  // namespace vexa
