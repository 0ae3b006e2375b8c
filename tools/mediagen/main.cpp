// vexamark-mediagen: writes the media demo content.
//
//   vexamark-mediagen all <folder>      everything into <folder>/media (the working folder's "models")
//   vexamark-mediagen clip <file> [--size W H] [--frames N] [--silent]
//                                       the green-screen clip alone (default 640 x 480, 150 frames, with sound)
//   vexamark-mediagen --help | --version
//
// "all" writes media/studio.mp4 (the green-screen clip), media/comet.osgt
// (a comet circling on the transform "Comet") and media/screen.osgt (a
// screen to show a video material on).

#include "MediaModels.h"
#include "StudioClip.h"

#include <osgDB/FileUtils>
#include <osgDB/WriteFile>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{
int usage(FILE* to, int code)
{
    std::fprintf(to,
                 "usage: vexamark-mediagen all <folder>\n"
                 "       vexamark-mediagen clip <file> [--size W H] [--frames N] [--silent]\n"
                 "       vexamark-mediagen --help | --version\n"
                 "Writes the media demo content: a green-screen clip of our own (studio green\n"
                 "0 178 64), a comet model for a particle trail and a screen model for a video\n"
                 "material. \"all\" writes <folder>/media/studio.mp4, comet.osgt and screen.osgt.\n");
    return code;
}

bool writeClip(const std::string& file, const studio::ClipShape& shape)
{
    const std::string error = studio::WriteClip(file, shape);
    if (error.empty()) return true;
    std::fprintf(stderr, "vexamark-mediagen: could not write %s: %s\n", file.c_str(), error.c_str());
    return false;
}

bool writeModel(osg::Node* node, const std::string& file)
{
    if (osgDB::writeNodeFile(*node, file)) return true;
    std::fprintf(stderr, "vexamark-mediagen: could not write %s\n", file.c_str());
    return false;
}

int all(const std::string& folder)
{
    const std::string media = folder + "/media";
    if (!osgDB::makeDirectory(media))
    {
        std::fprintf(stderr, "vexamark-mediagen: could not make the folder %s\n", media.c_str());
        return 1;
    }
    osg::ref_ptr<osg::Node> comet = mediamodels::Comet(), screen = mediamodels::Screen();
    const bool good = writeClip(media + "/studio.mp4", studio::ClipShape()) &&
                      writeModel(comet.get(), media + "/comet.osgt") && writeModel(screen.get(), media + "/screen.osgt");
    return good ? 0 : 1;
}

// Reads a positive count; 0 when `text` is not one.
int count(const char* text)
{
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    return (end != text && *end == '\0' && value > 0 && value < 100000) ? int(value) : 0;
}

int clip(int argc, char** argv)
{
    studio::ClipShape shape;
    for (int i = 3; i < argc; ++i)
    {
        const std::string option = argv[i];
        if (option == "--silent") shape.sound = false;
        else if (option == "--frames" && i + 1 < argc) shape.frames = count(argv[++i]);
        else if (option == "--size" && i + 2 < argc) shape.width = count(argv[++i]), shape.height = count(argv[++i]);
        else return usage(stderr, 2);
    }
    if (shape.frames <= 0 || shape.width <= 0 || shape.height <= 0 || shape.width % 2 || shape.height % 2)
    {
        std::fprintf(stderr, "vexamark-mediagen: --size takes two even numbers and --frames a positive one\n");
        return 2;
    }
    return writeClip(argv[2], shape) ? 0 : 1;
}
}

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) return usage(stdout, 0);
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0)
    {
        std::printf("vexamark-mediagen %s\n", VEXAMARK_VERSION);
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "all") == 0) return all(argv[2]);
    if (argc >= 3 && std::strcmp(argv[1], "clip") == 0) return clip(argc, argv);
    return usage(stderr, 2);
}
