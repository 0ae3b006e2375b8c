// Effect instances: what each of the twelve types builds (class label,
// uniforms, texture units, preset 0), instance failures with their message,
// cycling forward and backward, ApplyPreset writing the uniforms, and
// switching presets making no new program or texture.
#include "EffectTestSupport.h"

#include "CEffect.h"
#include "CEffectLibrary.h"
#include "CEffectTarget.h"
#include "CGlossMaskProps.h"
#include "CMetalProps.h"
#include "CSpecMapEffect.h"
#include "CTextureStore.h"

#include <osg/Texture3D>

#include <set>

namespace
{
const char* kPresets = R"(<EFFECT_PRESETS>
<METAL>
<NAME> Gold
<COLOUR> 1 0.8 0.3 1
<DIF_PC> 0.4
<SPEC_PC> 0.6
</METAL>
<METAL>
<NAME> Copper
<COLOUR> 0.9 0.5 0.4 1
<DIF_PC> 0.5
<SPEC_PC> 0.8
</METAL>
<METAL>
<NAME> Steel
<COLOUR> 0.6 0.6 0.6 1
</METAL>
<METAL>
<NAME> Shared
<COLOUR> 0.1 0.1 0.1 1
</METAL>
<CHROME_METAL>
<NAME> Shared
<COLOUR> 0.9 0.9 0.95 1
</CHROME_METAL>
<BRUSHED_METAL>
<NAME> Brushed
</BRUSHED_METAL>
<ALPHA_GLASS>
<NAME> Clear
<COLOUR> 0.8 0.9 1 1
<MIX> 0.4
<BASE_ALPHA> 0.2
<SPEC_PC> 0.9
</ALPHA_GLASS>
<GLOSS_MAP>
<NAME> Glazed
<COLOUR> 1 0 0 1
<DIF_PC> 0.7
<SPEC_PC> 0.3
</GLOSS_MAP>
<GLOSS_MAP>
<NAME> Red
<COLOUR> 1 0 0 1
<DIF_PC> 0.2
<SPEC_PC> 0.9
</GLOSS_MAP>
<GLOSS_MAP_SOFT>
<NAME> Soft
<DIF_PC> 0.6
<SPEC_PC> 0.5
</GLOSS_MAP_SOFT>
<DIF_AOIL>
<NAME> Painted
<DIF_PC> 0.8
<SPEC_PC> 0.4
</DIF_AOIL>
<DIF_SOFT_AOIL>
<NAME> SoftPainted
<COLOUR> 0.3 0.3 0.3 1
<DIF_PC> 0.7
<SPEC_PC> 0.2
</DIF_SOFT_AOIL>
<GLASS>
<NAME> Ruby
<COLOUR> 0.9 0.1 0.2 1
<MIX> 0.8
<DEPTH> 0.7
</GLASS>
<RUBBER>
<NAME> Tyre
<COLOUR> 0.1 0.1 0.1 1
<DIF_PC> 0.9
<SPEC_PC> 0.3
<NOISE_SCALE> 12
</RUBBER>
<SPEC>
<NAME> Gloss
<MIX> 1
</SPEC>
<SPEC>
<NAME> Half
<MIX> 0.5
</SPEC>
<STONE>
<NAME> Jade
<COLOUR> 0.3 0.7 0.4 1
<MIX> 0.8
<DEPTH> 1.5
<IN_REF> 0.6
</STONE>
</EFFECT_PRESETS>
)";

// A model as the effect library sees it.
class FakeModel : public CEffectTarget
{
public:
    bool SetEffect(CEffect* e) override
    {
        effect = e;
        return e != nullptr;
    }
    std::string GetGlossMapFile() const override { return gloss; }
    std::string GetDiffuseMapFile() const override { return diffuse; }
    CEffect* effect = nullptr;
    std::string gloss, diffuse;
};

class EffectInstances : public EffectFolder
{
protected:
    void SetUp() override
    {
        EffectFolder::SetUp();
        output = LoadPresets(kPresets);
        ASSERT_TRUE(output.empty()) << output;
    }
    CEffect* Make(const std::string& type, const std::string& preset, const std::vector<std::string>& more = {},
                  CEffectTarget* target = nullptr)
    {
        CEffect* effect = nullptr;
        output = Captured([&]() { effect = CEffectLibrary::Instance()->CreateEffect(type, true, preset, more, target); });
        return effect;
    }
    static osg::Vec3f Vec3(CEffect* effect, const char* name)
    {
        osg::Vec3f v;
        effect->FindUniform(name)->get(v);
        return v;
    }
    static float Float(CEffect* effect, const char* name)
    {
        float f = -1.f;
        effect->FindUniform(name)->get(f);
        return f;
    }
    static int Int(CEffect* effect, const char* name)
    {
        int i = -1;
        effect->FindUniform(name)->get(i);
        return i;
    }
    std::string output;
};

struct TypeCase
{
    const char* type;
    const char* preset;
    const char* label;
    std::set<std::string> uniforms;
    const char* specularCache;  // the store's map on the specular unit, or null
    int specularUnit;
};

const TypeCase kTypes[] = {
    {"METAL", "Gold", "METAL_EFFECT",
     {"BaseColor", "DiffusePercent", "SpecularPercent", "AmbiOcMap", "DiffuseEnvMap", "SpecularEnvMap"},
     "SPEC_200_ENVMAP", 2},
    {"CHROME_METAL", "Shared", "METAL_EFFECT",
     {"BaseColor", "DiffusePercent", "SpecularPercent", "AmbiOcMap", "DiffuseEnvMap", "SpecularEnvMap"},
     "SPEC_SHARP_ENVMAP", 2},
    {"BRUSHED_METAL", "Brushed", "METAL_EFFECT",
     {"BaseColor", "DiffusePercent", "SpecularPercent", "AmbiOcMap", "DiffuseEnvMap", "SpecularEnvMap"},
     "SPEC_STD_ENVMAP", 2},
    {"ALPHA_GLASS", "Clear", "ALPHA_GLASSEFFECT",
     {"BaseColor", "BaseAlpha", "Mix", "ReflectEnvMap", "SpecularPercent", "SpecularEnvMap"}, "SPEC_JUST_ENVMAP", 1},
    {"GLOSS_MAP", "Glazed", "GLOSS_EFFECT",
     {"DiffusePercent", "SpecularPercent", "baseTex", "maskMap", "DiffuseEnvMap", "SpecularEnvMap"},
     "SPEC_JUST_ENVMAP", 2},
    {"GLOSS_MAP_SOFT", "Soft", "GLOSS_EFFECT",
     {"DiffusePercent", "SpecularPercent", "baseTex", "maskMap", "DiffuseEnvMap", "SpecularEnvMap"},
     "SPEC_STD_ENVMAP", 2},
    {"DIF_AOIL", "Painted", "DAIOL_EFFECT",
     {"DiffusePercent", "SpecularPercent", "AmbiOcMap", "DiffuseMap", "DiffuseEnvMap", "SpecularEnvMap"},
     "SPEC_JUST_ENVMAP", 2},
    {"DIF_SOFT_AOIL", "SoftPainted", "DAIOL_EFFECT",
     {"DiffusePercent", "SpecularPercent", "AmbiOcMap", "DiffuseMap", "DiffuseEnvMap", "SpecularEnvMap"},
     "SPEC_SOFTJUST_ENVMAP", 2},
    {"GLASS", "Ruby", "GLASS_EFFECT",
     {"RefractionMap", "EnvMap", "SpecMap", "Depth", "MixRatio", "BaseColor", "FrameWidth", "FrameHeight"},
     "SPEC_JUST_ENVMAP", 2},
    {"RUBBER", "Tyre", "RUBBER_EFFECT",
     {"BaseColor", "DiffusePercent", "SpecularPercent", "AmbiOcMap", "DiffuseEnvMap", "SpecularEnvMap", "noiseScale",
      "NoiseMap"},
     "SPEC_SOFTJUST_ENVMAP", 2},
    {"SPEC", "Gloss", "SPEC_EFFECT", {}, "SPEC_JUST_ENVMAP", 2},
    {"STONE", "Jade", "STONE_EFFECT",
     {"BaseColor", "Depth", "MixRatio", "InRefIndex", "FrameWidth", "FrameHeight", "RefractionMap", "SpecMap"},
     "SPEC_JUST_ENVMAP", 1},
};

TEST_F(EffectInstances, EachTypeBuildsItsUniformsMapsAndPresetZero)
{
    for (const TypeCase& c : kTypes)
    {
        SCOPED_TRACE(c.type);
        CEffect* effect = Make(c.type, c.preset);
        ASSERT_TRUE(effect) << output;
        EXPECT_EQ(output, "");
        EXPECT_EQ(effect->GetTypeName(), c.type);
        EXPECT_EQ(effect->GetEffectName(), c.label);
        std::set<std::string> names;
        for (const auto& uniform : effect->GetUniforms()) names.insert(uniform->getName());
        EXPECT_EQ(names, c.uniforms);
        osg::Texture* specular = CTextureStore::Instance()->FindTexture(c.specularCache);
        ASSERT_TRUE(specular);
        EXPECT_EQ(effect->GetStateSet()->getTextureAttribute(c.specularUnit, osg::StateAttribute::TEXTURE), specular);
        ASSERT_EQ(effect->GetPresetCount(), 1);
        EXPECT_EQ(effect->GetPresets()[0]->name, c.preset);
        EXPECT_EQ(effect->GetCurrentPreset(), 0);
        EXPECT_EQ(effect->GetProgram()->getNumShaders(), c.uniforms.empty() ? 0u : 2u);
        // The sampler uniforms hold their units.
        for (const char* sampler : {"SpecularEnvMap", "SpecMap"})
            if (c.uniforms.count(sampler)) EXPECT_EQ(Int(effect, sampler), c.specularUnit) << sampler;
    }
}

TEST_F(EffectInstances, VariantsFindTheirOwnPresetsAndStartValues)
{
    // CHROME_METAL's "Shared" is its own, not METAL's of the same name.
    CEffect* chrome = Make("CHROME_METAL", "Shared");
    ASSERT_TRUE(chrome);
    EXPECT_EQ(Vec3(chrome, "BaseColor"), osg::Vec3f(0.9f, 0.9f, 0.95f));
    // METAL starts from the colour with both percentages 1.0.
    CEffect* gold = Make("METAL", "Gold");
    EXPECT_EQ(Vec3(gold, "BaseColor"), osg::Vec3f(1.f, 0.8f, 0.3f));
    EXPECT_FLOAT_EQ(Float(gold, "DiffusePercent"), 1.f);
    EXPECT_FLOAT_EQ(Float(gold, "SpecularPercent"), 1.f);
    // GLOSS_MAP starts at the preset's percentages, while its preset 0 holds 1.0.
    CEffect* gloss = Make("GLOSS_MAP", "Glazed");
    EXPECT_FLOAT_EQ(Float(gloss, "DiffusePercent"), 0.7f);
    EXPECT_FLOAT_EQ(Float(gloss, "SpecularPercent"), 0.3f);
    const CGlossMaskProps* zero = dynamic_cast<const CGlossMaskProps*>(gloss->GetPresets()[0]);
    ASSERT_TRUE(zero);
    EXPECT_FLOAT_EQ(zero->diffusePercent, 1.f);
    // DIF_SOFT_AOIL's preset 0 keeps the default's percentages, colour 0 0 0 1.
    CEffect* soft = Make("DIF_SOFT_AOIL", "SoftPainted");
    const CGlossMaskProps* notGloss = dynamic_cast<const CGlossMaskProps*>(soft->GetPresets()[0]);
    EXPECT_EQ(notGloss, nullptr);
    soft->NextPreset(true);  // one preset: stays on 0 and applies it
    EXPECT_FLOAT_EQ(Float(soft, "DiffusePercent"), 0.7f);
    // RUBBER carries the store's noise texture on unit 3.
    CEffect* rubber = Make("RUBBER", "Tyre");
    EXPECT_EQ(rubber->GetStateSet()->getTextureAttribute(3, osg::StateAttribute::TEXTURE),
              CTextureStore::Instance()->GetNoiseTexture());
    EXPECT_FLOAT_EQ(Float(rubber, "noiseScale"), 12.f);
    // GLASS and STONE look up the shared scene texture on unit 0.
    for (const char* type : {"GLASS", "STONE"})
    {
        CEffect* effect = Make(type, type == std::string("GLASS") ? "Ruby" : "Jade");
        EXPECT_EQ(effect->GetStateSet()->getTextureAttribute(0, osg::StateAttribute::TEXTURE),
                  CTextureStore::Instance()->GetSceneTexture()) << type;
        EXPECT_FLOAT_EQ(Float(effect, "FrameWidth"), 2048.f);
    }
}

TEST_F(EffectInstances, FailuresMakeNoEffectAndSayWhy)
{
    struct Failure
    {
        const char* type;
        const char* preset;
        const char* message;
    } failures[] = {
        {"WOOD", "Oak",
         "Warning! Unknown effect type 'WOOD'; expected one of METAL, CHROME_METAL, BRUSHED_METAL, ALPHA_GLASS, "
         "GLOSS_MAP, GLOSS_MAP_SOFT, DIF_AOIL, DIF_SOFT_AOIL, GLASS, RUBBER, SPEC, STONE"},
        {"GLASS", "Gold", "Warning! Effect GLASS needs a GLASS preset named 'Gold' in the presets file; there is none"},
        {"CHROME_METAL", "Gold",
         "Warning! Effect CHROME_METAL needs a CHROME_METAL preset named 'Gold' in the presets file; there is none"},
        {"metal", "Gold", "Warning! Unknown effect type 'metal'"},
    };
    for (const Failure& f : failures)
    {
        SCOPED_TRACE(f.type);
        FakeModel model;
        EXPECT_EQ(Make(f.type, f.preset, {}, &model), nullptr);
        EXPECT_EQ(CountLines(output, f.message), 1) << output;
        EXPECT_EQ(CountLines(output, "Warning!"), 1) << output;
        EXPECT_EQ(model.effect, nullptr);
    }
    // Library mode builds nothing and needs no preset; unknown types are null there too.
    CEffect* bare = CEffectLibrary::Instance()->CreateEffect("GLOSS_MAP_SOFT", false, "NONE", {}, nullptr);
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->GetTypeName(), "GLOSS_MAP_SOFT");
    EXPECT_TRUE(bare->GetUniforms().empty());
    EXPECT_EQ(bare->GetProgram()->getNumShaders(), 0u);
    delete bare;
    EXPECT_EQ(CEffectLibrary::Instance()->GetLibraryEffect("WOOD"), nullptr);
}

TEST_F(EffectInstances, PresetListsSkipUnknownNamesAndTheModelGetsTheEffect)
{
    FakeModel model;
    model.gloss = "models/effects/glossTiles.png";
    CEffect* effect = Make("GLOSS_MAP", "Glazed", {"Red", "Missing", "Gold", "Glazed"}, &model);
    ASSERT_TRUE(effect);
    EXPECT_TRUE(output.empty()) << output;
    EXPECT_EQ(model.effect, effect);
    ASSERT_EQ(effect->GetPresetCount(), 3);  // own preset 0, Red, Glazed (Gold is a METAL preset)
    EXPECT_EQ(effect->GetPresets()[1]->name, "Red");
    EXPECT_EQ(effect->GetPresets()[2], CEffectLibrary::Instance()->FindPreset("GLOSS_MAP", "Glazed"));
    EXPECT_EQ(effect->GetPreset(0), nullptr);
    EXPECT_EQ(effect->GetPreset(3), nullptr);
    EXPECT_EQ(effect->GetPreset(-1), nullptr);
    EXPECT_EQ(effect->GetPreset(1)->name, "Red");
    // The model's gloss map is read onto unit 3.
    auto* mask = dynamic_cast<osg::Texture2D*>(effect->GetStateSet()->getTextureAttribute(3, osg::StateAttribute::TEXTURE));
    ASSERT_TRUE(mask);
    ASSERT_TRUE(mask->getImage());
    EXPECT_EQ(mask->getImage()->s(), 256);
}

TEST_F(EffectInstances, CyclingWrapsBothWaysAndOnePresetStays)
{
    CEffect* effect = Make("METAL", "Gold", {"Copper", "Steel", "Shared"});
    ASSERT_EQ(effect->GetPresetCount(), 4);
    std::vector<int> forward, backward;
    for (int i = 0; i < 5; ++i)
    {
        effect->NextPreset(true);
        forward.push_back(effect->GetCurrentPreset());
    }
    EXPECT_EQ(forward, (std::vector<int>{1, 2, 3, 0, 1}));
    effect->NextPreset(false);  // back to 0
    for (int i = 0; i < 5; ++i)
    {
        effect->NextPreset(false);
        backward.push_back(effect->GetCurrentPreset());
    }
    EXPECT_EQ(backward, (std::vector<int>{3, 2, 1, 0, 3}));
    CEffect* single = Make("METAL", "Steel");
    single->NextPreset(true);
    EXPECT_EQ(single->GetCurrentPreset(), 0);
    single->NextPreset(false);
    EXPECT_EQ(single->GetCurrentPreset(), 0);
}

TEST_F(EffectInstances, ApplyPresetWritesTheUniformsAndChangesNothingElse)
{
    CEffect* metal = Make("METAL", "Gold", {"Copper"});
    osg::StateSet* state = metal->GetStateSet();
    const osg::StateAttribute* program = state->getAttribute(osg::StateAttribute::PROGRAM);
    std::vector<const osg::StateAttribute*> textures;
    for (unsigned unit = 0; unit < 4; ++unit)
        textures.push_back(state->getTextureAttribute(unit, osg::StateAttribute::TEXTURE));
    const size_t uniforms = metal->GetUniforms().size();

    metal->NextPreset(true);  // Copper
    EXPECT_EQ(Vec3(metal, "BaseColor"), osg::Vec3f(0.9f, 0.5f, 0.4f));
    EXPECT_FLOAT_EQ(Float(metal, "DiffusePercent"), 0.5f);
    EXPECT_FLOAT_EQ(Float(metal, "SpecularPercent"), 0.8f);
    metal->NextPreset(true);  // back to 0: the default's colour with both percentages 1.0
    EXPECT_EQ(Vec3(metal, "BaseColor"), osg::Vec3f(1.f, 0.8f, 0.3f));
    EXPECT_FLOAT_EQ(Float(metal, "DiffusePercent"), 1.f);
    EXPECT_FLOAT_EQ(Float(metal, "SpecularPercent"), 1.f);

    // Switching made no new program, texture or uniform.
    EXPECT_EQ(state->getAttribute(osg::StateAttribute::PROGRAM), program);
    for (unsigned unit = 0; unit < 4; ++unit)
        EXPECT_EQ(state->getTextureAttribute(unit, osg::StateAttribute::TEXTURE), textures[unit]) << unit;
    EXPECT_EQ(metal->GetUniforms().size(), uniforms);

    // A GLOSS_MAP preset's colour drives nothing: only the percentages move.
    CEffect* gloss = Make("GLOSS_MAP", "Glazed", {"Red"});
    gloss->NextPreset(true);
    EXPECT_FLOAT_EQ(Float(gloss, "DiffusePercent"), 0.2f);
    EXPECT_FLOAT_EQ(Float(gloss, "SpecularPercent"), 0.9f);
    EXPECT_EQ(gloss->FindUniform("BaseColor"), nullptr);

    // A SPEC preset with mix 0.5 gives the blend colour (0.5, 0.5, 0.5, 0.5).
    CSpecMapEffect* spec = dynamic_cast<CSpecMapEffect*>(Make("SPEC", "Gloss", {"Half"}));
    ASSERT_TRUE(spec);
    spec->NextPreset(true);
    EXPECT_EQ(spec->GetTexEnv()->getMode(), osg::TexEnv::BLEND);
    EXPECT_EQ(spec->GetTexEnv()->getColor(), osg::Vec4(0.5f, 0.5f, 0.5f, 0.5f));
    EXPECT_EQ(spec->GetStateSet()->getRenderingHint(), static_cast<int>(osg::StateSet::TRANSPARENT_BIN));

    // A preset of another class is not applied.
    metal->AddPresets({CEffectLibrary::Instance()->FindPreset("SPEC", "Half"), nullptr});
    ASSERT_EQ(metal->GetPresetCount(), 3);
    metal->ApplyPreset(2);
    EXPECT_EQ(Vec3(metal, "BaseColor"), osg::Vec3f(1.f, 0.8f, 0.3f));
}

TEST_F(EffectInstances, IconsBlendingAndMissingImages)
{
    CEffect* effect = Make("METAL", "Gold");
    output = Captured([&]() { EXPECT_FALSE(effect->SetIcon("icons/none.png")); });
    EXPECT_EQ(output, "Unable to load Texture image icons/none.png\n");
    EXPECT_EQ(effect->GetIcon(), nullptr);
    EXPECT_TRUE(effect->SetIcon("models/effects/glossTiles.png"));
    ASSERT_TRUE(effect->GetIcon());
    EXPECT_EQ(effect->GetIconFile(), "models/effects/glossTiles.png");
    output = Captured([&]() { EXPECT_FALSE(effect->AddTexture(5, "maps/nothing.png", "Nothing")); });
    EXPECT_EQ(output, "Unable to load Texture image maps/nothing.png, For channel 5\n");
    EXPECT_EQ(effect->GetStateSet()->getTextureAttribute(5, osg::StateAttribute::TEXTURE), nullptr);
    EXPECT_EQ(effect->FindUniform("Nothing"), nullptr);
    effect->SetBlending(true);
    EXPECT_EQ(effect->GetStateSet()->getMode(GL_BLEND), osg::StateAttribute::ON | osg::StateAttribute::OVERRIDE);
    EXPECT_TRUE(effect->GetStateSet()->getAttribute(osg::StateAttribute::BLENDFUNC));
    effect->SetBlending(false);
    EXPECT_EQ(effect->GetStateSet()->getMode(GL_BLEND), osg::StateAttribute::OFF | osg::StateAttribute::OVERRIDE);
}
}
