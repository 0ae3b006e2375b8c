#include "ContentFileKinds.h"

#include <set>

bool ContentFileKinds::IsContent(const std::string& extension)
{
    // Tag files, patterns and models. Pictures are left out: marker pictures
    // and printable sheets sit beside the content, and textures are often
    // named only inside a model file. Sounds are left out while menu files
    // (whose sound schemes name them) are not read by the check.
    static const std::set<std::string> kinds = {".dat", ".zep", ".lit", ".mfx", ".patt", ".skin",
                                                ".ive", ".osgt", ".osgb", ".osg", ".obj"};
    return kinds.count(extension) > 0;
}

bool ContentFileKinds::IsEngineOwn(const std::string& relative)
{
    static const std::set<std::string> own = {"Data/dataList.dat", "Data/camera_para.dat", "Data/VexaSettings.tsf",
                                              "Data/soundSettings.dat", "Data/messageLog.txt"};
    // The HUD's models are named by the engine and its menu files.
    return own.count(relative) > 0 || relative.compare(0, 11, "models/hud/") == 0;
}

bool ContentFileKinds::IsTopLevelBlock(const std::string& tag)
{
    return tag == "<ENTITY>" || tag == "<VEXA_MARKER>" || tag == "<OBJECT_GROUP>";
}
