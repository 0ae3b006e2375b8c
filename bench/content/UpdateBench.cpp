// Hand-run benchmark: per-frame cost of CObjectManager::Update with 1, 8 and
// 32 markers in view, each carrying an object, and heap allocations per frame
// after warm-up. Prints figures; asserts nothing.
#include "CObjectManager.h"

#include "AllocationCounting.h"
#include "FrameRenderer.h"

#include "vxt/CameraParams.h"
#include "vxt/PatternImage.h"
#include "vxt/Pose34.h"

#include <osg/ShapeDrawable>
#include <osgDB/WriteFile>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>


namespace
{
const int kWidth = 1280, kHeight = 720;  // pixels: room for 32 markers

vxt::PatternImage picture(int seed)
{
    vxt::PatternImage p;
    unsigned state = 2654435761u * static_cast<unsigned>(seed + 7);
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c)
        {
            state = state * 1664525u + 1013904223u;
            const unsigned char v = (state >> 28) & 1 ? 20 : 235;
            for (int ch = 0; ch < 3; ++ch) p.at(r, c, ch) = v;
        }
    return p;
}

// A card `distance` mm away facing the camera at (x, y) mm.
vxt::Pose34 facing(double x, double y, double distance)
{
    vxt::Pose34 pose;
    pose.m[1][1] = -1.0;
    pose.m[2][2] = -1.0;
    pose.m[0][3] = x;
    pose.m[1][3] = y;
    pose.m[2][3] = distance;
    return pose;
}

void writeText(const std::string& path, const std::string& text)
{
    std::ofstream(path) << text;
}

double run(int markers, const std::string& folder)
{
    const vxt::CameraParams camera(kWidth, kHeight, 1100.0, 1100.0, kWidth / 2.0, kHeight / 2.0);
    camera.save(folder + "/camera.dat");
    osg::ref_ptr<osg::Geode> box = new osg::Geode;
    box->addDrawable(new osg::ShapeDrawable(new osg::Box(osg::Vec3(0, 0, 10), 20.f)));
    osgDB::writeNodeFile(*box, folder + "/box.osgt");
    std::string data, list = "<DAT>\n<ASSET_FILE> " + folder + "/bench.dat\n</DAT>\n";
    vxtbench::FrameRenderer frame(kWidth, kHeight);
    frame.fill(200.f);
    vxtbench::MarkerStyle style;
    style.supersample = 2;
    const int columns = 8;
    for (int i = 0; i < markers; ++i)
    {
        const vxt::PatternImage p = picture(i);
        const std::string patt = folder + "/m" + std::to_string(i) + ".patt";
        p.save(patt);
        data += "<VEXA_MARKER>\n<FILE> " + patt + "\n<SIZE> 40\n<NAME> m" + std::to_string(i) + "\n</VEXA_MARKER>\n";
        data += "<ENTITY>\n<NAME> o" + std::to_string(i) + "\n<MARKER> m" + std::to_string(i) +
                "\n<MODEL>\n<FILE> " + folder + "/box.osgt\n</MODEL>\n</ENTITY>\n";
        double corners[4][2];
        frame.drawMarkerAt(p, camera, facing(-280.0 + 80.0 * (i % columns), -120.0 + 80.0 * (i / columns), 900.0),
                           40.0, style, corners);
    }
    writeText(folder + "/bench.dat", data);
    writeText(folder + "/list.dat", list);

    CObjectManager manager;
    manager.SetCameraParamFile(folder + "/camera.dat");
    manager.InitNewTricks(0, folder, kWidth, kHeight, kWidth, kHeight, nullptr, folder + "/list.dat", false);
    std::vector<std::uint8_t> bgr;
    frame.toFormat(vxt::PixelFormat::BGR, bgr);
    osg::ref_ptr<osg::Image> image = new osg::Image;
    image->allocateImage(kWidth, kHeight, 1, GL_BGR, GL_UNSIGNED_BYTE, 1);
    std::copy(bgr.begin(), bgr.end(), image->data());
    image->dirty();
    image->dirty();
    manager.GetTracker()->setImageSource(image.get());
    manager.UpdateTracker();

    for (int i = 0; i < 50; ++i) manager.Update(0.033f, 90);  // warm-up
    const int frames = 2000;
    std::vector<double> times;
    times.reserve(frames);
    const long before = AllocationCounting::news();
    for (int i = 0; i < frames; ++i)
    {
        const auto t0 = std::chrono::steady_clock::now();
        manager.Update(0.033f, 90);
        times.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
    }
    const double allocations = static_cast<double>(AllocationCounting::news() - before) / frames;
    std::sort(times.begin(), times.end());
    std::printf("%8d %10d %14.2f %18.2f\n", markers, manager.GetNumFoundMarkers(), times[times.size() / 2],
                allocations);
    return times[times.size() / 2];
}
}

int main()
{
    char pattern[] = "/tmp/vexamark-bench-XXXXXX";
    const char* folder = ::mkdtemp(pattern);
    if (!folder) return 1;
    std::printf("CObjectManager::Update per frame, markers in view each carrying an object\n");
    std::printf("%8s %10s %14s %18s\n", "markers", "in view", "median us", "allocations/frame");
    for (int markers : {1, 8, 32}) run(markers, folder);
    std::system((std::string("rm -rf '") + folder + "'").c_str());
    return 0;
}
