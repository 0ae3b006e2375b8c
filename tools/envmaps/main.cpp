// vexamark-envmaps: makes the effect shaders' environment maps, the bubbles'
// rainbow texture and the effects demo's models and maps, all from our own
// studio description (see Studio.h and EffectDemo.h).
//
//   vexamark-envmaps maps <folder>   shaders/EnvMaps/*.bmp and shaders/textures/rainbow.jpg
//   vexamark-envmaps demo <folder>   models/effects/*: demo meshes, gloss and diffuse maps
//   vexamark-envmaps --help | --version
//
// Folders are created as needed; files are written with osgDB.

#include "EffectDemo.h"
#include "Studio.h"

#include <osgDB/FileNameUtils>
#include <osgDB/FileUtils>
#include <osgDB/WriteFile>

#include <cstdio>
#include <string>

namespace
{
int usage()
{
    std::fprintf(stderr, "usage: vexamark-envmaps maps <folder>\n       vexamark-envmaps demo <folder>\n");
    return 2;
}

bool writeImage(osg::Image* image, const std::string& file)
{
    osg::ref_ptr<osg::Image> keep = image;
    osgDB::makeDirectoryForFile(file);
    if (osgDB::writeImageFile(*image, file)) return true;
    std::fprintf(stderr, "vexamark-envmaps: could not write %s\n", file.c_str());
    return false;
}

bool writeNode(osg::Node* node, const std::string& file)
{
    osg::ref_ptr<osg::Node> keep = node;
    osgDB::makeDirectoryForFile(file);
    osg::ref_ptr<osgDB::Options> options = new osgDB::Options("WriteImageHint=IncludeData");
    if (osgDB::writeNodeFile(*node, file, options.get())) return true;
    std::fprintf(stderr, "vexamark-envmaps: could not write %s\n", file.c_str());
    return false;
}

int writeMaps(const std::string& folder)
{
    using namespace studio;
    const std::string maps = folder + "/shaders/EnvMaps/";
    const FloatMap full = Sharp(512, 256, false);
    const FloatMap fullSmall = Sharp(128, 64, false);
    const FloatMap lights = Sharp(256, 128, true);
    const FloatMap lightsSmall = Sharp(128, 64, true);
    bool ok = writeImage(ToImage(full, 1.f), maps + "sharpSpec.bmp");
    ok = writeImage(ToImage(PhongBlur(fullSmall, 128, 64, 200.0), 1.f), maps + "spec200.bmp") && ok;
    ok = writeImage(ToImage(StreakBlur(Sharp(256, 128, false), 0.45, 0.03), 1.f), maps + "stdSpec.bmp") && ok;
    ok = writeImage(ToImage(PhongBlur(lights, 256, 128, 1500.0), 1.f), maps + "justSpec.bmp") && ok;
    ok = writeImage(ToImage(PhongBlur(lightsSmall, 128, 64, 40.0), 1.5f), maps + "sjSpec.bmp") && ok;
    ok = writeImage(ToImage(PhongBlur(Sharp(64, 32, false), 64, 32, 1.0), 1.6f), maps + "stdDiffuse.bmp") && ok;
    ok = writeImage(effectdemo::Rainbow(), folder + "/shaders/textures/rainbow.jpg") && ok;
    return ok ? 0 : 1;
}

int writeDemo(const std::string& folder)
{
    const std::string out = folder + "/models/effects/";
    bool ok = true;
    for (const effectdemo::Mesh& mesh : effectdemo::Meshes()) ok = writeNode(mesh.build(), out + mesh.fileName) && ok;
    for (int i = 0; i < effectdemo::kGridOrbs; ++i)
    {
        char name[32];
        std::snprintf(name, sizeof(name), "grid/orb%02d.ive", i);
        ok = writeNode(effectdemo::GridOrb(i), out + name) && ok;
    }
    ok = writeImage(effectdemo::GlossTiles(), out + "glossTiles.png") && ok;
    ok = writeImage(effectdemo::PaintedBands(), out + "paintedBands.png") && ok;
    return ok ? 0 : 1;
}
}

int main(int argc, char** argv)
{
    if (argc == 2 && std::string(argv[1]) == "--version")
    {
        std::printf("vexamark-envmaps %s\n", VEXAMARK_VERSION);
        return 0;
    }
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h"))
    {
        std::printf("usage: vexamark-envmaps maps <folder>\n       vexamark-envmaps demo <folder>\n");
        return 0;
    }
    if (argc != 3) return usage();
    const std::string command = argv[1], folder = argv[2];
    if (command == "maps") return writeMaps(folder);
    if (command == "demo") return writeDemo(folder);
    return usage();
}
