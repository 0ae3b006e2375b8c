// Printed marker geometry: quiet zone, black border of exactly 25 % of the marker
// width on each side, inner picture scaled into the inner half; area resampling.

#include <gtest/gtest.h>

#include "PrintedMarker.h"
#include "Resampler.h"

using vxtools::Image;
using vxtools::PrintedMarker;
using vxtools::Resampler;

namespace {

bool isBlack(const Image& img, int x, int y) {
    const uint8_t* p = img.pixel(x, y);
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
}

bool isWhite(const Image& img, int x, int y) {
    const uint8_t* p = img.pixel(x, y);
    return p[0] == 255 && p[1] == 255 && p[2] == 255;
}

TEST(PrintedMarker, BorderIsExactlyAQuarterOfTheWidthOnEachSide) {
    for (int size : {32, 64, 200, 512}) {
        Image inner(10, 10, 255);
        inner.fillRect(0, 0, 5, 5, 200, 30, 30);  // a red quarter marks the top-left
        const Image m = PrintedMarker::compose(inner, size);
        const int margin = size / 8, border = size / 4;
        ASSERT_EQ(m.width(), size + 2 * margin);
        ASSERT_EQ(m.height(), size + 2 * margin);
        int bx, by, side;
        PrintedMarker::markerBox(size, bx, by, side);
        EXPECT_EQ(bx, margin);
        EXPECT_EQ(side, size);
        for (int i = 0; i < m.width(); ++i) {  // scan the middle row and column
            const int mid = m.width() / 2;
            const bool inQuiet = i < margin || i >= margin + size;
            const bool inBorder = !inQuiet && (i < margin + border || i >= margin + size - border);
            if (inQuiet) {
                EXPECT_TRUE(isWhite(m, i, mid) && isWhite(m, mid, i)) << size << " at " << i;
            } else if (inBorder) {
                EXPECT_TRUE(isBlack(m, i, mid) && isBlack(m, mid, i)) << size << " at " << i;
            } else {
                EXPECT_FALSE(isBlack(m, i, mid)) << size << " at " << i;
            }
        }
        // The inner picture fills the inner half, upright: red at its top-left, white at bottom-right.
        const uint8_t* tl = m.pixel(margin + border + 1, margin + border + 1);
        EXPECT_EQ(tl[0], 200);
        EXPECT_EQ(tl[1], 30);
        EXPECT_TRUE(isWhite(m, margin + size - border - 2, margin + size - border - 2));
    }
}

TEST(PrintedMarker, SizeRulesAndBoxChunk) {
    EXPECT_EQ(PrintedMarker::checkSize(512), "");
    EXPECT_EQ(PrintedMarker::checkSize(30),
              "expected a marker width in pixels that is a multiple of 8 between 32 and 8192, found 30");
    EXPECT_NE(PrintedMarker::checkSize(100), "");
    EXPECT_NE(PrintedMarker::checkSize(16384), "");
    EXPECT_EQ(PrintedMarker::textChunks(512).at(PrintedMarker::kBoxKey), "64 64 512");
}

TEST(Resampler, AreaAveragingKeepsMeanAndEdges) {
    Image src(9, 9, 0);
    src.fillRect(0, 0, 3, 9, 255, 255, 255);  // left third white
    const Image up = Resampler::scale(src, 27, 27);
    EXPECT_EQ(up.pixel(8, 5)[0], 255);  // edge stays at a third of the width
    EXPECT_EQ(up.pixel(9, 5)[0], 0);
    const Image down = Resampler::scale(src, 2, 2);  // 4.5 px per output pixel: 3 of 4.5 white
    EXPECT_EQ(down.pixel(0, 0)[0], 170);
    EXPECT_EQ(down.pixel(1, 1)[0], 0);
    const Image fit = Resampler::fitSquare(Image(20, 10, 0), 10);  // wide picture: white bands above and below
    EXPECT_EQ(fit.pixel(5, 0)[0], 255);
    EXPECT_EQ(fit.pixel(5, 5)[0], 0);
    EXPECT_EQ(fit.pixel(5, 9)[0], 255);
}

}  // namespace
