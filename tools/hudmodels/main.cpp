// vexamark-hudmodels: writes the 3D HUD's models, their texture images and
// the HUD's icon images below a working folder.
//
//   vexamark-hudmodels all <folder>   every model (<folder>/models/hud/...ive), the
//                                     texture image beside each (images/<name>.png)
//                                     every icon (models/hud/icons/<name>.png) and the
//                                     edit panel's picture without a clip (Videos/)
//   vexamark-hudmodels list           the files `all` writes, one a line
//   vexamark-hudmodels --help | --version
//
// Exit status: 0 done, 1 a file could not be written, 2 bad command line.
#include "HudModels.h"
#include "HudPictures.h"

#include <osgDB/FileNameUtils>
#include <osgDB/FileUtils>
#include <osgDB/WriteFile>

#include <cstdio>
#include <cstring>
#include <string>

#ifndef VEXAMARK_VERSION
#define VEXAMARK_VERSION "0.0.0"
#endif

namespace
{
const char* const kUsage =
    "usage: vexamark-hudmodels all <folder>\n"
    "       vexamark-hudmodels list\n"
    "       vexamark-hudmodels --help | --version\n";

bool makeFolderFor(const std::string& file)
{
    const std::string folder = osgDB::getFilePath(file);
    if (folder.empty() || osgDB::makeDirectory(folder)) return true;
    std::fprintf(stderr, "vexamark-hudmodels: error: cannot make the folder %s\n", folder.c_str());
    return false;
}

bool writeModel(osg::Node* node, const std::string& file)
{
    osg::ref_ptr<osg::Node> keep = node;
    if (!makeFolderFor(file)) return false;
    // The model carries the bytes of its picture's PNG file (written first).
    osg::ref_ptr<osgDB::Options> options = new osgDB::Options("includeImageFileInIVEFile");
    if (osgDB::writeNodeFile(*node, file, options.get())) return true;
    std::fprintf(stderr, "vexamark-hudmodels: error: cannot write %s\n", file.c_str());
    return false;
}

bool writePicture(osg::Image* image, const std::string& file)
{
    osg::ref_ptr<osg::Image> keep = image;
    if (!image)
    {
        std::fprintf(stderr, "vexamark-hudmodels: error: no picture for %s\n", file.c_str());
        return false;
    }
    if (!makeFolderFor(file)) return false;
    if (osgDB::writeImageFile(*image, file)) return true;
    std::fprintf(stderr, "vexamark-hudmodels: error: cannot write %s\n", file.c_str());
    return false;
}

int writeAll(const std::string& folder)
{
    bool ok = true;
    for (const hudmodels::ModelFile& model : hudmodels::Models())
    {
        const std::string picture = folder + "/" + hudmodels::TexturePath(model.path);
        ok = writePicture(hudpictures::ByName(model.picture), picture) && ok;
        ok = writeModel(hudmodels::Build(model, picture), folder + "/" + model.path) && ok;
    }
    for (const auto& icon : hudmodels::Icons())
        ok = writePicture(hudpictures::ByName(icon.first), folder + "/" + icon.second) && ok;
    ok = writePicture(hudpictures::ByName("infoPicture"), folder + "/" + hudmodels::kInfoPicture) && ok;
    for (const hudmodels::MenuIcon& icon : hudmodels::MenuIcons())
        ok = writePicture(hudpictures::MenuIcon(icon.caption, icon.symbol, icon.group), folder + "/" + icon.file) && ok;
    return ok ? 0 : 1;
}

int list()
{
    for (const hudmodels::ModelFile& model : hudmodels::Models())
        std::printf("%s\n%s\n", model.path.c_str(), hudmodels::TexturePath(model.path).c_str());
    for (const auto& icon : hudmodels::Icons()) std::printf("%s\n", icon.second.c_str());
    std::printf("%s\n", hudmodels::kInfoPicture);
    for (const hudmodels::MenuIcon& icon : hudmodels::MenuIcons()) std::printf("%s\n", icon.file.c_str());
    return 0;
}
}

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "--help")
    {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "--version")
    {
        std::printf("vexamark-hudmodels %s\n", VEXAMARK_VERSION);
        return 0;
    }
    if (command == "all" && argc == 3) return writeAll(argv[2]);
    if (command == "list" && argc == 2) return list();
    std::fputs(kUsage, stderr);
    return 2;
}
