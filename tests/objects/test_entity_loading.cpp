// Reading <ENTITY> blocks: tags, model blocks, blocks of later entities kept
// whole, and content files cut short or corrupted.

#include "CContentObject.h"
#include "COsgSettings.h"
#include "ObjectTestSupport.h"

#include <osg/Image>
#include <osgDB/WriteFile>

#include <unistd.h>

#include <climits>
#include <memory>
#include <vector>

namespace
{
const char* kValid = R"(<ENTITY>
    <NAME> CRATE
    <GROUP> TOYS
    <MARKER> MARKER_A
    <TRANS> 1 2 3
    <ROT> 0 0 45
    <SCALE> 2
    <MODEL>
        <FILE> meshes/box.osgt
        <DIFFUSE_MAP> crate.png
    </MODEL>
</ENTITY>
<ENTITY>
    <NAME> SECOND
    <MODEL>
        <FILE> meshes/line.osgt
    </MODEL>
</ENTITY>
)";

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

std::string cutAfter(const std::string& text, const std::string& line)
{
    const size_t at = text.find(line);
    EXPECT_NE(at, std::string::npos) << line;
    return text.substr(0, at + line.size()) + "\n";
}

std::string currentFolder()
{
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof(buffer)) ? buffer : "";
}

class EntityLoading : public ContentFolder
{
protected:
    void SetUp() override
    {
        ContentFolder::SetUp();
        WriteBoxMesh("meshes/box.osgt", 5.f);
        WriteLineMesh("meshes/line.osgt", 50.f);
    }

    // Loads every <ENTITY> block the way the content manager does; a loop
    // that would never end fails the test instead.
    std::vector<std::unique_ptr<CContentObject>> LoadAll(const std::string& text, std::string* output = nullptr)
    {
        Write("content.dat", text);
        std::vector<std::unique_ptr<CContentObject>> objects;
        const std::string out = Captured([&]() {
            COsgSettings reader;
            if (!reader.Load("content.dat") || !reader.FindFirst("<ENTITY>")) return;
            do
            {
                objects.emplace_back(new CContentObject);
                objects.back()->Load(static_cast<int>(objects.size()) - 1, reader);
            } while (reader.FindNext("<ENTITY>") && objects.size() < 20000);
        });
        if (output) *output = out;
        EXPECT_LT(objects.size(), 20000u) << "the reader went back to an earlier block";
        return objects;
    }
};

struct HostileCase
{
    const char* what;
    std::string text;
    std::vector<std::string> names;      // objects loaded, in order
    std::vector<size_t> models;          // model entries of each
    std::vector<std::string> messages;   // lines expected on standard output, exactly
};
}

TEST_F(EntityLoading, ValidFileReadsEveryTag)
{
    std::string output;
    auto objects = LoadAll(kValid, &output);
    ASSERT_EQ(objects.size(), 2u);
    const CContentObject& crate = *objects[0];
    EXPECT_EQ(crate.GetId(), 0);
    EXPECT_EQ(objects[1]->GetId(), 1);
    EXPECT_EQ(crate.GetName(), "CRATE");
    EXPECT_EQ(crate.GetGroup(), "TOYS");
    EXPECT_EQ(crate.GetMarker(), "MARKER_A");
    EXPECT_EQ(crate.GetTranslation(), osg::Vec3d(1, 2, 3));
    EXPECT_NEAR(crate.GetRotation().z(), osg::PI_4, 1e-7);
    EXPECT_DOUBLE_EQ(crate.GetScale(), 2.0);
    EXPECT_DOUBLE_EQ(crate.GetFileScale(), 2.0);
    ASSERT_EQ(crate.GetModels().size(), 1u);
    EXPECT_EQ(crate.GetModels()[0]->filePath, "meshes/box.osgt");
    EXPECT_EQ(crate.GetModels()[0]->diffuseMap, "crate.png");
    EXPECT_EQ(crate.GetModels()[0]->effect, nullptr);
    EXPECT_TRUE(crate.IsLoaded());
    EXPECT_EQ(objects[1]->GetGroup(), "NONE");
    EXPECT_EQ(objects[1]->GetMarker(), "NONE");
    EXPECT_EQ(output.find("Error"), std::string::npos) << output;
    EXPECT_EQ(output.find("Warning"), std::string::npos) << output;
}

TEST_F(EntityLoading, HostileFilesLoadWhatIsNotBroken)
{
    // Garbage where a model should be, and a model file cut in half.
    Write("meshes/garbage.osgt", "#Ascii Scene\n#Version 161\nosg::Geode {\n  UniqueID 1\n  Drawables 1 {\n  zzz ][ 3 {\n");
    const std::string box = TestFolder::ReadFile(Path("meshes/box.osgt"));
    Write("meshes/half.osgt", box.substr(0, box.size() / 2));
    Write("meshes/noise.obj", "vt x y\nnot a model\n\x01\x02\x03");
    Write("meshes/faces.obj", "v 0 0 0\nv 1 0 0\nf 1 2 7\n");

    const std::vector<HostileCase> cases = {
        {"entity never closed", replaced(kValid, "    </MODEL>\n</ENTITY>\n<ENTITY>", "    </MODEL>\n<ENTITY>"),
         {"CRATE", "SECOND"}, {1, 1},
         {"Warning! <ENTITY> block of object CRATE is not closed by </ENTITY>; it ends here"}},
        {"file cut inside the last model block", cutAfter(kValid, "<FILE> meshes/line.osgt"), {"CRATE", "SECOND"}, {1, 1},
         {"Warning! <MODEL> block of object SECOND is not closed by </MODEL>; it ends here",
          "Warning! <ENTITY> block of object SECOND is not closed by </ENTITY>; it ends here"}},
        {"file cut after the first line", cutAfter(kValid, "<ENTITY>"), {"NONE"}, {0},
         {"Warning! <ENTITY> block of object NONE is not closed by </ENTITY>; it ends here"}},
        {"model block never closed", replaced(kValid, "crate.png\n    </MODEL>", "crate.png"), {"CRATE", "SECOND"}, {1, 1},
         {"Warning! <MODEL> block of object CRATE is not closed by </MODEL>; it ends here"}},
        {"a number that is not a number", replaced(kValid, "<TRANS> 1 2 3", "<TRANS> 1 two 3"), {"CRATE", "SECOND"}, {1, 1},
         {"Warning! <TRANS> expects 3 numbers, found \"1 two 3\"; missing or bad values read as 0"}},
        {"a number with trailing text", replaced(kValid, "<SCALE> 2", "<SCALE> 2x"), {"CRATE", "SECOND"}, {1, 1},
         {"Warning! <SCALE> expects 1 number, found \"2x\"; missing or bad values read as 0"}},
        {"values missing", replaced(kValid, "<ROT> 0 0 45", "<ROT> 0"), {"CRATE", "SECOND"}, {1, 1},
         {"Warning! <ROT> expects 3 numbers, found \"0\"; missing or bad values read as 0"}},
        {"name missing", replaced(kValid, "<NAME> CRATE", "<NAME>"), {"NONE", "SECOND"}, {1, 1},
         {"Warning! <NAME> expects a word, found nothing"}},
        {"model file missing", replaced(kValid, "meshes/box.osgt", "meshes/nothere.osgt"), {"CRATE", "SECOND"}, {0, 1},
         {"Error! Could not load model meshes/nothere.osgt"}},
        {"model file corrupt", replaced(kValid, "meshes/box.osgt", "meshes/garbage.osgt"), {"CRATE", "SECOND"}, {0, 1},
         {"Error! Could not load model meshes/garbage.osgt"}},
        {"model file cut in half", replaced(kValid, "meshes/box.osgt", "meshes/half.osgt"), {"CRATE", "SECOND"}, {0, 1},
         {"Error! Could not load model meshes/half.osgt"}},
        {"model file of noise", replaced(kValid, "meshes/box.osgt", "meshes/noise.obj"), {"CRATE", "SECOND"}, {0, 1},
         {"Error! Could not load model meshes/noise.obj"}},
        {"faces naming vertices that are not there", replaced(kValid, "meshes/box.osgt", "meshes/faces.obj"),
         {"CRATE", "SECOND"}, {0, 1},
         {"Warning! meshes/faces.obj is not a readable model: face on line 3 names vertex 7 of 2",
          "Error! Could not load model meshes/faces.obj"}},
        {"model line without a file", replaced(kValid, "<FILE> meshes/box.osgt", "<FILE>"), {"CRATE", "SECOND"}, {0, 1},
         {"Error! <MODEL> tag requires a file path"}},
        {"closing tag misspelt", replaced(kValid, "</ENTITY>\n<ENTITY>", "</ENTTY>\n<ENTITY>"), {"CRATE", "SECOND"}, {1, 1},
         {"Warning! <ENTITY> block of object CRATE is not closed by </ENTITY>; it ends here"}},
        {"tags in lower case are other lines", replaced(kValid, "<NAME> CRATE", "<name> CRATE"), {"NONE", "SECOND"}, {1, 1},
         {}},
    };
    for (const HostileCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        std::string output;
        auto objects = LoadAll(c.text, &output);
        ASSERT_EQ(objects.size(), c.names.size()) << output;
        for (size_t i = 0; i < objects.size(); ++i)
        {
            EXPECT_EQ(objects[i]->GetName(), c.names[i]);
            EXPECT_EQ(objects[i]->GetModels().size(), c.models[i]);
            EXPECT_EQ(objects[i]->GetRootNode()->getNumChildren(), c.models[i]);
        }
        for (const std::string& message : c.messages) EXPECT_EQ(CountLines(output, message), 1) << output;
        EXPECT_EQ(CountLines(output, "Error!") + CountLines(output, "Warning!"), static_cast<int>(c.messages.size()))
            << output;
    }
}

TEST_F(EntityLoading, BlocksOfLaterEntitiesAreSkippedWhole)
{
    const std::string text = R"(<ENTITY>
    <NAME> FULL
    <CHARACTER>
        <NAME> WRONG1
        <CHARACTER>
            <NAME> WRONG2
        </CHARACTER>
        <MODEL>
            <FILE> meshes/line.osgt
        </MODEL>
    </CHARACTER>
    <SOUND>
        <FILE> meshes/line.osgt
        <NAME> WRONG3
    </SOUND>
    <BUBBLES> 1 2 3
    <VIDEO>
        <FILE> meshes/line.osgt
    </VIDEO>
    <MODEL>
        <FILE> meshes/box.osgt
        <ANI_CONTROL>
            <MODE> SWING
        </ANI_CONTROL>
        <VIDEO_MAT>
            <FILE> meshes/line.osgt
        </VIDEO_MAT>
        <TRACE_PARTICLE>
            <NODE> Box
        </TRACE_PARTICLE>
    </MODEL>
    <SCALE> 3
</ENTITY>
<ENTITY>
    <NAME> AFTER
</ENTITY>
)";
    std::string output;
    auto objects = LoadAll(text, &output);
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0]->GetName(), "FULL");
    ASSERT_EQ(objects[0]->GetModels().size(), 1u);  // only the model block's own <FILE>
    EXPECT_EQ(objects[0]->GetModels()[0]->filePath, "meshes/box.osgt");
    EXPECT_DOUBLE_EQ(objects[0]->GetScale(), 3.0);  // the line after the blocks is read
    EXPECT_EQ(objects[1]->GetName(), "AFTER");
    // The character names no skin file, the video plane and the video
    // material name a file that is no video, and the box has no keyframed
    // animation.
    EXPECT_EQ(output,
              "Error: Failed to load NONE\n"
              "Failed to load Skinned Model Config file : NONE\n"
              "Failed to create character entity! Harsh\n"
              "Unable to play video meshes/line.osgt\n"
              "Warning! <ANI_CONTROL> expects a model with keyframed animation (animation paths), found none; "
              "nothing will move\n"
              "Unable to play video meshes/line.osgt\n");
}

TEST_F(EntityLoading, UnclosedSkippedBlockEndsWithItsEntity)
{
    std::string output;
    auto objects = LoadAll("<ENTITY>\n<NAME> A\n<SOUND>\n<FILE> x.wav\n</ENTITY>\n<ENTITY>\n<NAME> B\n</ENTITY>\n", &output);
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0]->GetName(), "A");
    EXPECT_EQ(objects[1]->GetName(), "B");
    EXPECT_EQ(CountLines(output, "Warning! <SOUND> block is not closed by </SOUND>; it ends here"), 1) << output;
}

TEST_F(EntityLoading, ModelBlockWithTwoFilesMakesTwoEntries)
{
    auto objects = LoadAll(R"(<ENTITY>
<MODEL>
<FILE> meshes/box.osgt
<DIFFUSE_MAP> first.png
<FILE> meshes/line.osgt
<DIFFUSE_MAP> second.png
<GLOSS_MAP> gloss.png
</MODEL>
</ENTITY>
)");
    ASSERT_EQ(objects.size(), 1u);
    const auto& models = objects[0]->GetModels();
    ASSERT_EQ(models.size(), 2u);
    EXPECT_EQ(models[0]->diffuseMap, "first.png");
    EXPECT_EQ(models[1]->diffuseMap, "second.png");
    EXPECT_EQ(models[1]->glossMap, "gloss.png");
    EXPECT_TRUE(models[0]->glossMap.empty());
    ASSERT_EQ(objects[0]->GetRootNode()->getNumChildren(), 2u);
    EXPECT_EQ(objects[0]->GetRootNode()->getChild(1), models[1]->node.get());
}

TEST_F(EntityLoading, ShadowCompensationMaterialNeedsAModel)
{
    std::string output;
    auto objects = LoadAll(R"(<ENTITY>
<MODEL>
<SHADOW_COMP_MAT>
<BLEND> 0.5
</SHADOW_COMP_MAT>
<FILE> meshes/box.osgt
<SHADOW_COMP_MAT>
<BLEND> 0.75
<SOFTEN> 0.01
</SHADOW_COMP_MAT>
</MODEL>
</ENTITY>
)",
                           &output);
    EXPECT_EQ(CountLines(output, "CMSObject: LoadShadowCompMat: Error: Model must be loaded before applying an "
                                 "<SHADOW_COMP_MAT> node can be applied"),
              1)
        << output;
    ASSERT_EQ(objects[0]->GetModels().size(), 1u);
    osg::StateSet* state = objects[0]->GetModels()[0]->node->getStateSet();
    ASSERT_NE(state, nullptr);
    float blend = 0, soften = 0;
    ASSERT_NE(state->getUniform("ShadBlend"), nullptr);
    state->getUniform("ShadBlend")->get(blend);
    state->getUniform("Epsilon")->get(soften);
    EXPECT_FLOAT_EQ(blend, 0.75f);
    EXPECT_FLOAT_EQ(soften, 0.01f);
    EXPECT_NE(state->getAttribute(osg::StateAttribute::PROGRAM), nullptr);
}

TEST_F(EntityLoading, RootMatrixScalesThenTurnsThenMoves)
{
    for (const char* order : {"<ROT> 90 0 0\n<TRANS> 0 0 10\n<SCALE> 2\n", "<SCALE> 2\n<TRANS> 0 0 10\n<ROT> 90 0 0\n"})
    {
        auto objects = LoadAll(std::string("<ENTITY>\n") + order + "</ENTITY>\n");
        const osg::Matrixd m = objects[0]->GetRootNode()->getMatrix();
        // A point one unit along y is scaled to 2, turned onto +z, then lifted by 10.
        const osg::Vec3d p = osg::Vec3d(0, 1, 0) * m;
        EXPECT_NEAR(p.x(), 0.0, 1e-6) << order;
        EXPECT_NEAR(p.y(), 0.0, 1e-6) << order;
        EXPECT_NEAR(p.z(), 12.0, 1e-6) << order;
    }
}

TEST_F(EntityLoading, RotationTurnsAboutXThenYThenZ)
{
    CContentObject object;
    object.SetRotation(osg::PI_2, osg::PI_2, 0);
    // (0, 1, 0) about x by 90 degrees -> (0, 0, 1); about y by 90 degrees -> (1, 0, 0).
    osg::Vec3d p = osg::Vec3d(0, 1, 0) * object.GetRootNode()->getMatrix();
    EXPECT_NEAR((p - osg::Vec3d(1, 0, 0)).length(), 0.0, 1e-9);
    object.SetRotation(0, 0, osg::PI_2);
    object.SetTranslation(5, 0, 0);
    object.SetScale(3);
    p = osg::Vec3d(1, 0, 0) * object.GetRootNode()->getMatrix();
    EXPECT_NEAR((p - osg::Vec3d(5, 3, 0)).length(), 0.0, 1e-9);
    EXPECT_EQ(object.GetTranslation(), osg::Vec3d(5, 0, 0));
    EXPECT_DOUBLE_EQ(object.GetScale(), 3.0);
}

TEST_F(EntityLoading, ModelGroupFileIsReadInItsOwnFolder)
{
    WriteLineMesh("scenes/parts/line.osgt", 50.f);
    Write("scenes/scene.zep", "<MODEL>\n<FILENAME> parts/line.osgt 10\n</MODEL>\n");
    Write("scenes/broken.zep", "<MODEL>\n<FILENAME> parts/gone.osgt 10\n</MODEL>\n");
    const std::string before = currentFolder();
    std::string output;
    auto objects = LoadAll("<ENTITY>\n<MODEL>\n<FILE> scenes/scene.zep\n<FILE> scenes/broken.zep\n<FILE> "
                           "SCENES\\Scene.ZEP\n</MODEL>\n</ENTITY>\n",
                           &output);
    EXPECT_EQ(currentFolder(), before);
    ASSERT_EQ(objects[0]->GetModels().size(), 2u) << output;
    EXPECT_NE(FindNamed(objects[0]->GetModels()[0]->node.get(), "Object Model"), nullptr);
    EXPECT_EQ(CountLines(output, "Error! Unable to load mesh file: 'parts/gone.osgt'"), 1) << output;
    EXPECT_EQ(CountLines(output, "Error! Could not load model scenes/broken.zep"), 1) << output;
}

TEST_F(EntityLoading, IconBecomesATextureInTheSecondNode)
{
    osg::ref_ptr<osg::Image> image = new osg::Image;
    image->allocateImage(4, 4, 1, GL_RGB, GL_UNSIGNED_BYTE);
    ASSERT_TRUE(osgDB::writeImageFile(*image, Path("icon.png")));
    std::string output;
    auto objects = LoadAll("<ENTITY>\n<ICON> icon.png\n<VIDEO_INFO> clip\n</ENTITY>\n<ENTITY>\n<ICON> none.png\n</ENTITY>\n",
                           &output);
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0]->GetIcon(), "icon.png");
    EXPECT_EQ(objects[0]->GetVideoInfo(), "clip");
    ASSERT_NE(objects[0]->GetIconTexture(), nullptr);
    ASSERT_EQ(objects[0]->GetSecondNode()->getNumChildren(), 1u);
    EXPECT_EQ(objects[0]->GetSecondNode()->getChild(0)->getStateSet()->getTextureAttribute(0, osg::StateAttribute::TEXTURE),
              objects[0]->GetIconTexture());
    EXPECT_EQ(objects[1]->GetIconTexture(), nullptr);
    EXPECT_EQ(objects[1]->GetSecondNode()->getNumChildren(), 0u);
    EXPECT_EQ(CountLines(output, "Error could not load image file none.png"), 1) << output;
}

TEST_F(EntityLoading, LoadingTwiceStartsAfresh)
{
    Write("one.dat", kValid);
    COsgSettings reader;
    ASSERT_TRUE(reader.Load("one.dat"));
    CContentObject object;
    for (int round = 0; round < 2; ++round)
    {
        ASSERT_TRUE(reader.FindFirst("<ENTITY>"));
        Captured([&]() { EXPECT_TRUE(object.Load(7, reader)); });
        EXPECT_EQ(object.GetModels().size(), 1u);
        EXPECT_EQ(object.GetRootNode()->getNumChildren(), 1u);
        EXPECT_EQ(object.GetName(), "CRATE");
    }
}

TEST_F(EntityLoading, TenThousandObjectsInOneFile)
{
    std::string text;
    for (int i = 0; i < 10000; ++i)
        text += "<ENTITY>\n<NAME> OBJ" + std::to_string(i) + "\n<TRANS> " + std::to_string(i) + " 0 0\n</ENTITY>\n";
    auto objects = LoadAll(text);
    ASSERT_EQ(objects.size(), 10000u);
    EXPECT_EQ(objects[9999]->GetName(), "OBJ9999");
    EXPECT_EQ(objects[9999]->GetId(), 9999);
    EXPECT_DOUBLE_EQ(objects[4321]->GetTranslation().x(), 4321.0);
}
