// Material and light blocks, and the light rig that lights (and shadows) the content.

#include "CLight.h"
#include "CLightRig.h"
#include "CMaterial.h"
#include "COsgSettings.h"
#include "ObjectTestSupport.h"

#include <osg/BlendFunc>
#include <osg/Geode>
#include <osg/Geometry>
#include <osg/LightModel>
#include <osg/TexGenNode>
#include <osg/TextureCubeMap>
#include <osgDB/ReadFile>
#include <osgDB/WriteFile>

namespace
{
class MaterialsAndLights : public ContentFolder
{
protected:
    void SetUp() override
    {
        ContentFolder::SetUp();
        WritePicture("tex.png", 8, 8);
        WritePicture("cross.png", 32, 24);
        WritePicture("square.png", 16, 16);
    }

    void WritePicture(const std::string& file, int w, int h)
    {
        osg::ref_ptr<osg::Image> image = new osg::Image;
        image->allocateImage(w, h, 1, GL_RGB, GL_UNSIGNED_BYTE);
        for (int i = 0; i < w * h * 3; ++i) image->data()[i] = static_cast<unsigned char>(i * 7);
        ASSERT_TRUE(osgDB::writeImageFile(*image, Path(file)));
    }

    template <typename Record>
    Record* Read(const std::string& text, std::string* output = nullptr)
    {
        Write("block.txt", text);
        Record* record = nullptr;
        const std::string out = Captured([&]() {
            COsgSettings reader;
            if (reader.Load("block.txt")) Record::ReadAll(reader);
            const auto& all = Record::Loaded();
            record = all.empty() ? nullptr : all.back().get();
        });
        if (output) *output = out;
        return record;
    }

    static int IntUniform(osg::StateSet* state, const std::string& name)
    {
        int value = -1;
        if (osg::Uniform* uniform = state->getUniform(name)) uniform->get(value);
        return value;
    }
};
}

TEST_F(MaterialsAndLights, LightBlockAndItsDefaults)
{
    CLight* light = Read<CLight>("<LIGHT> 5\n<COLOUR> 1 0.5 0.25 1\n<AMBIENT> 0.1 0.2 0.3 1\n<SPECULAR> 0 0 1 1\n"
                                 "<POSITION> 1 2 3 1\n<ATTENUATION> 1 0.01 0.001\n</LIGHT>\n<LIGHT> 6\n</LIGHT>\n");
    ASSERT_EQ(CLight::Loaded().size(), 2u);
    CLight* first = CLight::Loaded()[0].get();
    EXPECT_EQ(first->Id(), 5);
    EXPECT_EQ(first->Index(), 0);
    EXPECT_EQ(first->Colour(), osg::Vec4(1, 0.5f, 0.25f, 1));
    EXPECT_EQ(first->GetLight()->getDiffuse(), osg::Vec4(1, 0.5f, 0.25f, 1));
    EXPECT_EQ(first->GetLight()->getPosition(), osg::Vec4(1, 2, 3, 1));
    EXPECT_FLOAT_EQ(first->GetLight()->getLinearAttenuation(), 0.01f);
    EXPECT_EQ(first->GetLightSource()->getLight(), first->GetLight());
    // Defaults: white, directional from +z, no fall-off.
    EXPECT_EQ(light->Index(), 1);
    EXPECT_EQ(light->GetLight()->getLightNum(), 1);
    EXPECT_EQ(light->Colour(), osg::Vec4(1, 1, 1, 1));
    EXPECT_EQ(light->Position(), osg::Vec4(0, 0, 1, 0));
    EXPECT_EQ(light->Attenuation(), osg::Vec3(1, 0, 0));
    osg::ref_ptr<osg::StateSet> state = new osg::StateSet;
    first->AddUniforms(state.get());
    for (const char* name : {"light[0].lightPos", "light[0].lightColor", "light[0].constant", "light[0].linear",
                             "light[0].quadratic"})
        EXPECT_NE(state->getUniform(name), nullptr) << name;
}

TEST_F(MaterialsAndLights, MaterialTagsBuildTheStateSet)
{
    std::string output;
    CMaterial* material = Read<CMaterial>(R"(<MATERIAL> 2
<LIGHTING_ATTS> 0.1 0.2 0.3 1  0.4 0.5 0.6 1  0.7 0.8 0.9 1  32
<TYPE> ADVANCED
<DIFFUSE_TEX> tex.png
<CHANNEL_TEX> 2 tex.png
<CHANNEL_CUBE> 3 tex.png tex.png tex.png tex.png tex.png tex.png
<CHANNEL_CUBE> 4 cross.png
<REFLECTION_TEX> tex.png 0.4
<SPECULAR_FROM_LIGHT> 0 0 1  1 1 1 1  20 0.5
<ALPHA> 0.5
<TWO_SIDED>
<UNIFORM> <VEC3> tint 1 0.5 0.25
<MIN> 0 0 0
<MAX> 1 1 1
<UNIFORM> <INT> mode 3
<MAX_2DCHANNELS> 5
<USE_TANGENT_SPACE>
<USE_SHADOWS>
</MATERIAL>
)",
                                          &output);
    ASSERT_NE(material, nullptr);
    EXPECT_TRUE(output.empty()) << output;
    osg::StateSet* state = material->GetStateSet();
    auto* colours = dynamic_cast<osg::Material*>(state->getAttribute(osg::StateAttribute::MATERIAL));
    ASSERT_NE(colours, nullptr);
    EXPECT_EQ(colours->getDiffuse(osg::Material::FRONT), osg::Vec4(0.4f, 0.5f, 0.6f, 0.5f));  // alpha from <ALPHA>
    EXPECT_FLOAT_EQ(colours->getShininess(osg::Material::FRONT), 32.f);
    EXPECT_EQ(material->GetType(), CMaterial::ADVANCED);
    EXPECT_NE(state->getTextureAttribute(0, osg::StateAttribute::TEXTURE), nullptr);
    EXPECT_EQ(IntUniform(state, "diffuseMap"), 0);
    EXPECT_EQ(IntUniform(state, "channel2"), 2);
    EXPECT_NE(dynamic_cast<osg::TextureCubeMap*>(state->getTextureAttribute(3, osg::StateAttribute::TEXTURE)), nullptr);
    auto* cross = dynamic_cast<osg::TextureCubeMap*>(state->getTextureAttribute(4, osg::StateAttribute::TEXTURE));
    ASSERT_NE(cross, nullptr);
    EXPECT_EQ(cross->getImage(osg::TextureCubeMap::POSITIVE_X)->s(), 8);
    EXPECT_EQ(IntUniform(state, "reflectionMap"), CMaterial::kReflectionUnit);
    EXPECT_EQ(IntUniform(state, "specularMap"), CMaterial::kSpecularUnit);
    EXPECT_NE(dynamic_cast<osg::TextureCubeMap*>(state->getTextureAttribute(CMaterial::kSpecularUnit,
                                                                            osg::StateAttribute::TEXTURE)),
              nullptr);
    EXPECT_NE(state->getAttribute(osg::StateAttribute::BLENDFUNC), nullptr);
    EXPECT_EQ(state->getRenderingHint(), int(osg::StateSet::TRANSPARENT_BIN));
    EXPECT_EQ(state->getMode(GL_CULL_FACE) & osg::StateAttribute::ON, 0u);
    ASSERT_EQ(material->Uniforms().size(), 2u);
    EXPECT_TRUE(material->Uniforms()[0].hasMin && material->Uniforms()[0].hasMax);
    EXPECT_EQ(material->Uniforms()[0].max, std::vector<double>({1, 1, 1}));
    EXPECT_EQ(IntUniform(state, "mode"), 3);
    EXPECT_EQ(material->Max2DChannels(), 5);
    EXPECT_TRUE(material->UsesShadows());
    ASSERT_NE(material->GetProgram(), nullptr);
    ASSERT_EQ(material->GetProgram()->getNumShaders(), 2u);
    const std::string vertex = material->GetProgram()->getShader(0)->getShaderSource();
    EXPECT_NE(vertex.find("#define HAS_DIFFUSE_MAP 1"), std::string::npos);
    EXPECT_NE(vertex.find("#define HAS_REFLECTION_MAP 1"), std::string::npos);
    // The defines follow the #version directive (a comment may mention it earlier).
    ASSERT_NE(vertex.find("\n#version 120\n#define NUM_LIGHTS"), std::string::npos);
}

TEST_F(MaterialsAndLights, MissingPicturesAreReportedAndLeftOut)
{
    std::string output;
    CMaterial* material = Read<CMaterial>("<MATERIAL> 0\n<DIFFUSE_TEX> gone.png\n<CHANNEL_TEX> 1 gone.png\n"
                                          "<CHANNEL_CUBE> 2 square.png\n<CHANNEL_CUBE> 3 tex.png tex.png gone.png tex.png "
                                          "tex.png tex.png\n<SPECULAR_FROM_FILES> a.png b.png c.png d.png e.png f.png 1\n"
                                          "<TYPE> SHINY\n<UNIFORM> <MAT4> m 1\n</MATERIAL>\n",
                                          &output);
    ASSERT_NE(material, nullptr);
    EXPECT_EQ(CountLines(output, "Error could not load image file gone.png"), 3) << output;
    EXPECT_EQ(CountLines(output, "Error could not load cube cross image file square.png"), 1) << output;
    EXPECT_EQ(CountLines(output, "Error could not load image file a.png"), 1) << output;
    EXPECT_EQ(CountLines(output, "Warning! <TYPE> expects STANDARD or ADVANCED, found \"SHINY\""), 1) << output;
    EXPECT_EQ(CountLines(output, "Warning! <UNIFORM> expects a type"), 1) << output;
    for (unsigned unit = 0; unit < 16; ++unit)
        EXPECT_EQ(material->GetStateSet()->getTextureAttribute(unit, osg::StateAttribute::TEXTURE), nullptr) << unit;
    EXPECT_EQ(material->GetType(), CMaterial::STANDARD);
    EXPECT_EQ(material->GetProgram(), nullptr);
}

TEST_F(MaterialsAndLights, TangentSpaceIsGeneratedForTheModel)
{
    CMaterial* material = Read<CMaterial>("<MATERIAL> 0\n<TYPE> ADVANCED\n<CHANNEL_TEX> 1 tex.png\n<USE_TANGENT_SPACE>\n</MATERIAL>\n");
    ASSERT_NE(material, nullptr);
    osg::ref_ptr<osg::Node> box = osgDB::readNodeFile(Path(WriteBoxMesh("box.osgt", 1.f)));
    ASSERT_TRUE(box.valid());
    material->ApplyTo(box.get());
    ASSERT_NE(FindNamed(box.get(), "Box"), nullptr);
    osg::Geometry* geometry = FindNamed(box.get(), "Box")->asGeode()->getDrawable(0)->asGeometry();
    ASSERT_NE(geometry->getVertexAttribArray(CMaterial::kTangentAttribute), nullptr);
    EXPECT_EQ(geometry->getVertexAttribArray(CMaterial::kTangentAttribute)->getNumElements(),
              geometry->getVertexArray()->getNumElements());
    EXPECT_NE(geometry->getVertexAttribArray(CMaterial::kBinormalAttribute), nullptr);
    EXPECT_EQ(box->getStateSet(), material->GetStateSet());
    const osg::Program::AttribBindingList& bindings = material->GetProgram()->getAttribBindingList();
    EXPECT_EQ(bindings.at("tangent"), GLuint(CMaterial::kTangentAttribute));
    const std::string vertex = material->GetProgram()->getShader(0)->getShaderSource();
    EXPECT_NE(vertex.find("#define HAS_NORMAL_MAP 1"), std::string::npos);
}

TEST_F(MaterialsAndLights, LightRigWithoutLightsIsTheContentItself)
{
    osg::ref_ptr<osg::Group> content = new osg::Group;
    EXPECT_EQ(CLightRig::Build(content.get(), true, 512), content.get());
}

TEST_F(MaterialsAndLights, LightRigSwitchesLightsOnAndBindsShadowMaps)
{
    Read<CLight>("<LIGHT> 0\n</LIGHT>\n<LIGHT> 1\n<POSITION> 0 100 0 1\n</LIGHT>\n");
    Read<CMaterial>("<MATERIAL> 0\n<TYPE> ADVANCED\n<CHANNEL_TEX> 1 tex.png\n<USE_SHADOWS>\n</MATERIAL>\n"
                    "<MATERIAL> 1\n<TYPE> ADVANCED\n</MATERIAL>\n");
    osg::ref_ptr<osg::Group> content = new osg::Group;
    for (int round = 0; round < 2; ++round)
    {
        SCOPED_TRACE(round);
        osg::ref_ptr<osg::Node> built = CLightRig::Build(content.get(), round == 0, 256);
        osg::Group* top = built->asGroup();
        ASSERT_NE(top, nullptr);
        for (int i = 0; i < 2; ++i)
        {
            CLight* light = CLight::Loaded()[static_cast<size_t>(i)].get();
            EXPECT_EQ(top->getStateSet()->getMode(GL_LIGHT0 + i), osg::StateAttribute::ON);
            EXPECT_TRUE(top->containsNode(light->GetLightSource()));
        }
        EXPECT_NE(top->getStateSet()->getUniform("light[1].lightPos"), nullptr);
        if (round == 1)
        {
            EXPECT_EQ(top, content.get());
            continue;
        }
        // Shadows: two nested passes, each with a depth camera and a texture generation node.
        ASSERT_NE(top, content.get());
        osg::Group* pass = top;
        for (int i = 1; i >= 0; --i)
        {
            auto* camera = dynamic_cast<osg::Camera*>(pass->getChild(0));
            ASSERT_NE(camera, nullptr);
            EXPECT_EQ(camera->getRenderOrder(), osg::Camera::PRE_RENDER);
            EXPECT_EQ(camera->getChild(0), content.get());
            auto* texGen = dynamic_cast<osg::TexGenNode*>(pass->getChild(1));
            ASSERT_NE(texGen, nullptr);
            EXPECT_EQ(texGen->getTextureUnit(), unsigned(i));
            osg::Texture2D* depth = CLight::Loaded()[static_cast<size_t>(i)]->GetDepthTexture();
            ASSERT_NE(depth, nullptr);
            EXPECT_EQ(depth->getTextureWidth(), 256);
            EXPECT_TRUE(depth->getShadowComparison());
            pass = pass->getChild(2)->asGroup();
        }
        EXPECT_EQ(pass, content.get());
        // Material 0 has two 2D channels (0 and 1): light i's map goes on unit 2 + i.
        osg::StateSet* state = CMaterial::At(0)->GetStateSet();
        EXPECT_EQ(state->getTextureAttribute(2, osg::StateAttribute::TEXTURE), CLight::Loaded()[0]->GetDepthTexture());
        EXPECT_EQ(state->getTextureAttribute(3, osg::StateAttribute::TEXTURE), CLight::Loaded()[1]->GetDepthTexture());
        EXPECT_EQ(IntUniform(state, "ShadowMap"), 2);
        EXPECT_EQ(IntUniform(state, "ShadowMap1"), 3);
        EXPECT_EQ(CMaterial::At(0)->GetProgram()->getNumShaders(), 4u);  // material pair and shadow pair
        EXPECT_EQ(CMaterial::At(1)->GetStateSet()->getUniform("ShadowMap"), nullptr);
    }
}

TEST_F(MaterialsAndLights, OnlyEightLightsShine)
{
    std::string text;
    for (int i = 0; i < 9; ++i) text += "<LIGHT> " + std::to_string(i) + "\n</LIGHT>\n";
    Read<CLight>(text);
    ASSERT_EQ(CLight::Loaded().size(), 9u);
    osg::ref_ptr<osg::Group> content = new osg::Group;
    std::string output = Captured([&]() { CLightRig::Build(content.get(), false, 256); });
    EXPECT_EQ(CountLines(output, "Warning! Only 8 lights can shine; light 8 is left off"), 1) << output;
    EXPECT_EQ(content->getNumChildren(), 8u);
}

TEST_F(MaterialsAndLights, ShadowMapNeverTakesTheDiffuseUnit)
{
    Read<CLight>("<LIGHT> 0\n</LIGHT>\n");
    CMaterial* material = Read<CMaterial>("<MATERIAL> 0\n<TYPE> ADVANCED\n<DIFFUSE_TEX> tex.png\n<USE_SHADOWS>\n</MATERIAL>\n");
    osg::ref_ptr<osg::Group> content = new osg::Group;
    osg::ref_ptr<osg::Node> built = CLightRig::Build(content.get(), true, 128);
    osg::StateSet* state = material->GetStateSet();
    EXPECT_NE(dynamic_cast<osg::Texture2D*>(state->getTextureAttribute(0, osg::StateAttribute::TEXTURE)),
              CLight::Loaded()[0]->GetDepthTexture());
    EXPECT_EQ(state->getTextureAttribute(1, osg::StateAttribute::TEXTURE), CLight::Loaded()[0]->GetDepthTexture());
    EXPECT_EQ(IntUniform(state, "diffuseMap"), 0);
    EXPECT_EQ(IntUniform(state, "ShadowMap0"), 1);
}
