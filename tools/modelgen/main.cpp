// vexamark-modelgen: writes the bundled demo models, their textures and the
// anisotropic lighting map.
//
//   vexamark-modelgen all <folder>          every model, texture and light.jpg into <folder>
//   vexamark-modelgen model <name> <file>   one model (house, tree, rocket, vessel, figure, ground)
//   vexamark-modelgen picture <name> <file> one picture (bricks, roof, bark, leaves, hull, glaze,
//                                           cloth, grass, light)
//   vexamark-modelgen list
//
// Models are written with osgDB: ".ive" files carry their textures inside,
// ".osgt" files are written with their image data included.

#include "DemoModels.h"
#include "Pictures.h"

#include <osgDB/FileNameUtils>
#include <osgDB/FileUtils>
#include <osgDB/WriteFile>

#include <cstdio>
#include <string>

namespace
{
// Textures the demo model group file's materials name, and the lighting map.
const char* const kPictures[][2] = {{"bricks", "bricks.png"}, {"roof", "roof.png"},  {"bark", "bark.png"},
                                    {"leaves", "leaves.png"}, {"hull", "hull.png"},  {"glaze", "glaze.png"},
                                    {"grass", "grass.png"},   {"light", "light.jpg"}};

int usage()
{
    std::fprintf(stderr,
                 "usage: vexamark-modelgen all <folder>\n"
                 "       vexamark-modelgen model <name> <file>\n"
                 "       vexamark-modelgen picture <name> <file>\n"
                 "       vexamark-modelgen list\n");
    return 2;
}

bool writeModel(osg::Node* node, const std::string& file)
{
    osg::ref_ptr<osg::Node> keep = node;
    osg::ref_ptr<osgDB::Options> options = new osgDB::Options("WriteImageHint=IncludeData Compressor=zlib");
    if (osgDB::getLowerCaseFileExtension(file) == "osgt") options = new osgDB::Options("WriteImageHint=IncludeData");
    if (osgDB::writeNodeFile(*node, file, options.get())) return true;
    std::fprintf(stderr, "vexamark-modelgen: could not write %s\n", file.c_str());
    return false;
}

bool writePicture(osg::Image* image, const std::string& file)
{
    osg::ref_ptr<osg::Image> keep = image;
    if (osgDB::writeImageFile(*image, file)) return true;
    std::fprintf(stderr, "vexamark-modelgen: could not write %s\n", file.c_str());
    return false;
}

int writeAll(const std::string& folder)
{
    if (!osgDB::makeDirectory(folder))
    {
        std::fprintf(stderr, "vexamark-modelgen: could not make the folder %s\n", folder.c_str());
        return 1;
    }
    bool ok = true;
    for (const demo::ModelFile& model : demo::Models()) ok = writeModel(model.build(), folder + "/" + model.fileName) && ok;
    for (const auto& picture : kPictures)
        ok = writePicture(pictures::ByName(picture[0]), folder + "/" + picture[1]) && ok;
    return ok ? 0 : 1;
}
}

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "all" && argc == 3) return writeAll(argv[2]);
    if (command == "model" && argc == 4)
    {
        for (const demo::ModelFile& model : demo::Models())
            if (model.name == argv[2]) return writeModel(model.build(), argv[3]) ? 0 : 1;
        std::fprintf(stderr, "vexamark-modelgen: no model named %s\n", argv[2]);
        return 2;
    }
    if (command == "picture" && argc == 4)
    {
        osg::Image* image = pictures::ByName(argv[2]);
        if (!image)
        {
            std::fprintf(stderr, "vexamark-modelgen: no picture named %s\n", argv[2]);
            return 2;
        }
        return writePicture(image, argv[3]) ? 0 : 1;
    }
    if (command == "list")
    {
        for (const demo::ModelFile& model : demo::Models()) std::printf("model %s %s\n", model.name.c_str(), model.fileName.c_str());
        for (const auto& picture : kPictures) std::printf("picture %s %s\n", picture[0], picture[1]);
        return 0;
    }
    return usage();
}
