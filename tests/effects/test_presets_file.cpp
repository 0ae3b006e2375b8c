// The effect presets file: defaults, names, colours, repeated and unknown
// tags, unknown blocks, blocks cut off by the end of the file, and files
// without their <EFFECT_PRESETS> section, each with the exact message.
#include "EffectTestSupport.h"

#include "CAlphaGlassProps.h"
#include "CEffect.h"
#include "CEffectLibrary.h"
#include "CGlassProps.h"
#include "CMetalProps.h"
#include "CRubberProps.h"
#include "CSpecMapProps.h"
#include "CTransPStoneProps.h"

namespace
{
class PresetsFile : public EffectFolder
{
protected:
    CEffect* Library(const std::string& type) { return CEffectLibrary::Instance()->GetLibraryEffect(type); }
    template <typename Props>
    const Props* Preset(const std::string& type, int index)
    {
        CEffect* effect = Library(type);
        if (!effect || index >= effect->GetPresetCount()) return nullptr;
        return dynamic_cast<const Props*>(effect->GetPresets()[static_cast<size_t>(index)]);
    }
};

struct MessageCase
{
    const char* what;
    const char* text;
    std::vector<std::string> messages;  // exactly these lines, once each
};

const MessageCase kMessageCases[] = {
    {"defaults", "<EFFECT_PRESETS>\n<METAL>\n</METAL>\n</EFFECT_PRESETS>\n", {}},
    {"three-number colour",
     "<EFFECT_PRESETS>\n<METAL>\n<NAME> Gold\n<COLOUR> 1 0.5 0.2\n</METAL>\n</EFFECT_PRESETS>\n",
     {"Warning! <COLOUR> of effect preset <METAL> Gold expects 4 numbers, found '1 0.5 0.2'; missing values read as 0"}},
    {"word for a number",
     "<EFFECT_PRESETS>\n<GLASS>\n<NAME> Ruby\n<DEPTH> deep\n</GLASS>\n</EFFECT_PRESETS>\n",
     {"Warning! <DEPTH> of effect preset <GLASS> Ruby expects 1 number, found 'deep'; missing values read as 0"}},
    {"tag of another block",
     "<EFFECT_PRESETS>\n<METAL>\n<NAME> Gold\n<DEPTH> 2\n</METAL>\n</EFFECT_PRESETS>\n",
     {"Warning! Effect preset block <METAL> does not take <DEPTH>; ignored"}},
    {"unknown block",
     "<EFFECT_PRESETS>\n<WOOD>\n<NAME> Oak\n</WOOD>\n<SPEC>\n<NAME> Gloss\n</SPEC>\n</EFFECT_PRESETS>\n",
     {"Warning! <WOOD> in effect presets file test.mfx is not an effect preset block; ignored"}},
    {"end of file inside a block", "<EFFECT_PRESETS>\n<GLASS>\n<NAME> Ruby\n<MIX> 0.3\n",
     {"Warning! Effect preset block <GLASS> Ruby is not closed by </GLASS>; it ends here"}},
    {"block without its end tag before the next",
     "<EFFECT_PRESETS>\n<METAL>\n<NAME> Gold\n<SPEC>\n<NAME> Gloss\n</SPEC>\n</EFFECT_PRESETS>\n",
     {"Warning! Effect preset block <METAL> Gold is not closed by </METAL>; it ends here"}},
    {"no section", "<METAL>\n<NAME> Gold\n</METAL>\n",
     {"Error! Effect Preset file 'test.mfx' does not a <EFFECT_PRESETS> node"}},
    {"name without a word", "<EFFECT_PRESETS>\n<SPEC>\n<NAME>\n</SPEC>\n</EFFECT_PRESETS>\n",
     {"Warning! <NAME> of effect preset <SPEC> NONE expects a name, found nothing"}},
};

TEST_F(PresetsFile, EachFaultGivesItsOneMessage)
{
    for (const MessageCase& c : kMessageCases)
    {
        SCOPED_TRACE(c.what);
        CEffectLibrary::Instance()->ClearAll();
        const std::string output = LoadPresets(c.text);
        for (const std::string& message : c.messages) EXPECT_EQ(CountLines(output, message), 1) << output;
        EXPECT_EQ(CountLines(output, "Warning!") + CountLines(output, "Error"), static_cast<int>(c.messages.size()))
            << output;
    }
}

TEST_F(PresetsFile, BlocksStartFromTheirDefaults)
{
    LoadPresets("<EFFECT_PRESETS>\n<METAL>\n</METAL>\n<ALPHA_GLASS>\n</ALPHA_GLASS>\n<GLASS>\n</GLASS>\n"
                "<RUBBER>\n</RUBBER>\n<SPEC>\n</SPEC>\n<STONE>\n</STONE>\n</EFFECT_PRESETS>\n");
    const CMetalProps* metal = Preset<CMetalProps>("METAL", 0);
    ASSERT_TRUE(metal);
    EXPECT_EQ(metal->name, "NONE");
    EXPECT_EQ(metal->colour, osg::Vec4f(1, 1, 1, 1));
    EXPECT_FLOAT_EQ(metal->diffusePercent, 1.f);
    EXPECT_FLOAT_EQ(metal->specularPercent, 1.f);
    const CAlphaGlassProps* alphaGlass = Preset<CAlphaGlassProps>("ALPHA_GLASS", 0);
    ASSERT_TRUE(alphaGlass);
    EXPECT_FLOAT_EQ(alphaGlass->mix, 0.5f);
    EXPECT_FLOAT_EQ(alphaGlass->baseAlpha, 0.1f);
    EXPECT_FLOAT_EQ(alphaGlass->specularPercent, 1.f);
    const CGlassProps* glass = Preset<CGlassProps>("GLASS", 0);
    ASSERT_TRUE(glass);
    EXPECT_FLOAT_EQ(glass->mix, 1.f);
    EXPECT_FLOAT_EQ(glass->depth, 1.f);
    const CRubberProps* rubber = Preset<CRubberProps>("RUBBER", 0);
    ASSERT_TRUE(rubber);
    EXPECT_FLOAT_EQ(rubber->noiseScale, 10.f);
    const CSpecMapProps* spec = Preset<CSpecMapProps>("SPEC", 0);
    ASSERT_TRUE(spec);
    EXPECT_FLOAT_EQ(spec->mix, 1.f);
    const CTransPStoneProps* stone = Preset<CTransPStoneProps>("STONE", 0);
    ASSERT_TRUE(stone);
    EXPECT_FLOAT_EQ(stone->refractionIndex, 0.5f);
    EXPECT_FLOAT_EQ(stone->depth, 1.f);
    EXPECT_FLOAT_EQ(stone->mix, 1.f);
}

TEST_F(PresetsFile, ValuesColoursAndRepeatedTags)
{
    LoadPresets(R"(# comment
<EFFECT_PRESETS>
    <METAL>
        <NAME> Gold
        <COLOUR> 1, 0.8, 0.3
        <SPEC_PC> 0.2
        <SPEC_PC> 0.7
        <NAME> Golden
    </METAL>
    <METAL>
        <NAME> Twin
        <COLOUR> 0.1 0.2 0.3 0.4
    </METAL>
    <METAL>
        <NAME> Twin
        <DIF_PC> 0.25
    </METAL>
</EFFECT_PRESETS>
<METAL>
    <NAME> AfterTheSection
</METAL>
)");
    CEffect* metal = Library("METAL");
    ASSERT_TRUE(metal);
    ASSERT_EQ(metal->GetPresetCount(), 3);  // nothing after </EFFECT_PRESETS>
    const CMetalProps* gold = Preset<CMetalProps>("METAL", 0);
    EXPECT_EQ(gold->name, "Golden");  // the last <NAME> wins
    EXPECT_EQ(gold->colour, osg::Vec4f(1.f, 0.8f, 0.3f, 0.f));  // commas count as blanks; alpha read as 0
    EXPECT_FLOAT_EQ(gold->specularPercent, 0.7f);
    // Two presets of one name both exist; FindPreset gives the first.
    const CMetalProps* twin = dynamic_cast<const CMetalProps*>(CEffectLibrary::Instance()->FindPreset("METAL", "Twin"));
    ASSERT_TRUE(twin);
    EXPECT_EQ(twin->colour, osg::Vec4f(0.1f, 0.2f, 0.3f, 0.4f));
    EXPECT_EQ(twin, metal->GetPresets()[1]);
}

TEST_F(PresetsFile, CutOffBlocksStillGiveTheirPresets)
{
    LoadPresets("<EFFECT_PRESETS>\n<METAL>\n<NAME> Gold\n<SPEC>\n<NAME> Gloss\n<MIX> 0.5\n</SPEC>\n<GLASS>\n<NAME> Ruby\n");
    EXPECT_TRUE(CEffectLibrary::Instance()->FindPreset("METAL", "Gold"));
    const CSpecMapProps* gloss = dynamic_cast<const CSpecMapProps*>(CEffectLibrary::Instance()->FindPreset("SPEC", "Gloss"));
    ASSERT_TRUE(gloss);
    EXPECT_FLOAT_EQ(gloss->mix, 0.5f);
    EXPECT_TRUE(CEffectLibrary::Instance()->FindPreset("GLASS", "Ruby"));
}

TEST_F(PresetsFile, MissingFilesAndSectionsLeaveNoPresets)
{
    std::string output = Captured([&]() { EXPECT_FALSE(CEffectLibrary::Instance()->LoadPresets("missing.mfx")); });
    EXPECT_EQ(CountLines(output, "Error: Failed to load missing.mfx"), 1) << output;
    output = LoadPresets("<METAL>\n<NAME> Gold\n</METAL>\n");
    EXPECT_TRUE(CEffectLibrary::Instance()->GetLibraryEffects().empty());
    EXPECT_EQ(CEffectLibrary::Instance()->FindPreset("METAL", "Gold"), nullptr);
    // ... and every instance then fails for want of its default preset.
    Captured([&]() { EXPECT_EQ(CEffectLibrary::Instance()->CreateEffect("METAL", true, "Gold", {}, nullptr), nullptr); });
}

TEST_F(PresetsFile, BundledFileHasSeveralPresetsForEveryTypeAndNoComplaint)
{
    const std::string output = Captured([&]() { EXPECT_TRUE(CEffectLibrary::Instance()->LoadPresets("models/effects.mfx")); });
    EXPECT_TRUE(output.empty()) << output;
    for (const std::string& type : CEffectLibrary::TypeNames())
    {
        CEffect* effect = Library(type);
        ASSERT_TRUE(effect) << type;
        EXPECT_GE(effect->GetPresetCount(), 3) << type;
    }
}
}
