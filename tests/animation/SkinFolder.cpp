#include "SkinFolder.h"

#include <filesystem>
#include <sstream>

void SkinFolder::SetUp()
{
    const std::filesystem::path from = std::filesystem::path(VEXAMARK_TEST_WORKDIR) / kWalker;
    ASSERT_TRUE(std::filesystem::exists(from / "walker.skin")) << "the working folder has no demo character";
    std::filesystem::create_directories(folder / kWalker);
    std::filesystem::copy(from, folder / kWalker, std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
    here = std::make_unique<ScopedCurrentFolder>(folder.Path());
}

std::string SkinFolder::Config(const std::string& without, const std::string& extra) const
{
    const std::string w = kWalker;
    const std::string lines[] = {"<SKELETON> " + w + "/walker.xsf",
                                 "<MESH> " + w + "/walker.xmf",
                                 "<ANIMATION>\n<FILE> " + w + "/idle.xaf\n<NAME> idle\n<TYPE> 1\n</ANIMATION>",
                                 "<ANIMATION>\n<FILE> " + w + "/walk.xaf\n<NAME> walk\n</ANIMATION>",
                                 "<ANIMATION>\n<FILE> " + w + "/wave.xaf\n<NAME> wave\n</ANIMATION>",
                                 "<MATERIAL> " + w + "/walker.xrf",
                                 "<TEX_DIR> " + w};
    std::string text = "<SKIN_CONFIG>\n";
    for (const std::string& line : lines)
        if (without.empty() || line.find(without) == std::string::npos) text += line + "\n";
    return text + extra + "</SKIN_CONFIG>\n";
}

void SkinFolder::Write(const std::string& relative, const std::string& text) const
{
    TestFolder::WriteFile(folder / relative, text);
}

std::string SkinFolder::Read(const std::string& relative) const
{
    return TestFolder::ReadFile(folder / relative);
}
