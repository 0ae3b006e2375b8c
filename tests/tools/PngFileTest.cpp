// PNG reading and writing: round trips, text chunks, and broken files rejected with
// one clear line.

#include <gtest/gtest.h>

#include <cairo.h>

#include "PngFile.h"
#include "ToolTestSupport.h"

using vxtools::Image;
using vxtools::PngFile;

namespace {

Image gradient(int w, int h) {
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.set(x, y, uint8_t(x * 7), uint8_t(y * 11), uint8_t(x ^ y));
    return img;
}

TEST(PngFile, RoundTripKeepsPixelsAndText) {
    vxtest::TempDir dir;
    const Image img = gradient(37, 23);
    std::string error;
    ASSERT_TRUE(PngFile::write(dir.file("a.png"), img, error, {{"vexamark-marker-box", "8 8 64"}})) << error;
    Image back;
    PngFile::TextChunks text;
    ASSERT_TRUE(PngFile::read(dir.file("a.png"), back, error, &text)) << error;
    EXPECT_EQ(back.width(), 37);
    EXPECT_EQ(back.height(), 23);
    EXPECT_EQ(back.data(), img.data());
    EXPECT_EQ(text["vexamark-marker-box"], "8 8 64");
}

TEST(PngFile, TransparencyReadsAsWhitePaper) {
    vxtest::TempDir dir;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 16, 16);  // fully transparent
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
    cairo_rectangle(cr, 0, 0, 8, 16);
    cairo_fill(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.5);  // half-transparent black over white: mid grey
    cairo_rectangle(cr, 8, 0, 4, 16);
    cairo_fill(cr);
    cairo_destroy(cr);
    ASSERT_EQ(cairo_surface_write_to_png(s, dir.file("alpha.png").c_str()), CAIRO_STATUS_SUCCESS);
    cairo_surface_destroy(s);
    Image img;
    std::string error;
    ASSERT_TRUE(PngFile::read(dir.file("alpha.png"), img, error)) << error;
    EXPECT_EQ(img.pixel(2, 5)[0], 0);
    EXPECT_NEAR(img.pixel(9, 5)[0], 128, 2);
    EXPECT_EQ(img.pixel(14, 5)[0], 255);
    EXPECT_EQ(img.pixel(14, 5)[2], 255);
}

TEST(PngFile, BrokenFilesGiveOneClearLine) {
    vxtest::TempDir dir;
    std::string error;
    ASSERT_TRUE(PngFile::write(dir.file("good.png"), gradient(64, 64), error));
    const std::string good = vxtest::readFile(dir.file("good.png"));
    std::string corrupted = good;
    for (size_t i = 60; i < 90; ++i) corrupted[i] = char(0x5A);  // inside the image data
    struct Case {
        std::string name, bytes, expected;
    };
    const Case cases[] = {
        {"empty.png", "", "' is not a PNG file (expected the PNG signature, found an empty file)"},
        {"text.png", "hello, this is not a picture", "' is not a PNG file (expected the PNG signature, found other data)"},
        {"header-only.png", good.substr(0, 40), "' is a corrupt or truncated PNG file ("},
        {"half.png", good.substr(0, good.size() / 2), "' is a corrupt or truncated PNG file ("},
        {"corrupted.png", corrupted, "' is a corrupt or truncated PNG file ("},
    };
    for (const Case& c : cases) {
        vxtest::writeFile(dir.file(c.name), c.bytes);
        Image img;
        error.clear();
        EXPECT_FALSE(PngFile::read(dir.file(c.name), img, error)) << c.name;
        EXPECT_EQ(error.rfind("'" + dir.file(c.name) + c.expected, 0), 0u) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
    Image img;
    EXPECT_FALSE(PngFile::read(dir.file("missing.png"), img, error));
    EXPECT_EQ(error, "cannot open '" + dir.file("missing.png") + "': No such file or directory");
}

TEST(PngFile, FailedWriteLeavesExistingFileAlone) {
    vxtest::TempDir dir;
    std::string error;
    EXPECT_FALSE(PngFile::write(dir.file("no/such/folder/x.png"), gradient(4, 4), error));
    EXPECT_NE(error.find("cannot write '"), std::string::npos);
    vxtest::writeFile(dir.file("keep.png"), "old content");
    EXPECT_FALSE(PngFile::write(dir.file("keep.png"), Image(), error));
    EXPECT_EQ(vxtest::readFile(dir.file("keep.png")), "old content");
}

}  // namespace
