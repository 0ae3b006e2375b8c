// Reading a skin configuration file.
#include "CSkinnedModel.h"

#include "CContentFiles.h"
#include "COsgSettings.h"
#include "CTagBlock.h"

namespace
{
const std::vector<std::string> kStops = {"<SKIN_CONFIG>"};

std::string value(COsgSettings& reader)
{
    const std::string word = reader.NextString();
    return word.empty() ? "NULL" : word;
}

CSkinnedAnimation readAnimation(COsgSettings& reader)
{
    CSkinnedAnimation animation;
    for (;;)
    {
        const CTagBlock::Step step = CTagBlock::Next(reader, "</ANIMATION>", {"<SKIN_CONFIG>", "</SKIN_CONFIG>", "<ANIMATION>"});
        if (step == CTagBlock::CLOSED) break;
        if (step == CTagBlock::UNCLOSED)
        {
            CTagBlock::Print("Warning! <ANIMATION> block is not closed by </ANIMATION>; it ends here");
            break;
        }
        const std::string tag = reader.NextString();
        if (tag == "<FILE>") animation.file = value(reader);
        else if (tag == "<NAME>") animation.name = value(reader);
        else if (tag == "<EVENT>") animation.event = value(reader);
        else if (tag == "<TYPE>") animation.type = CTagBlock::Integer(reader, tag);
        else if (tag == "<LENGTH>") animation.length = float(CTagBlock::Numbers(reader, tag, 1)[0]);
    }
    return animation;
}

void readBlock(COsgSettings& reader, CSkinnedModel::Config& config)
{
    for (;;)
    {
        const CTagBlock::Step step = CTagBlock::Next(reader, "</SKIN_CONFIG>", kStops);
        if (step == CTagBlock::CLOSED) return;
        if (step == CTagBlock::UNCLOSED)
        {
            CTagBlock::Print("Warning! <SKIN_CONFIG> block is not closed by </SKIN_CONFIG>; it ends here");
            return;
        }
        const std::string tag = reader.NextString();
        if (tag == "<SKELETON>") config.skeleton = value(reader);
        else if (tag == "<MESH>") config.mesh = value(reader);
        else if (tag == "<ANIMATION>") config.animations.push_back(readAnimation(reader));
        else if (tag == "<MATERIAL>") config.materials.push_back(value(reader));
        else if (tag == "<TEX_DIR>")
        {
            const std::string folder = reader.NextString();
            if (!folder.empty()) config.texDir = folder;
        }
    }
}
}

bool CSkinnedModel::ReadConfig(const std::string& configFile, Config& config)
{
    COsgSettings reader;
    if (!reader.Load(CContentFiles::Find(configFile)))
    {
        CTagBlock::Print("Failed to load Skinned Model Config file : " + configFile);
        return false;
    }
    const std::string quoted = "Skin config file '" + configFile + "'";
    if (!reader.FindFirst("<SKIN_CONFIG>"))
    {
        CTagBlock::Print(quoted + " does not contain a <SKIN_CONFIG> tag. Returning");
        return false;
    }
    readBlock(reader, config);
    if (config.skeleton == "NULL")
    {
        CTagBlock::Print(quoted + " does not contain a <SKELETON> tag. Returning");
        return false;
    }
    if (config.mesh == "NULL")
    {
        CTagBlock::Print(quoted + " does not contain a <MESH> tag. Returning");
        return false;
    }
    if (config.animations.empty()) CTagBlock::Print("Warning! " + quoted + " does not contain a <ANIMATION> tag.");
    if (config.materials.empty()) CTagBlock::Print("Warning! " + quoted + " does not contain a <MATERIAL> tag.");
    return true;
}
