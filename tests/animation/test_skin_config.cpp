// The skin configuration file and the Cal3D files it names: required and
// optional tags with their messages, files that are missing or damaged
// (cut short, or naming bones and vertices that do not exist), which are
// reported without bringing the program down.
#include "CCharacterEntity.h"
#include "CSkinnedModel.h"
#include "SkinFolder.h"

#include <algorithm>
#include <cctype>

namespace
{
struct ConfigCase
{
    const char* what;
    std::string text;  // the configuration file's text (empty: no file)
    bool loads;
    int animations;
    std::string output;
};

class SkinConfig : public SkinFolder, public ::testing::WithParamInterface<int>
{
protected:
    std::vector<ConfigCase> Cases() const
    {
        const std::string quoted = "Skin config file 'char.skin'";
        return {
            {"complete", Config(), true, 3, ""},
            {"no file", "", false, 0, "Error: Failed to load char.skin\nFailed to load Skinned Model Config file : char.skin\n"},
            {"no block", "<SKELETON> a.xsf\n", false, 0, quoted + " does not contain a <SKIN_CONFIG> tag. Returning\n"},
            {"no skeleton", Config("<SKELETON>"), false, 0, quoted + " does not contain a <SKELETON> tag. Returning\n"},
            {"no mesh", Config("<MESH>"), false, 0, quoted + " does not contain a <MESH> tag. Returning\n"},
            {"no animation", Config("<ANIMATION>"), true, 0,
             "Warning! " + quoted + " does not contain a <ANIMATION> tag.\n"},
            {"no material", Config("<MATERIAL>"), true, 3,
             "Warning! " + quoted + " does not contain a <MATERIAL> tag.\n"},
            {"a missing animation file", Config("", "<ANIMATION>\n<FILE> run.xaf\n<NAME> run\n</ANIMATION>\n"), true, 3,
             quoted + ": the animation run.xaf could not be loaded: File not found (run.xaf); it is left out\n"},
            {"an animation without a file", Config("", "<ANIMATION>\n<NAME> run\n</ANIMATION>\n"), true, 3,
             quoted + ": the <ANIMATION> run names no <FILE>; it is left out\n"},
            {"a missing skeleton file", Config("<SKELETON>", "<SKELETON> bones.xsf\n"), false, 0,
             quoted + ": the skeleton bones.xsf could not be loaded: File not found (bones.xsf)\n"},
            {"a missing texture", Config("<TEX_DIR>", "<TEX_DIR> elsewhere\n"), true, 3,
             quoted + ": the texture walker.png was not found in <TEX_DIR> elsewhere; the character is drawn without it\n"},
        };
    }
};

TEST_P(SkinConfig, LoadsOrSaysWhy)
{
    const ConfigCase c = Cases()[size_t(GetParam())];
    if (!c.text.empty()) Write("char.skin", c.text);
    osg::ref_ptr<CSkinnedModel> model;
    const std::string output = Captured([&]() { model = CSkinnedModel::Load("char.skin"); });
    EXPECT_EQ(output, c.output) << c.what;
    ASSERT_EQ(model.valid(), c.loads) << c.what;
    if (!c.loads) return;
    EXPECT_EQ(model->GetAnimationCount(), c.animations) << c.what;
    EXPECT_EQ(model->GetBoneCount(), 13) << c.what;
    EXPECT_GT(model->GetNode()->getNumDrawables(), 0u) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Files, SkinConfig, ::testing::Range(0, 11));

TEST_F(SkinFolder, FilesAreFoundBesideTheConfiguration)
{
    Write(std::string(kWalker) + "/local.skin",
          "<SKIN_CONFIG>\n<SKELETON> walker.xsf\n<MESH> walker.xmf\n<ANIMATION>\n<FILE> walk.xaf\n<NAME> walk\n"
          "</ANIMATION>\n<MATERIAL> walker.xrf\n<TEX_DIR> " + std::string(kWalker) + "\n</SKIN_CONFIG>\n");
    osg::ref_ptr<CSkinnedModel> model;
    EXPECT_EQ(Captured([&]() { model = CSkinnedModel::Load(std::string(kWalker) + "/local.skin"); }), "");
    ASSERT_TRUE(model.valid());
    EXPECT_EQ(model->FindAnimation("walk"), 0);
}

struct Damage
{
    const char* what;
    const char* file;        // in the walker's folder
    const char* from;        // text replaced...
    const char* to;          // ...by this
    size_t keep;             // or: the file cut to this many bytes (0: not cut)
    bool loads;
    const char* message;     // the start of the line printed
};

class DamagedFiles : public SkinFolder, public ::testing::WithParamInterface<Damage>
{
};

TEST_P(DamagedFiles, AreReportedAndNothingBreaks)
{
    const Damage& d = GetParam();
    const std::string file = std::string(kWalker) + "/" + d.file;
    std::string text = Read(file);
    if (d.keep) text.resize(d.keep);
    else
    {
        const size_t at = text.find(d.from);
        ASSERT_NE(at, std::string::npos) << d.what;
        text.replace(at, std::string(d.from).size(), d.to);
    }
    Write(file, text);
    Write("char.skin", Config());
    osg::ref_ptr<CSkinnedModel> model;
    const std::string output = Captured([&]() { model = CSkinnedModel::Load("char.skin"); });
    EXPECT_EQ(output.rfind(std::string("Skin config file 'char.skin': ") + d.message, 0), 0u)
        << d.what << ": " << output;
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
    ASSERT_EQ(model.valid(), d.loads) << d.what;
    if (model.valid())
        for (int i = 0; i < 20; ++i) model->Update(0.1f);  // what is left runs
}

INSTANTIATE_TEST_SUITE_P(
    Cal3D, DamagedFiles,
    ::testing::Values(
        Damage{"mesh cut short", "walker.xmf", "", "", 2000, false, "the mesh models/characters/walker/walker.xmf could not be loaded: "},
        Damage{"skeleton cut short", "walker.xsf", "", "", 700, false,
               "the skeleton models/characters/walker/walker.xsf could not be loaded: "},
        Damage{"mesh naming a bone that does not exist", "walker.xmf", "<INFLUENCE ID=\"4\">", "<INFLUENCE ID=\"40\">",
               0, false, "the mesh models/characters/walker/walker.xmf is damaged: expected bone numbers below 13, found 40"},
        Damage{"face naming a vertex that does not exist", "walker.xmf", "<FACE VERTEXID=\"0 1 2\" />",
               "<FACE VERTEXID=\"0 1 9000\" />", 0, false,
               "the mesh models/characters/walker/walker.xmf is damaged: expected vertex numbers below "},
        Damage{"animation cut short", "walk.xaf", "", "", 300, true,
               "the animation models/characters/walker/walk.xaf could not be loaded: "},
        Damage{"animation of a bone that does not exist", "wave.xaf", "<TRACK BONEID=\"8\"", "<TRACK BONEID=\"77\"", 0,
               true, "the animation models/characters/walker/wave.xaf "},
        Damage{"material that is not one", "walker.xrf", "", "", 20, true,
               "the material models/characters/walker/walker.xrf could not be loaded: "}),
    [](const ::testing::TestParamInfo<Damage>& info) {
        std::string name = info.param.what;
        for (char& c : name) if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

TEST_F(SkinFolder, ACharacterThatDoesNotLoadMakesNoEntity)
{
    Write("char.skin", Config("<MESH>"));
    CCharacterEntity* entity = nullptr;
    Captured([&]() { entity = CCharacterEntity::Create("char.skin", 1.f, 0); });
    EXPECT_EQ(entity, nullptr);
}
}
