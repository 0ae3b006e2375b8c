// Every pixel format of the tracker's table gives the same detections;
// malformed frames are refused with a clear message.
#include <gtest/gtest.h>

#include <cstring>

#include "TestScene.h"

using namespace vxttest;
using vxt::PixelFormat;

namespace {

struct Scene {
    TestPatterns pats{3};
    vxtbench::FrameRenderer r{320, 240};
    std::vector<Truth> truth;
    Scene() {
        r.fill(200);
        const double place[3][4] = {{0, 80, 80, 70}, {1, 230, 90, 80}, {2, 160, 180, 60}};
        for (auto& p : place) {
            Truth t;
            t.patternId = static_cast<int>(p[0]);
            vxtbench::squareCorners(p[1], p[2], p[3], 25.0 * p[0] + 10, t.corners);
            r.drawMarker(pats.images[t.patternId], t.corners, vxtbench::MarkerStyle());
            truth.push_back(t);
        }
    }
};

void expectAllFound(const vxt::Detector& d, const Scene& s, const char* what) {
    ASSERT_EQ(d.markerCount(), 3) << what;
    for (const Truth& t : s.truth) {
        const vxt::MarkerInfo* m = findResult(d, t);
        ASSERT_NE(m, nullptr) << what;
        EXPECT_EQ(m->id, t.patternId) << what;
        EXPECT_GT(m->cf, 0.85) << what;
        EXPECT_LT(cornerError(*m, t), 0.15) << what;
    }
}

}  // namespace

TEST(PixelFormats, AllNineFormatsDetectTheSameMarkers) {
    Scene s;
    vxt::Detector d(320, 240);
    d.attachPatternSet(&s.pats.set);
    for (int code = 1; code <= 9; ++code) {
        std::vector<std::uint8_t> px;
        s.r.toFormat(static_cast<PixelFormat>(code), px);
        ASSERT_TRUE(d.setPixelFormat(code));
        for (int mode : {0, 1}) {  // colour and grey templates
            ASSERT_TRUE(d.setPatternDetectionMode(mode));
            ASSERT_TRUE(d.detect(px.data()).ok());
            expectAllFound(d, s, ("format " + std::to_string(code) + " mode " + std::to_string(mode)).c_str());
        }
    }
}

TEST(PixelFormats, PaddedRowsAreHonoured) {
    Scene s;
    std::vector<std::uint8_t> px;
    s.r.toFormat(PixelFormat::RGBA, px);
    const int stride = 320 * 4 + 52;
    std::vector<std::uint8_t> padded(static_cast<std::size_t>(stride) * 240, 7);
    for (int y = 0; y < 240; ++y) std::memcpy(&padded[static_cast<std::size_t>(y) * stride], &px[y * 320 * 4], 320 * 4);
    vxt::ImageView f{padded.data(), 320, 240, stride, PixelFormat::RGBA};
    vxt::Detector d(320, 240);
    d.attachPatternSet(&s.pats.set);
    ASSERT_TRUE(d.detect(f).ok());
    expectAllFound(d, s, "padded RGBA");
}

TEST(PixelFormats, MalformedFramesAreRefused) {
    std::vector<std::uint8_t> px(320 * 240 * 4, 200);
    struct Case {
        vxt::ImageView frame;
        const char* message;
    };
    const Case cases[] = {
        {{nullptr, 320, 240, 0, PixelFormat::BGR}, "frame has no pixel data"},
        {{px.data(), 320, 240, 0, PixelFormat::Invalid}, "frame has an invalid pixel format"},
        {{px.data(), 320, 240, 0, static_cast<PixelFormat>(12)}, "frame has an invalid pixel format"},
        {{px.data(), 4, 240, 0, PixelFormat::BGR}, "frame size must be 8..16384 pixels per side, found 4 x 240"},
        {{px.data(), 320, -5, 0, PixelFormat::BGR}, "frame size must be 8..16384 pixels per side, found 320 x -5"},
        {{px.data(), 320, 240, 100, PixelFormat::BGR}, "frame row stride 100 is shorter than a row of 960 bytes"},
        {{px.data(), 319, 240, 0, PixelFormat::UYVY}, "4:2:2 frames need an even width, found 319"},
    };
    vxt::Detector d(320, 240);
    for (const Case& c : cases) {
        vxt::Status st = d.detect(c.frame);
        EXPECT_FALSE(st.ok());
        EXPECT_EQ(st.message(), c.message);
    }
    // A refused frame leaves the previous results in place.
    ASSERT_TRUE(d.detect(px.data()).ok());
    EXPECT_EQ(d.markerCount(), 0);
}

TEST(PixelFormats, GreyImageIsTheLumaOfEveryPixel) {
    // Odd sizes exercise the vector loops and their scalar tails.
    const int w = 37, h = 9;
    std::vector<std::uint8_t> rgb(w * h * 3);
    std::uint32_t seed = 99;
    for (auto& v : rgb) {
        seed = seed * 1664525u + 1013904223u;
        v = static_cast<std::uint8_t>(seed >> 24);
    }
    struct Layout {
        PixelFormat f;
        int bpp, r, g, b;
    };
    const Layout layouts[] = {{PixelFormat::RGB, 3, 0, 1, 2},  {PixelFormat::BGR, 3, 2, 1, 0},
                              {PixelFormat::RGBA, 4, 0, 1, 2}, {PixelFormat::BGRA, 4, 2, 1, 0},
                              {PixelFormat::ABGR, 4, 3, 2, 1}, {PixelFormat::ARGB, 4, 1, 2, 3}};
    for (const Layout& l : layouts) {
        std::vector<std::uint8_t> px(w * h * l.bpp, 255);
        for (int i = 0; i < w * h; ++i) {
            px[i * l.bpp + l.r] = rgb[i * 3];
            px[i * l.bpp + l.g] = rgb[i * 3 + 1];
            px[i * l.bpp + l.b] = rgb[i * 3 + 2];
        }
        vxt::Detector d(w, h);
        vxt::ImageView f{px.data(), w, h, 0, l.f};
        ASSERT_TRUE(d.detect(f).ok());
        for (int i = 0; i < w * h; ++i) {
            int expect = (77 * rgb[i * 3] + 150 * rgb[i * 3 + 1] + 29 * rgb[i * 3 + 2] + 128) >> 8;
            ASSERT_EQ(d.greyImage().at(i % w, i / w), expect) << "format " << static_cast<int>(l.f) << " pixel " << i;
        }
    }
}
