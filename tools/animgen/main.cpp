// vexamark-animgen: writes the animated demo content.
//
//   vexamark-animgen all <folder>         both into <folder> (the working folder's "models")
//   vexamark-animgen figure <file>        the keyframed figure "hopper" (.osgt)
//   vexamark-animgen character <folder>   the skinned character "walker" in Cal3D's XML
//                                         formats, its texture and its skin configuration
//   vexamark-animgen --help | --version
//
// "all" writes <folder>/animation/hopper.osgt and <folder>/characters/walker/.

#include "CalXmlWriter.h"
#include "Character.h"
#include "Figure.h"

#include <osg/Image>
#include <osgDB/FileUtils>
#include <osgDB/WriteFile>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace
{
const int kAtlasSize = 64;

int usage(FILE* to, int code)
{
    std::fprintf(to,
                 "usage: vexamark-animgen all <folder>\n"
                 "       vexamark-animgen figure <file>\n"
                 "       vexamark-animgen character <folder>\n"
                 "       vexamark-animgen --help | --version\n"
                 "Writes the animated demo content: the keyframed figure \"hopper\" and the\n"
                 "skinned character \"walker\" (Cal3D XML files, texture, skin configuration).\n");
    return code;
}

bool fail(const std::string& file)
{
    std::fprintf(stderr, "vexamark-animgen: could not write %s\n", file.c_str());
    return false;
}

bool writeFigure(const std::string& file)
{
    osg::ref_ptr<osg::Node> figure = hopper::Build();
    return osgDB::writeNodeFile(*figure, file) || fail(file);
}

bool writeAtlas(const std::string& file)
{
    const std::vector<unsigned char> rgb = walker::Atlas(kAtlasSize);
    osg::ref_ptr<osg::Image> image = new osg::Image;
    image->allocateImage(kAtlasSize, kAtlasSize, 1, GL_RGB, GL_UNSIGNED_BYTE);
    // Image rows run from the bottom; the atlas's from the top.
    for (int row = 0; row < kAtlasSize; ++row)
        std::memcpy(image->data(0, kAtlasSize - 1 - row), &rgb[size_t(row) * kAtlasSize * 3], kAtlasSize * 3);
    return osgDB::writeImageFile(*image, file) || fail(file);
}

bool writeSkinConfig(const std::string& file, const std::string& folderInContent)
{
    std::ofstream out(file);
    out << "# The demo character: a skeleton of thirteen bones, a textured mesh skinned\n"
           "# to it, and three animations. Written by vexamark-animgen.\n"
           "<SKIN_CONFIG>\n"
        << "    <SKELETON> " << folderInContent << "/walker.xsf\n"
        << "    <MESH> " << folderInContent << "/walker.xmf\n";
    for (const walker::Animation& animation : walker::Animations())
        out << "    <ANIMATION>\n"
            << "        <FILE> " << folderInContent << "/" << animation.name << ".xaf\n"
            << "        <NAME> " << animation.name << "\n"
            << "        <EVENT> NONE\n"
            << "        <TYPE> " << (animation.name == "idle" ? 1 : 0) << "\n"
            << "        <LENGTH> " << animation.seconds << "\n"
            << "    </ANIMATION>\n";
    out << "    <MATERIAL> " << folderInContent << "/walker.xrf\n"
        << "    <TEX_DIR> " << folderInContent << "\n"
        << "</SKIN_CONFIG>\n";
    return bool(out.flush()) || fail(file);
}

bool writeCharacter(const std::string& folder)
{
    if (!osgDB::makeDirectory(folder)) return fail(folder);
    const std::string inContent = "models/characters/walker";
    bool ok = (calxml::WriteSkeleton(folder + "/walker.xsf") || fail(folder + "/walker.xsf"));
    ok = (calxml::WriteMesh(folder + "/walker.xmf") || fail(folder + "/walker.xmf")) && ok;
    ok = (calxml::WriteMaterial(folder + "/walker.xrf", "walker.png") || fail(folder + "/walker.xrf")) && ok;
    for (const walker::Animation& animation : walker::Animations())
    {
        const std::string file = folder + "/" + animation.name + ".xaf";
        ok = (calxml::WriteAnimation(file, animation) || fail(file)) && ok;
    }
    ok = writeAtlas(folder + "/walker.png") && ok;
    return writeSkinConfig(folder + "/walker.skin", inContent) && ok;
}
}

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "--help" || command == "-h") return usage(stdout, 0);
    if (command == "--version")
    {
        std::printf("vexamark-animgen %s\n", VEXAMARK_VERSION);
        return 0;
    }
    if (argc != 3) return usage(stderr, 2);
    const std::string target = argv[2];
    if (command == "figure") return writeFigure(target) ? 0 : 1;
    if (command == "character") return writeCharacter(target) ? 0 : 1;
    if (command == "all")
    {
        if (!osgDB::makeDirectory(target + "/animation")) return fail(target + "/animation") ? 0 : 1;
        const bool figure = writeFigure(target + "/animation/hopper.osgt");
        const bool character = writeCharacter(target + "/characters/walker");
        return figure && character ? 0 : 1;
    }
    return usage(stderr, 2);
}
