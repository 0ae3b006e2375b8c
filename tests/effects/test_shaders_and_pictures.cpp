// The effect shaders under Mesa: each compiles and links with an empty log,
// every uniform an effect sets is an active uniform of its linked program,
// and a sphere drawn with each of the twelve types matches its reference
// picture within a tolerance. A missing shader file or environment map gives
// its message and the sphere is still drawn.
//
// VEXAMARK_UPDATE_REFERENCES=1 writes the pictures into the source tree
// instead of comparing (after a deliberate change of a shader or map).
#include "EffectTestSupport.h"

#include "CEffect.h"
#include "CEffectLibrary.h"
#include "CEffectTarget.h"
#include "CTextureStore.h"

#include <osg/GLExtensions>
#include <osg/Program>
#include <osg/Texture2D>

#include <set>
#include <osgDB/ReadFile>
#include <osgDB/WriteFile>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace
{
const int kSize = 96;

// One preset per type, chosen so the pictures differ plainly.
const char* const kTypePresets[][2] = {
    {"METAL", "Gold"},           {"CHROME_METAL", "Chrome"},       {"BRUSHED_METAL", "BrushedSteel"},
    {"ALPHA_GLASS", "BottleGreen"}, {"GLOSS_MAP", "Glazed"},        {"GLOSS_MAP_SOFT", "SoftGlaze"},
    {"DIF_AOIL", "Painted"},     {"DIF_SOFT_AOIL", "Sheen"}, {"GLASS", "RubyGlass"},
    {"RUBBER", "SignalRed"},     {"SPEC", "Gloss"},                {"STONE", "Jade"}};

std::string referencePath(const std::string& type)
{
    return std::string(VEXAMARK_SOURCE_DIR) + "/tests/effects/reference/" + type + ".png";
}

// Mean difference per channel (0..255) and share of pixels off by more than 48.
void compare(const osg::Image& a, const osg::Image& b, double& mean, double& outliers)
{
    double sum = 0;
    int off = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
        {
            const unsigned char* p = a.data(x, y);
            const unsigned char* q = b.data(x, y);
            int worst = 0;
            for (int c = 0; c < 3; ++c)
            {
                const int d = std::abs(int(p[c]) - int(q[c]));
                sum += d;
                worst = std::max(worst, d);
            }
            if (worst > 48) ++off;
        }
    mean = sum / (kSize * kSize * 3);
    outliers = double(off) / (kSize * kSize);
}

// A model carrying the demo's gloss and diffuse maps.
class MappedModel : public CEffectTarget
{
public:
    bool SetEffect(CEffect* effect) override { return effect != nullptr; }
    std::string GetGlossMapFile() const override { return "models/effects/glossTiles.png"; }
    std::string GetDiffuseMapFile() const override { return "models/effects/paintedBands.png"; }
};

class ShadersAndPictures : public EffectFolder
{
protected:
    void SetUp() override
    {
        EffectFolder::SetUp();
        // The camera picture the refracting effects look through.
        osg::ref_ptr<osg::Texture2D> picture = new osg::Texture2D(MakeStripes(256));
        previousScene = CTextureStore::Instance()->GetSceneTexture();
        CTextureStore::Instance()->SetSceneTexture(picture.get());
        const std::string output = Captured([]() { CEffectLibrary::Instance()->LoadPresets("models/effects.mfx"); });
        ASSERT_TRUE(output.empty()) << output;
    }
    void TearDown() override
    {
        CTextureStore::Instance()->SetSceneTexture(previousScene.get());
        EffectFolder::TearDown();
    }
    CEffect* Make(const std::string& type, const std::string& preset, std::string* printed = nullptr)
    {
        CEffect* effect = nullptr;
        const std::string output =
            Captured([&]() { effect = CEffectLibrary::Instance()->CreateEffect(type, true, preset, {}, &model); });
        if (printed) *printed = output;
        return effect;
    }
    // The sphere drawn with the effect's state set.
    osg::ref_ptr<osg::Image> DrawSphere(CEffect* effect, const std::function<void(osg::State&)>& inspect = nullptr)
    {
        osg::ref_ptr<osg::Geode> sphere = MakeSphere();
        if (effect) sphere->setStateSet(effect->GetStateSet());
        return Draw(sphere.get(), kSize, inspect);
    }
    // Share of pixels in the middle third that are not the clear colour.
    static double Covered(const osg::Image& image)
    {
        int covered = 0, all = 0;
        for (int y = kSize / 3; y < 2 * kSize / 3; ++y)
            for (int x = kSize / 3; x < 2 * kSize / 3; ++x, ++all)
            {
                const unsigned char* p = image.data(x, y);
                if (std::abs(p[0] - 26) + std::abs(p[1] - 26) + std::abs(p[2] - 26) > 12) ++covered;
            }
        return double(covered) / all;
    }
    osg::ref_ptr<osg::Texture> previousScene;
    MappedModel model;
};

TEST_F(ShadersAndPictures, EveryProgramLinksCleanlyAndHasEveryUniformItsEffectSets)
{
    for (const auto& typePreset : kTypePresets)
    {
        const std::string type = typePreset[0];
        if (type == "SPEC") continue;  // fixed-function texturing, no program
        SCOPED_TRACE(type);
        CEffect* effect = Make(type, typePreset[1]);
        ASSERT_TRUE(effect);
        bool inspected = false, linked = false;
        std::string programLog, shaderLogs;
        std::set<std::string> missing;
        osg::ref_ptr<osg::Image> picture = DrawSphere(effect, [&](osg::State& state) {
            inspected = true;
            const osg::Program::PerContextProgram* pcp = effect->GetProgram()->getPCP(state);
            if (!pcp) return;
            linked = pcp->isLinked();
            pcp->getInfoLog(programLog);
            for (osg::Shader* shader : {effect->GetVertexShader(), effect->GetFragmentShader()})
            {
                std::string log;
                if (const osg::Shader::PerContextShader* pcs = shader->getPCS(state)) pcs->getInfoLog(log);
                shaderLogs += log;
            }
            for (const auto& uniform : effect->GetUniforms())
                if (pcp->getUniformLocation(osg::Uniform::getNameID(uniform->getName())) < 0)
                    missing.insert(uniform->getName());
        });
        ASSERT_TRUE(picture.valid()) << "no display";
        ASSERT_TRUE(inspected);
        EXPECT_TRUE(linked) << programLog;
        EXPECT_EQ(programLog.find_first_not_of(" \n\r\t"), std::string::npos) << programLog;
        EXPECT_EQ(shaderLogs.find_first_not_of(" \n\r\t"), std::string::npos) << shaderLogs;
        EXPECT_TRUE(missing.empty()) << "not active: " << *missing.begin();
    }
}

TEST_F(ShadersAndPictures, EachTypeDrawsItsReferencePicture)
{
    const bool update = std::getenv("VEXAMARK_UPDATE_REFERENCES") != nullptr;
    for (const auto& typePreset : kTypePresets)
    {
        const std::string type = typePreset[0];
        SCOPED_TRACE(type);
        CEffect* effect = Make(type, typePreset[1]);
        ASSERT_TRUE(effect);
        osg::ref_ptr<osg::Image> picture = DrawSphere(effect);
        ASSERT_TRUE(picture.valid()) << "no display";
        EXPECT_GT(Covered(*picture), 0.95);
        if (update)
        {
            std::filesystem::create_directories(std::filesystem::path(referencePath(type)).parent_path());
            ASSERT_TRUE(osgDB::writeImageFile(*picture, referencePath(type)));
            continue;
        }
        osg::ref_ptr<osg::Image> reference = osgDB::readRefImageFile(referencePath(type));
        ASSERT_TRUE(reference.valid()) << referencePath(type);
        ASSERT_EQ(reference->s(), kSize);
        double mean = 0, outliers = 0;
        compare(*picture, *reference, mean, outliers);
        if (mean >= 3.0 || outliers >= 0.02)
            osgDB::writeImageFile(*picture, std::string(::testing::TempDir()) + "/effect-" + type + ".png");
        EXPECT_LT(mean, 3.0) << "mean difference";
        EXPECT_LT(outliers, 0.02) << "share of pixels far off";
    }
}

TEST_F(ShadersAndPictures, TheTwelvePicturesDifferFromEachOther)
{
    std::vector<osg::ref_ptr<osg::Image>> pictures;
    for (const auto& typePreset : kTypePresets)
    {
        osg::ref_ptr<osg::Image> picture = DrawSphere(Make(typePreset[0], typePreset[1]));
        ASSERT_TRUE(picture.valid());
        pictures.push_back(picture);
    }
    for (size_t i = 0; i < pictures.size(); ++i)
        for (size_t j = i + 1; j < pictures.size(); ++j)
        {
            double mean = 0, outliers = 0;
            compare(*pictures[i], *pictures[j], mean, outliers);
            EXPECT_GT(mean, 3.0) << kTypePresets[i][0] << " looks like " << kTypePresets[j][0];
        }
}

TEST_F(ShadersAndPictures, AModelWithAShaderOfItsOwnIsDrawnWithItsEffect)
{
    // The model's own program paints it pure blue.
    osg::ref_ptr<osg::Geode> sphere = MakeSphere();
    osg::ref_ptr<osg::Program> own = new osg::Program;
    own->addShader(new osg::Shader(osg::Shader::VERTEX, "#version 120\nvoid main() { gl_Position = ftransform(); }\n"));
    own->addShader(new osg::Shader(osg::Shader::FRAGMENT,
                                   "#version 120\nvoid main() { gl_FragColor = vec4(0.0, 0.0, 1.0, 1.0); }\n"));
    sphere->getOrCreateStateSet()->setAttributeAndModes(own.get(), osg::StateAttribute::ON);
    osg::ref_ptr<osg::Group> model = new osg::Group;
    model->addChild(sphere.get());
    model->setStateSet(Make("METAL", "Gold")->GetStateSet());
    osg::ref_ptr<osg::Image> picture = Draw(model.get(), kSize);
    ASSERT_TRUE(picture.valid());
    const unsigned char* middle = picture->data(kSize / 2, kSize / 2);
    EXPECT_GT(middle[0], middle[2] + 40) << "gold, not blue: " << int(middle[0]) << " " << int(middle[1]) << " "
                                         << int(middle[2]);
}

TEST_F(ShadersAndPictures, MissingShaderFileOrMapIsReportedAndTheModelStillDraws)
{
    std::filesystem::remove(Path("shaders/metal.frag"));
    std::string printed;
    CEffect* metal = Make("METAL", "Gold", &printed);
    ASSERT_TRUE(metal);
    EXPECT_EQ(CountLines(printed, "File \"shaders/metal.frag\" not found."), 1) << printed;
    osg::ref_ptr<osg::Image> picture;
    const std::string drawing = Captured([&]() { picture = DrawSphere(metal); });
    ASSERT_TRUE(picture.valid());
    EXPECT_GT(Covered(*picture), 0.95);
    EXPECT_EQ(drawing.find("FAILED"), std::string::npos) << drawing;

    // A map that cannot be read leaves its unit empty; the others still draw.
    std::filesystem::remove(Path("shaders/EnvMaps/sjSpec.bmp"));
    CTextureStore::Instance()->RemoveTexture("SPEC_SOFTJUST_ENVMAP");  // read by earlier tests
    CEffect* rubber = Make("RUBBER", "SignalRed", &printed);
    ASSERT_TRUE(rubber);
    EXPECT_EQ(printed, "Unable to load Texture image shaders/EnvMaps/sjSpec.bmp, For channel 2\n");
    EXPECT_EQ(rubber->GetStateSet()->getTextureAttribute(2, osg::StateAttribute::TEXTURE), nullptr);
    picture = DrawSphere(rubber);
    ASSERT_TRUE(picture.valid());
    EXPECT_GT(Covered(*picture), 0.95);
}
}
