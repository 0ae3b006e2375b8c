// After warm-up a detection allocates nothing on the heap.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "TestScene.h"
#include "vxt/PoseEstimator.h"

namespace {
std::atomic<long> gAllocations{0};
}

void* operator new(std::size_t n) {
    ++gAllocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
// Every form that reaches the deletes below comes from malloc too (under
// AddressSanitizer the library's own non-throwing and array forms would not).
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    ++gAllocations;
    return std::malloc(n ? n : 1);
}
void* operator new[](std::size_t n) { return operator new(n); }
void* operator new[](std::size_t n, const std::nothrow_t& tag) noexcept { return operator new(n, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

TEST(Allocation, NoHeapAllocationPerFrameAfterWarmUp) {
    vxttest::TestPatterns pats(4);
    const vxt::CameraParams cam(640, 480, 700, 700, 320, 240);
    std::vector<std::vector<std::uint8_t>> frames;
    for (int f = 0; f < 3; ++f) {
        vxtbench::FrameRenderer r(640, 480);
        r.texture(f + 1, 120, 230);
        for (int i = 0; i < 4; ++i) {
            double c[4][2];
            vxtbench::squareCorners(95 + 150 * i, 150 + 60 * f + 30 * (i & 1), 50 + 6 * i, 17.0 * (i + f), c);
            r.drawMarker(pats.images[i], c, vxtbench::MarkerStyle());
        }
        r.noise(8.0, f);
        frames.emplace_back();
        r.toFormat(vxt::PixelFormat::BGR, frames.back());
    }
    for (int mode = 0; mode < 2; ++mode) {
        for (bool adaptive : {false, true}) {
            vxt::Detector d(cam);
            d.attachPatternSet(&pats.set);
            ASSERT_TRUE(d.setImageProcMode(mode));
            d.setAdaptiveThreshold(adaptive);
            vxt::PoseEstimator pe(cam);
            for (const auto& f : frames) ASSERT_TRUE(d.detect(f.data()).ok());  // warm-up
            long before = gAllocations.load();
            for (int round = 0; round < 3; ++round) {
                for (const auto& f : frames) {
                    ASSERT_TRUE(d.detect(f.data()).ok());
                    EXPECT_GE(d.markerCount(), 4);
                    for (int i = 0; i < d.markerCount(); ++i) {
                        vxt::Pose34 pose;
                        const double centre[2] = {0, 0};
                        pe.estimate(d.markers()[i], centre, 80, pose);
                    }
                }
            }
            EXPECT_EQ(gAllocations.load() - before, 0) << "mode " << mode << " adaptive " << adaptive;
        }
    }
}
