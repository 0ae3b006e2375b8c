// Writing an object back as an <ENTITY> block (the save key) and reading it again.

#include "CContentObject.h"
#include "COsgSettings.h"
#include "ObjectTestSupport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace
{
class EntitySaving : public ContentFolder
{
protected:
    void SetUp() override
    {
        ContentFolder::SetUp();
        WriteBoxMesh("meshes/box.osgt", 5.f);
    }

    std::unique_ptr<CContentObject> LoadFrom(const std::string& file, std::string* output = nullptr)
    {
        std::unique_ptr<CContentObject> object(new CContentObject);
        const std::string out = Captured([&]() {
            COsgSettings reader;
            if (reader.Load(file) && reader.FindFirst("<ENTITY>")) object->Load(3, reader);
        });
        if (output) *output = out;
        return object;
    }

    std::string Save(CContentObject& object, const std::string& file)
    {
        bool saved = false;
        const std::string output = Captured([&]() { saved = object.SaveSettings(Path(file)); });
        EXPECT_TRUE(saved) << output;
        return output;
    }
};

const char* kFull = R"(<ENTITY>
    <NAME> CRATE
    <GROUP> TOYS
    <MARKER> MARKER_A
    <ICON> icons/crate.png
    <TRANS> 1.5 -2 30
    <ROT> 10 -20 45
    <SCALE> 0.75
    <EFFECT_GROUP> SHINY METAL CHROME
    <MODEL>
        <FILE> meshes/box.osgt
        <DIFFUSE_MAP> crate.png
        <EFFECT> METAL CHROME
        <ANI_CONTROL>
            <MODE> SWING
            <SEGMENT>
                <FRAMES> 30
            </SEGMENT>
        </ANI_CONTROL>
    </MODEL>
    <SOUND>
        <FILE> hum.wav
    </SOUND>
    <BUBBLES> 1 2 3
</ENTITY>
)";
}

TEST_F(EntitySaving, WrittenObjectReadsBackTheSame)
{
    Write("full.dat", kFull);
    auto first = LoadFrom("full.dat");
    Save(*first, "saved.dat");
    auto second = LoadFrom("saved.dat");
    EXPECT_EQ(second->GetName(), "CRATE");
    EXPECT_EQ(second->GetGroup(), "TOYS");
    EXPECT_EQ(second->GetMarker(), "MARKER_A");
    EXPECT_EQ(second->GetIcon(), "icons/crate.png");
    EXPECT_NEAR((second->GetTranslation() - first->GetTranslation()).length(), 0.0, 1e-5);
    EXPECT_NEAR((second->GetRotation() - first->GetRotation()).length(), 0.0, 1e-6);
    EXPECT_NEAR(second->GetScale(), 0.75, 1e-6);
    ASSERT_EQ(second->GetModels().size(), 1u);
    EXPECT_EQ(second->GetModels()[0]->filePath, "meshes/box.osgt");
    EXPECT_EQ(second->GetModels()[0]->diffuseMap, "crate.png");
    // Writing the second gives the same text as writing the first: nothing was lost.
    Save(*second, "again.dat");
    EXPECT_EQ(TestFolder::ReadFile(Path("again.dat")), TestFolder::ReadFile(Path("saved.dat")));
    const std::string text = TestFolder::ReadFile(Path("saved.dat"));
    for (const char* kept : {"<EFFECT_GROUP> SHINY METAL CHROME", "<EFFECT> METAL CHROME", "<FRAMES> 30",
                             "<FILE> hum.wav", "<BUBBLES> 1.000000 2.000000 3.000000"})
        EXPECT_NE(text.find(kept), std::string::npos) << kept << "\n" << text;
}

TEST_F(EntitySaving, LayoutFollowsTheTagFileWriter)
{
    Write("one.dat", "<ENTITY>\n<NAME> A\n<ROT> 0 0 45\n<MODEL>\n<FILE> meshes/box.osgt\n</MODEL>\n</ENTITY>\n");
    auto object = LoadFrom("one.dat");
    const std::string output = Save(*object, "out.dat");
    EXPECT_EQ(TestFolder::ReadFile(Path("out.dat")),
              "<ENTITY> \n"
              "    <NAME> A \n"
              "    <GROUP> NONE \n"
              "    <MARKER> NONE \n"
              "    <TRANS> 0 0 0 \n"
              "    <ROT> 0 0 45 \n"
              "    <SCALE> 1 \n"
              "    <MODEL> \n"
              "        <FILE> meshes/box.osgt \n"
              "    </MODEL> \n"
              "</ENTITY> \n");
    EXPECT_EQ(CountLines(output, "Stored position x: 0 y: 0 z: 0"), 1) << output;
    EXPECT_EQ(CountLines(output, "Stored angle x: 0 y: 0 z: 0.785398"), 1) << output;
}

TEST_F(EntitySaving, EditedTransformIsWritten)
{
    CContentObject object;
    object.SetTranslation(4, 5, 6);
    object.SetRotation(osg::PI_2, 0, 0);
    object.SetScale(1.1 * 0.9);
    Save(object, "edited.dat");
    auto back = LoadFrom("edited.dat");
    EXPECT_NEAR((back->GetTranslation() - osg::Vec3d(4, 5, 6)).length(), 0.0, 1e-6);
    EXPECT_NEAR(back->GetRotation().x(), osg::PI_2, 1e-6);
    EXPECT_NEAR(back->GetScale(), 0.99, 1e-6);
}

TEST_F(EntitySaving, FileInAMissingFolderIsNotWrittenAndSaysSo)
{
    CContentObject object;
    bool saved = true;
    const std::string output = Captured([&]() { saved = object.SaveSettings(Path("no/such/folder/x.dat")); });
    EXPECT_FALSE(saved);
    EXPECT_FALSE(TestFolder::Exists(Path("no/such/folder/x.dat")));
    EXPECT_EQ(CountLines(output, "Error! Could not write the object to " + Path("no/such/folder/x.dat")), 1) << output;
}

TEST_F(EntitySaving, AFailedWriteLeavesTheOldFileAndSaysSo)
{
    Write("old.dat", "old text\n");
    TestFolder::MakeDiskFullFor(Path("old.dat"));
    CContentObject object;
    bool saved = true;
    const std::string output = Captured([&]() { saved = object.SaveSettings(Path("old.dat")); });
    EXPECT_FALSE(saved);
    EXPECT_EQ(TestFolder::ReadFile(Path("old.dat")), "old text\n");
    EXPECT_EQ(CountLines(output, "Error! Could not write the object to " + Path("old.dat")), 1) << output;
}

TEST_F(EntitySaving, SavingTwiceReplacesTheFile)
{
    CContentObject object;
    Save(object, "twice.dat");
    object.SetTranslation(1, 0, 0);
    Save(object, "twice.dat");
    auto back = LoadFrom("twice.dat");
    EXPECT_DOUBLE_EQ(back->GetTranslation().x(), 1.0);
    EXPECT_EQ(CountLines(TestFolder::ReadFile(Path("twice.dat")), "<ENTITY>"), 1);
}
