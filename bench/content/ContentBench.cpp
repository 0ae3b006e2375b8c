// Content set load time: writes a content data file of N entity blocks into
// a temporary folder (each object one model: every fourth a model group file
// with a light, a material and two meshes, the rest a plain .osgt mesh) and
// reads it the way the content manager does. Prints milliseconds per set and
// per object for N = 10, 100 and 1000,.
//
//   VexaContentBench [--repeat R]

#include "CContentObject.h"
#include "CLight.h"
#include "CMaterial.h"
#include "CModelGroup.h"
#include "COsgSettings.h"

#include <osg/Geode>
#include <osg/Geometry>
#include <osg/ShapeDrawable>
#include <osgDB/WriteFile>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
void writeMesh(const std::string& path)
{
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->addDrawable(new osg::ShapeDrawable(new osg::Box(osg::Vec3(0, 0, 5), 10.f)));
    geode->addDrawable(new osg::ShapeDrawable(new osg::Sphere(osg::Vec3(0, 0, 15), 5.f)));
    osgDB::writeNodeFile(*geode, path);
}

void writeSet(const std::string& folder, int count)
{
    std::ofstream zep(folder + "/models/pair.zep");
    zep << "<LIGHT> 0\n<POSITION> 0 1 1 0\n</LIGHT>\n<MATERIAL> 0\n<TYPE> STANDARD\n</MATERIAL>\n"
           "<MODEL>\n<FILENAME> mesh.osgt 20\n<APPLY_MATERIAL> 0\n</MODEL>\n<MODEL>\n<FILENAME> mesh.osgt 10\n"
           "<TRANS> 20 0 0\n<APPLY_SIMPLE_ANIMATION> 0 0 1 0 0 0 0 0 0\n</MODEL>\n";
    std::ofstream dat(folder + "/content.dat");
    for (int i = 0; i < count; ++i)
        dat << "<ENTITY>\n    <NAME> OBJ" << i << "\n    <GROUP> G" << i % 5 << "\n    <TRANS> " << i
            << " 0 0\n    <ROT> 0 0 " << i % 360 << "\n    <SCALE> 1.5\n    <MODEL>\n        <FILE> "
            << (i % 4 == 3 ? "models/pair.zep" : "models/mesh.osgt") << "\n    </MODEL>\n</ENTITY>\n";
}

double loadSet(int& loaded)
{
    const auto start = std::chrono::steady_clock::now();
    COsgSettings reader;
    std::vector<std::unique_ptr<CContentObject>> objects;
    if (reader.Load("content.dat") && reader.FindFirst("<ENTITY>"))
    {
        do
        {
            objects.emplace_back(new CContentObject);
            objects.back()->Load(static_cast<int>(objects.size()) - 1, reader);
        } while (reader.FindNext("<ENTITY>"));
    }
    loaded = static_cast<int>(objects.size());
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    objects.clear();
    CModelGroup::ClearAll();
    CMaterial::ClearAll();
    CLight::ClearAll();
    return ms;
}
}

int main(int argc, char** argv)
{
    int repeat = 3;
    if (argc == 3 && std::string(argv[1]) == "--repeat") repeat = std::max(1, std::atoi(argv[2]));
    char pattern[] = "/tmp/vexamark-content-bench-XXXXXX";
    if (!mkdtemp(pattern))
    {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string folder = pattern;
    fs::create_directories(folder + "/models");
    writeMesh(folder + "/models/mesh.osgt");
    const fs::path previous = fs::current_path();
    fs::current_path(folder);
    std::printf("Content set load time (best of %d runs; every fourth object a model group file)\n", repeat);
    std::printf("%8s %12s %14s\n", "objects", "total ms", "ms per object");
    for (int count : {10, 100, 1000})
    {
        writeSet(folder, count);
        double best = 1e30;
        int loaded = 0;
        for (int r = 0; r < repeat; ++r) best = std::min(best, loadSet(loaded));
        std::printf("%8d %12.1f %14.3f\n", loaded, best, best / std::max(1, loaded));
    }
    fs::current_path(previous);
    fs::remove_all(folder);
    return 0;
}
