// Built-in marker pictures: enough of them, each telling its four rotations apart,
// all different from one another, with strong contrast, as a 16 x 16 pattern sampler
// would see them.

#include <gtest/gtest.h>

#include <cmath>

#include "MarkerArt.h"
#include "Resampler.h"

using vxtools::Image;
using vxtools::MarkerArt;

namespace {

using Grid = std::vector<double>;  // 16 x 16 grey

Grid grey16(const Image& img) {
    const Image s = vxtools::Resampler::scale(img, 16, 16);
    Grid g(256);
    for (int i = 0; i < 256; ++i) {
        const uint8_t* p = s.pixel(i % 16, i / 16);
        g[i] = (p[0] + p[1] + p[2]) / 3.0;
    }
    return g;
}

Grid rotate(const Grid& g) {  // a quarter turn clockwise
    Grid r(256);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) r[y * 16 + x] = g[(15 - x) * 16 + y];
    return r;
}

double correlation(const Grid& a, const Grid& b) {
    double ma = 0, mb = 0;
    for (int i = 0; i < 256; ++i) {
        ma += a[i] / 256;
        mb += b[i] / 256;
    }
    double sab = 0, saa = 0, sbb = 0;
    for (int i = 0; i < 256; ++i) {
        sab += (a[i] - ma) * (b[i] - mb);
        saa += (a[i] - ma) * (a[i] - ma);
        sbb += (b[i] - mb) * (b[i] - mb);
    }
    return sab / std::sqrt(saa * sbb);
}

std::vector<Grid> allGrids() {
    std::vector<Grid> grids;
    for (const auto& name : MarkerArt::names()) {
        Image img;
        std::string error;
        EXPECT_TRUE(MarkerArt::draw(name, 256, img, error)) << error;
        grids.push_back(grey16(img));
    }
    return grids;
}

TEST(MarkerArt, EveryDesignTellsItsRotationsApart) {
    ASSERT_GE(MarkerArt::names().size(), 6u);
    const auto grids = allGrids();
    for (size_t i = 0; i < grids.size(); ++i) {
        Grid r = grids[i];
        for (int k = 1; k < 4; ++k) {
            r = rotate(r);
            EXPECT_LT(correlation(grids[i], r), 0.5) << MarkerArt::names()[i] << " turned " << k * 90;
        }
    }
}

TEST(MarkerArt, DesignsDifferFromEachOtherInEveryRotation) {
    const auto grids = allGrids();
    for (size_t i = 0; i < grids.size(); ++i)
        for (size_t j = i + 1; j < grids.size(); ++j) {
            Grid r = grids[j];
            for (int k = 0; k < 4; ++k, r = rotate(r))
                EXPECT_LT(correlation(grids[i], r), 0.7) << MarkerArt::names()[i] << " vs " << MarkerArt::names()[j];
        }
}

TEST(MarkerArt, DesignsHaveStrongContrast) {
    for (const auto& g : allGrids()) {
        double lo = 255, hi = 0;
        for (double v : g) {
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        EXPECT_GT(hi - lo, 150);
    }
}

TEST(MarkerArt, UnknownNameAndSources) {
    Image img;
    std::string error;
    EXPECT_FALSE(MarkerArt::draw("hiro", 64, img, error));
    EXPECT_EQ(error, "unknown design 'hiro' (expected one of: corvane, glyph-f, arrow, sail, glyph-r, glyph-k, steps, quad)");
    EXPECT_TRUE(MarkerArt::load("design:sail", 40, img, error));
    EXPECT_EQ(img.width(), 40);
    EXPECT_FALSE(MarkerArt::load("/nonexistent/inner.png", 40, img, error));
    EXPECT_EQ(error, "cannot open '/nonexistent/inner.png': No such file or directory");
}

}  // namespace
