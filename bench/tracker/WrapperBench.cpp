#include "WrapperBench.h"

#include "AllocationCounting.h"
#include "FrameRenderer.h"

#include "SquareTracker.h"

#include "vxt/CameraParams.h"
#include "vxt/PatternImage.h"

#include <osg/Image>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace vxtbench {

namespace {

const int kWidth = 640, kHeight = 480;  // pixels
const int kMarkers = 4;                 // registered, never in view

enum class Scene { Empty, UnknownSquares };

const char* sceneName(Scene s) {
    return s == Scene::Empty ? "no squares" : "2 unknown squares";
}

// A fine checkerboard (two-cell squares, one of them tinted): unlike any of
// the block pictures of makeTestPattern, so it never passes for a marker.
vxt::PatternImage checkerPicture(int tint) {
    vxt::PatternImage p;
    for (int r = 0; r < vxt::PatternImage::kSize; ++r)
        for (int c = 0; c < vxt::PatternImage::kSize; ++c) {
            const bool dark = ((r / 2) + (c / 2)) % 2 == 0;
            p.at(r, c, 0) = dark ? 20 : 235;
            p.at(r, c, 1) = static_cast<unsigned char>(dark ? 20 + 60 * tint : 235);
            p.at(r, c, 2) = dark ? 20 : 235;
        }
    return p;
}

// Textured, noisy frames; with UnknownSquares each also holds two cards
// whose pictures the tracker does not know, so candidates reach the
// pattern stage on every pass of the search.
std::vector<std::vector<std::uint8_t>> drawFrames(Scene scene, int frames) {
    std::vector<std::vector<std::uint8_t>> out(static_cast<std::size_t>(frames));
    for (int f = 0; f < frames; ++f) {
        FrameRenderer r(kWidth, kHeight);
        r.texture(500u + static_cast<unsigned>(f), 110.f, 235.f);
        if (scene == Scene::UnknownSquares) {
            for (int k = 0; k < 2; ++k) {
                double c[4][2];
                squareCorners(170.0 + 300.0 * k, 200.0 + (15 * f) % 80, 90.0 + 10.0 * k, 12.0 * f + 40.0 * k, c);
                r.drawMarker(checkerPicture(k), c, MarkerStyle());
            }
        }
        r.noise(4.0, static_cast<unsigned>(f));
        r.toFormat(vxt::PixelFormat::BGR, out[static_cast<std::size_t>(f)]);
    }
    return out;
}

double median(std::vector<double>& v) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void runCase(const std::string& folder, Scene scene, bool useAuto, int maxAutoSteps,
             const std::vector<std::vector<std::uint8_t>>& frames, int rounds) {
    osg::ref_ptr<SquareTracker> tracker = new SquareTracker;
    if (!tracker->init(kWidth, kHeight, "MANUAL_LOAD", folder + "/camera.dat")) {
        std::printf("cannot set up the tracker in %s\n", folder.c_str());
        return;
    }
    const double centre[2] = {0.0, 0.0};
    for (int i = 0; i < kMarkers; ++i)
        tracker->addSingleMarker(folder + "/m" + std::to_string(i) + ".patt", 80.0, centre);
    tracker->BuildDebugLayer(osg::Vec2f(kWidth, kHeight));  // the overlay follows the largest square
    tracker->setUserThreshold(100);
    tracker->setUseAuto(useAuto);
    tracker->setMaxAutoSteps(maxAutoSteps);

    osg::ref_ptr<osg::Image> image = new osg::Image;
    image->allocateImage(kWidth, kHeight, 1, GL_BGR, GL_UNSIGNED_BYTE, 1);
    image->dirty();
    tracker->setImageSource(image.get());
    auto show = [&](const std::vector<std::uint8_t>& frame) {
        std::memcpy(image->data(), frame.data(), frame.size());
        image->dirty();
    };
    for (const auto& frame : frames) {  // warm-up: every frame once
        show(frame);
        tracker->update();
    }
    std::vector<double> ms;
    ms.reserve(frames.size() * static_cast<std::size_t>(rounds));
    long news = 0, mallocs = 0;
    int found = 0;
    for (int round = 0; round < rounds; ++round)
        for (const auto& frame : frames) {
            show(frame);
            const long n0 = AllocationCounting::news(), m0 = AllocationCounting::mallocs();
            const auto t0 = std::chrono::steady_clock::now();
            tracker->update();
            const auto t1 = std::chrono::steady_clock::now();
            news += AllocationCounting::news() - n0;
            mallocs += AllocationCounting::mallocs() - m0;
            ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
            for (int i = 0; i < tracker->getMarkerCount(); ++i) found += tracker->getMarker(i)->isValid() ? 1 : 0;
        }
    const double updates = static_cast<double>(ms.size());
    char setting[64];
    if (useAuto)
        std::snprintf(setting, sizeof setting, "auto, %d steps (%d passes)", maxAutoSteps, 2 * maxAutoSteps);
    else
        std::snprintf(setting, sizeof setting, "auto off");
    std::printf("%-20s %-26s %9.3f %9.3f %11.2f %11.2f %7d\n", sceneName(scene), setting, median(ms),
                *std::max_element(ms.begin(), ms.end()), news / updates, mallocs / updates, found);
    std::fflush(stdout);
}

}  // namespace

void runWrapperBench(int frames, int rounds) {
    char pattern[] = "/tmp/vexamark-tracker-bench-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    if (!made) {
        std::printf("cannot make a temporary folder\n");
        return;
    }
    const std::string folder = made;
    char previous[4096];
    if (!::getcwd(previous, sizeof previous)) previous[0] = '\0';
    // The engine's message log goes to Data/ under the current folder.
    ::mkdir((folder + "/Data").c_str(), 0755);
    if (::chdir(folder.c_str()) != 0) return;
    vxt::CameraParams(kWidth, kHeight, 700.0, 700.0, kWidth / 2.0, kHeight / 2.0).save(folder + "/camera.dat");
    for (int i = 0; i < kMarkers; ++i)
        makeTestPattern(100u + static_cast<unsigned>(i)).save(folder + "/m" + std::to_string(i) + ".patt");

    std::printf("\nTracker wrapper: SquareTracker::update at %d x %d on frames without its %d markers, %d frames x %d "
                "rounds\n",
                kWidth, kHeight, kMarkers, frames, rounds);
    std::printf("(each update is a new frame; with auto the threshold search runs on every one)\n");
    std::printf("%-20s %-26s %9s %9s %11s %11s %7s\n", "frames", "threshold", "median ms", "max ms", "new/update",
                "malloc/upd", "found");
    for (Scene scene : {Scene::Empty, Scene::UnknownSquares}) {
        const auto pixels = drawFrames(scene, frames);
        runCase(folder, scene, false, 4, pixels, rounds);
        runCase(folder, scene, true, 4, pixels, rounds);
        runCase(folder, scene, true, 20, pixels, rounds);
    }
    if (previous[0] && ::chdir(previous) != 0) std::printf("cannot return to %s\n", previous);
    std::system(("rm -rf '" + folder + "'").c_str());
}

}  // namespace vxtbench
