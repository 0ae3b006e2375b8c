// Model group files ("zep"): node structure, mesh sizing, placement, effects,
// simple animation, material numbering and files that are broken.

#include "CLight.h"
#include "CMaterial.h"
#include "CModelGroup.h"
#include "COsgObject.h"
#include "ObjectTestSupport.h"

#include <osg/FrameStamp>
#include <osgFX/AnisotropicLighting>
#include <osgFX/Cartoon>
#include <osgFX/Scribe>
#include <osgDB/WriteFile>
#include <osgUtil/UpdateVisitor>

namespace
{
class ModelGroups : public ContentFolder
{
protected:
    void SetUp() override
    {
        ContentFolder::SetUp();
        WriteLineMesh("line.osgt", 50.f);
        WriteBoxMesh("box.osgt", 5.f);
    }

    CModelGroup* Load(const std::string& file, const std::string& text, std::string* output = nullptr)
    {
        Write(file, text);
        CModelGroup* group = nullptr;
        const std::string out = Captured([&]() { group = CModelGroup::Load(file); });
        if (output) *output = out;
        return group;
    }

    static const char* Materials(int count)
    {
        static std::string text;
        text.clear();
        for (int i = 0; i < count; ++i)
            text += "<MATERIAL> " + std::to_string(i) + "\n<LIGHTING_ATTS> 0 0 0 1 " + std::to_string(0.1 * (i + 1)) +
                    " 0 0 1 0 0 0 1 1\n</MATERIAL>\n";
        return text.c_str();
    }
};
}

TEST_F(ModelGroups, NodeStructureAndMeshSizing)
{
    CModelGroup* group = Load("sized.zep", "<MODEL>\n<FILENAME> line.osgt 10\n</MODEL>\n<MODEL>\n<FILENAME> line.osgt 0\n</MODEL>\n");
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(group->Objects().size(), 2u);
    COsgObject* small = group->Objects()[0].get();
    EXPECT_EQ(small->GetRoot()->getName(), "Object Root");
    EXPECT_EQ(small->GetRoot()->getChild(0), small->GetWorldTransform());
    EXPECT_EQ(small->GetWorldTransform()->getName(), "Object World Trans");
    EXPECT_EQ(small->GetWorldTransform()->getChild(0), small->GetLocalTransform());
    EXPECT_EQ(small->GetLocalTransform()->getName(), "Object local trans");
    EXPECT_EQ(small->GetLocalTransform()->getChild(0), small->GetModel());
    EXPECT_EQ(small->GetModel()->getName(), "Object Model");
    EXPECT_EQ(group->GetNode()->getChild(0), small->GetRoot());
    // Radius 50 sized to 10: one fifth.
    EXPECT_NEAR(small->Radius(), 50.0, 1e-4);
    EXPECT_NEAR(small->GetLocalTransform()->getMatrix().getScale().x(), 0.2, 1e-6);
    EXPECT_FLOAT_EQ(small->Size(), 10.f);
    COsgObject* own = group->Objects()[1].get();
    EXPECT_NEAR(own->GetLocalTransform()->getMatrix().getScale().x(), 1.0, 1e-9);
    EXPECT_NEAR(own->Size(), 50.f, 1e-3);
}

TEST_F(ModelGroups, WorldMatrixScalesTurnsThenMoves)
{
    CModelGroup* group = Load("placed.zep", "<MODEL>\n<TRANS> 10 0 0\n<FILENAME> line.osgt 0\n<ROT> 0 0 1.5707963267948966\n"
                                            "<SCALE> 2 1 1\n</MODEL>\n");
    ASSERT_NE(group, nullptr);
    const osg::Vec3d p = osg::Vec3d(1, 0, 0) * group->Objects()[0]->GetWorldTransform()->getMatrix();
    EXPECT_NEAR((p - osg::Vec3d(10, 2, 0)).length(), 0.0, 1e-9);
}

TEST_F(ModelGroups, SimpleAnimationTurnsByRateTimesStepEachFrame)
{
    CModelGroup* group = Load("spin.zep", "<MODEL>\n<FILENAME> line.osgt 0\n<ROT> 0.5 0 0\n"
                                          "<APPLY_SIMPLE_ANIMATION> 1 2 -3 4 5 6 7 8 9\n</MODEL>\n");
    ASSERT_NE(group, nullptr);
    COsgObject* object = group->Objects()[0].get();
    EXPECT_TRUE(object->SimpleAnimationOn());
    osg::ref_ptr<osg::FrameStamp> stamp = new osg::FrameStamp;
    osgUtil::UpdateVisitor update;
    update.setFrameStamp(stamp.get());
    for (int frame = 1; frame <= 100; ++frame)
    {
        stamp->setFrameNumber(static_cast<unsigned>(frame));
        group->GetNode()->accept(update);
        group->GetNode()->accept(update);  // a second visit in the same frame does not move it
    }
    EXPECT_NEAR(object->Rotation()[0], 0.5 + 100 * 0.003 * 1, 1e-6);
    EXPECT_NEAR(object->Rotation()[1], 100 * 0.003 * 2, 1e-6);
    EXPECT_NEAR(object->Rotation()[2], 100 * 0.003 * -3, 1e-6);
    // Only the rotation rates are used.
    EXPECT_EQ(object->Translation()[0], 0.0);
    EXPECT_EQ(object->ScaleFactors()[2], 1.0);
    const osg::Matrixd expected = osg::Matrixd::rotate(object->Rotation()[0], osg::X_AXIS) *
                                  osg::Matrixd::rotate(object->Rotation()[1], osg::Y_AXIS) *
                                  osg::Matrixd::rotate(object->Rotation()[2], osg::Z_AXIS);
    const osg::Matrixd& actual = object->GetWorldTransform()->getMatrix();
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(actual(r, c), expected(r, c), 1e-9);
}

TEST_F(ModelGroups, EffectsGoBetweenTheMeshAndItsParent)
{
    CModelGroup* group = Load("fx.zep", "<MODEL>\n<FILENAME> box.osgt 0\n<SCRIBE_EFFECT>\n</MODEL>\n"
                                        "<MODEL>\n<FILENAME> box.osgt 0\n<CARTOON_EFFECT> 3\n</MODEL>\n"
                                        "<MODEL>\n<FILENAME> box.osgt 0\n<ANISOTROPIC_EFFECT>\n</MODEL>\n");
    ASSERT_NE(group, nullptr);
    for (const auto& object : group->Objects())
    {
        ASSERT_EQ(object->GetLocalTransform()->getNumChildren(), 1u);
        osg::Group* effect = object->GetLocalTransform()->getChild(0)->asGroup();
        ASSERT_NE(effect, nullptr);
        EXPECT_EQ(effect->getChild(0), object->GetModel());
    }
    EXPECT_NE(dynamic_cast<osgFX::Scribe*>(group->Objects()[0]->GetLocalTransform()->getChild(0)), nullptr);
    auto* cartoon = dynamic_cast<osgFX::Cartoon*>(group->Objects()[1]->GetLocalTransform()->getChild(0));
    ASSERT_NE(cartoon, nullptr);
    EXPECT_FLOAT_EQ(cartoon->getOutlineLineWidth(), 3.f);
    EXPECT_NE(dynamic_cast<osgFX::AnisotropicLighting*>(group->Objects()[2]->GetLocalTransform()->getChild(0)), nullptr);
}

TEST_F(ModelGroups, AnisotropicLightingMapFallsBackToTheShippedMap)
{
    osg::ref_ptr<osg::Image> map = new osg::Image;
    map->allocateImage(8, 4, 1, GL_RGB, GL_UNSIGNED_BYTE);
    Write("models/placeholder", "");
    ASSERT_TRUE(osgDB::writeImageFile(*map, Path("models/light.jpg")));
    CModelGroup* group = Load("aniso.zep", "<MODEL>\n<FILENAME> box.osgt 0\n<ANISOTROPIC_EFFECT>\n</MODEL>\n");
    ASSERT_NE(group, nullptr);
    auto* effect = dynamic_cast<osgFX::AnisotropicLighting*>(group->Objects()[0]->GetLocalTransform()->getChild(0));
    ASSERT_NE(effect, nullptr);
    ASSERT_NE(effect->getLightingMap(), nullptr);
    EXPECT_EQ(effect->getLightingMap()->s(), 8);
}

TEST_F(ModelGroups, MaterialNumbersAreLocalToTheFile)
{
    ASSERT_NE(Load("first.zep", std::string(Materials(2)) + "<MODEL>\n<FILENAME> box.osgt 0\n<APPLY_MATERIAL> 1\n</MODEL>\n"),
              nullptr);
    CModelGroup* second =
        Load("second.zep", std::string(Materials(1)) + "<MODEL>\n<FILENAME> box.osgt 0\n<APPLY_MATERIAL> 0\n</MODEL>\n");
    ASSERT_NE(second, nullptr);
    ASSERT_EQ(CMaterial::Loaded().size(), 3u);
    EXPECT_EQ(CModelGroup::Loaded()[0]->Objects()[0]->GetModel()->getStateSet(), CMaterial::At(1)->GetStateSet());
    EXPECT_EQ(second->Objects()[0]->GetModel()->getStateSet(), CMaterial::At(2)->GetStateSet());
}

TEST_F(ModelGroups, SubMaterialGoesToTheNamedNode)
{
    std::string output;
    CModelGroup* group = Load("sub.zep", std::string(Materials(1)) +
                                             "<MODEL>\n<FILENAME> box.osgt 0\n<APPLY_SUB_MATERIAL> Box 0\n"
                                             "<APPLY_SUB_MATERIAL> Lid 0\n<APPLY_MATERIAL> 4\n</MODEL>\n",
                              &output);
    ASSERT_NE(group, nullptr);
    osg::Node* box = FindNamed(group->GetNode(), "Box");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->getStateSet(), CMaterial::At(0)->GetStateSet());
    EXPECT_EQ(CountLines(output, "Warning! <APPLY_SUB_MATERIAL>: no node named Lid in box.osgt"), 1) << output;
    EXPECT_EQ(CountLines(output, "Warning! <APPLY_MATERIAL> 4: sub.zep has no material 4"), 1) << output;
}

TEST_F(ModelGroups, BrokenFilesGiveNoGroupAndSayWhy)
{
    struct Case
    {
        const char* what;
        std::string text;
        std::vector<std::string> messages;
    };
    const std::vector<Case> cases = {
        {"a mesh that does not load ends the file",
         "<MODEL>\n<FILENAME> box.osgt 0\n</MODEL>\n<MODEL>\n<FILENAME> gone.osgt 5\n</MODEL>\n<MODEL>\n<FILENAME> box.osgt 0\n</MODEL>\n",
         {"Error! Unable to load model gone.osgt defaulting to box", "Error! Unable to load mesh file: 'gone.osgt'"}},
        {"no model block", std::string(Materials(1)),
         {"Error! ZEP files must contain at leat one <MODEL> node"}},
        {"empty file", "", {"Error! ZEP files must contain at leat one <MODEL> node"}},
        {"model without a file name", "<MODEL>\n<FILENAME>\n</MODEL>\n",
         {"Warning! <FILENAME> expects 1 number, found \"\"; missing or bad values read as 0",
          "Error! Unable to load model  defaulting to box", "Error! Unable to load mesh file: ''"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        std::string output;
        EXPECT_EQ(Load("broken.zep", c.text, &output), nullptr);
        for (const std::string& message : c.messages) EXPECT_EQ(CountLines(output, message), 1) << output;
    }
    std::string output;
    const size_t groups = CModelGroup::Loaded().size();
    output = Captured([&]() { EXPECT_EQ(CModelGroup::Load("nothere.zep"), nullptr); });
    EXPECT_EQ(CountLines(output, "Error! Unable to open ZEP file: nothere.zep"), 1) << output;
    EXPECT_EQ(CModelGroup::Loaded().size(), groups);
}

TEST_F(ModelGroups, CutAndCorruptedFilesKeepWhatIsWhole)
{
    std::string output;
    // The model block is never closed and a value is not a number; effects
    // come before their mesh.
    CModelGroup* group = Load("cut.zep", "<LIGHT> 0\n<COLOUR> 1 0 0 1\n<MODEL>\n<SCRIBE_EFFECT>\n<FILENAME> box.osgt ten\n"
                                         "<TRANS> 1 2\n",
                              &output);
    ASSERT_NE(group, nullptr) << output;
    ASSERT_EQ(group->Objects().size(), 1u);
    EXPECT_EQ(CLight::Loaded().size(), 1u);
    EXPECT_EQ(CountLines(output, "Warning! <LIGHT> block is not closed by </LIGHT>; it ends here"), 1) << output;
    EXPECT_EQ(CountLines(output, "Warning! <SCRIBE_EFFECT> needs <FILENAME> before it in cut.zep"), 1) << output;
    EXPECT_EQ(CountLines(output, "Warning! <FILENAME> expects 1 number, found \"box.osgt ten\""), 1) << output;
    EXPECT_EQ(CountLines(output, "Warning! <TRANS> expects 3 numbers, found \"1 2\""), 1) << output;
    EXPECT_EQ(CountLines(output, "Warning! <MODEL> block is not closed by </MODEL>; it ends here"), 1) << output;
    EXPECT_EQ(group->Objects()[0]->Translation()[1], 2.0);
}
