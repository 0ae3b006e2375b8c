// The frame number drawn by the synthesiser's frame code reads back from
// every frame of a clip, in either row order, and only where it was drawn.

#include <gtest/gtest.h>

#include "FrameCode.h"
#include "PngFile.h"
#include "SynthRun.h"
#include "ToolTestSupport.h"

using namespace vxsynth;

namespace {

int readTopDown(const vxtools::Image& picture) {
    return FrameCode::read(picture.data().data(), picture.width(), picture.height(), 3, picture.width() * 3, false);
}

TEST(FrameCode, NumbersReadBackInBothRowOrdersAndWrap) {
    for (int number : {0, 1, 5, 1000, 2730, 4095, 4096 + 17}) {
        vxtools::Image picture(320, 240, 200);
        FrameCode::draw(picture, number);
        EXPECT_EQ(readTopDown(picture), number % 4096) << number;
        // The same picture stored last row first, as OpenGL reads a window.
        std::vector<uint8_t> flipped(picture.data().size());
        const size_t row = static_cast<size_t>(picture.width()) * 3;
        for (int y = 0; y < picture.height(); ++y)
            std::copy_n(&picture.data()[y * row], row, &flipped[(picture.height() - 1 - y) * row]);
        EXPECT_EQ(FrameCode::read(flipped.data(), 320, 240, 3, static_cast<int>(row), true), number % 4096) << number;
    }
}

TEST(FrameCode, TooSmallPicturesReadAsNothing) {
    std::vector<uint8_t> pixels(100 * 10 * 4, 255);
    EXPECT_EQ(FrameCode::read(pixels.data(), 100, 10, 4, 400, false), -1);
    EXPECT_EQ(FrameCode::read(nullptr, 640, 480, 3, 1920, false), -1);
}

TEST(FrameCode, EveryFrameOfAClipCarriesItsNumberAndTheRestIsUntouched) {
    vxtest::TempDir with, without;
    std::string error;
    for (auto* dir : {&with, &without}) {
        SynthScene scene;
        scene.width = 320;
        scene.height = 240;
        scene.frames = 3;
        scene.frameCode = dir == &with;
        MarkerSpec m;
        m.name = "sail";
        m.source = "design:sail";
        scene.markers.push_back(m);
        SynthRun run(scene);
        ASSERT_TRUE(run.prepare(error)) << error;
        ASSERT_TRUE(run.run({"", dir->path(), "", true}, error)) << error;
    }
    for (int f = 0; f < 3; ++f) {
        const std::string name = "/frame_00000" + std::to_string(f) + ".png";
        vxtools::Image coded, plain;
        ASSERT_TRUE(vxtools::PngFile::read(with.path() + name, coded, error)) << error;
        ASSERT_TRUE(vxtools::PngFile::read(without.path() + name, plain, error)) << error;
        EXPECT_EQ(readTopDown(coded), f);
        // Below the band the pictures are the same.
        for (int y = FrameCode::height(); y < coded.height(); y += 7)
            for (int x = 0; x < coded.width(); x += 5)
                ASSERT_EQ(coded.pixel(x, y)[0], plain.pixel(x, y)[0]) << x << "," << y;
    }
}

}  // namespace
