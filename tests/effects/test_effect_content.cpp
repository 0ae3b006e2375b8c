// Effects on content objects: a model's <EFFECT> block (and its one-line
// form), <EFFECT_GROUP> blocks shared through <GROUP_EFFECT> lines with their
// messages, the model maps reaching the effect, and an object saved with its
// current preset reading back with the same look.
#include "EffectTestSupport.h"

#include "CContentObject.h"
#include "CEffect.h"
#include "CEffectLibrary.h"
#include "CModelGroup.h"
#include "COsgSettings.h"

#include <osg/Texture2D>

#include <set>

namespace
{
class EffectContent : public EffectFolder
{
protected:
    void SetUp() override
    {
        EffectFolder::SetUp();
        const std::string output = Captured([]() { CEffectLibrary::Instance()->LoadPresets("models/effects.mfx"); });
        ASSERT_TRUE(output.empty()) << output;
    }
    void TearDown() override
    {
        objects.clear();
        CModelGroup::ClearAll();
        EffectFolder::TearDown();
    }
    // Loads every <ENTITY> block of the text; returns what was printed.
    std::string Load(const std::string& text, const std::string& file = "content.dat")
    {
        Write(file, text);
        objects.clear();
        return Captured([&]() {
            COsgSettings reader;
            if (!reader.Load(file) || !reader.FindFirst("<ENTITY>")) return;
            do
            {
                objects.emplace_back(new CContentObject);
                objects.back()->Load(static_cast<int>(objects.size()) - 1, reader);
            } while (reader.FindNext("<ENTITY>") && objects.size() < 100);
        });
    }
    CEffect* EffectOf(size_t object, size_t model)
    {
        if (object >= objects.size() || model >= objects[object]->GetModels().size()) return nullptr;
        return objects[object]->GetModels()[model]->effect;
    }
    static osg::Vec3f BaseColor(CEffect* effect)
    {
        osg::Vec3f colour;
        effect->FindUniform("BaseColor")->get(colour);
        return colour;
    }
    std::vector<std::unique_ptr<CContentObject>> objects;
};

const char* kOrb = "models/effects/orb.osgt";

std::string model(const std::string& lines)
{
    return std::string("<MODEL>\n<FILE> ") + kOrb + "\n" + lines + "</MODEL>\n";
}

TEST_F(EffectContent, EffectBlockGivesTheModelItsEffect)
{
    const std::string output = Load("<ENTITY>\n<NAME> A\n" +
                                    model("<EFFECT>\n<NAME> GLASS\n<DEFAULT> RubyGlass\n<PRESETS>\nCrystal\nNoSuch\n"
                                          "WaterDrop\n</PRESETS>\n</EFFECT>\n<SCALE> 9\n") +
                                    "<SCALE> 2\n</ENTITY>\n<ENTITY>\n<NAME> B\n" +
                                    model("<EFFECT> METAL Copper Gold Steel\n") + "</ENTITY>\n");
    EXPECT_EQ(output, "");
    ASSERT_EQ(objects.size(), 2u);
    CEffect* glass = EffectOf(0, 0);
    ASSERT_TRUE(glass);
    EXPECT_EQ(glass->GetTypeName(), "GLASS");
    EXPECT_EQ(glass->GetPresetCount(), 3);  // RubyGlass, Crystal, WaterDrop
    // The orb's own material stays on its node; the effect goes on a group above it.
    ModelEntry* entry = objects[0]->GetModels()[0];
    ASSERT_TRUE(entry->EffectNode());
    EXPECT_EQ(entry->EffectNode()->getStateSet(), glass->GetStateSet());
    ASSERT_TRUE(entry->node->getStateSet());
    EXPECT_TRUE(entry->node->getStateSet()->getAttribute(osg::StateAttribute::MATERIAL));
    EXPECT_EQ(entry->node->getParent(0), entry->EffectNode());
    EXPECT_EQ(entry->EffectNode()->getParent(0), objects[0]->GetRootNode());
    // Forgetting the effect puts the model back as it was.
    EXPECT_FALSE(entry->SetEffect(nullptr));
    EXPECT_EQ(entry->node->getParent(0), objects[0]->GetRootNode());
    EXPECT_EQ(entry->EffectNode(), nullptr);
    EXPECT_DOUBLE_EQ(objects[0]->GetScale(), 2.0);  // the entity goes on after the model block
    // The one-line form: type, default, further presets.
    CEffect* metal = EffectOf(1, 0);
    ASSERT_TRUE(metal);
    EXPECT_EQ(metal->GetTypeName(), "METAL");
    EXPECT_EQ(metal->GetPresets()[0]->name, "Copper");
    EXPECT_EQ(metal->GetPresetCount(), 3);
}

TEST_F(EffectContent, ModelMapsReachTheMapEffects)
{
    Load("<ENTITY>\n" +
         model("<GLOSS_MAP> models/effects/glossTiles.png\n<EFFECT>\n<NAME> GLOSS_MAP\n<DEFAULT> Glazed\n</EFFECT>\n") +
         model("<DIFFUSE_MAP> models\\effects\\PaintedBands.png\n<EFFECT>\n<NAME> DIF_AOIL\n<DEFAULT> Painted\n"
               "</EFFECT>\n") +
         "</ENTITY>\n");
    for (size_t m = 0; m < 2; ++m)
    {
        CEffect* effect = EffectOf(0, m);
        ASSERT_TRUE(effect) << m;
        auto* map = dynamic_cast<osg::Texture2D*>(effect->GetStateSet()->getTextureAttribute(3, osg::StateAttribute::TEXTURE));
        ASSERT_TRUE(map && map->getImage()) << m;
        EXPECT_EQ(map->getImage()->s(), 256);
    }
}

TEST_F(EffectContent, GroupEffectsAreSharedAndRecolourEveryModel)
{
    const std::string output = Load(R"(<ENTITY>
<EFFECT_GROUP>
    <GROUP_NAME> shiny
    <EFFECT_NAME> CHROME_METAL
    <ICON> models/effects/glossTiles.png
    <DEFAULT> Chrome
    <PRESETS>
        RoseGold
    </PRESETS>
</EFFECT_GROUP>
)" + model("<GROUP_EFFECT> shiny\n") + model("<GROUP_EFFECT> shiny\n") + "</ENTITY>\n");
    EXPECT_TRUE(output.empty()) << output;
    ASSERT_EQ(objects[0]->GetEffectGroups().size(), 1u);
    CEffect* group = objects[0]->GetEffectGroups()[0];
    EXPECT_TRUE(group->IsGroupEffect());
    EXPECT_EQ(group->GetGroupName(), "shiny");
    EXPECT_TRUE(group->GetIcon());
    ASSERT_EQ(EffectOf(0, 0), group);
    ASSERT_EQ(EffectOf(0, 1), group);
    EXPECT_EQ(objects[0]->GetModels()[1]->EffectNode()->getStateSet(), group->GetStateSet());
    group->NextPreset(true);  // one uniform, so both models change at once
    EXPECT_EQ(BaseColor(group), osg::Vec3f(0.98f, 0.72f, 0.66f));
}

TEST_F(EffectContent, GroupAndEffectFaultsGiveTheirMessages)
{
    struct Case
    {
        const char* what;
        std::string text;
        std::vector<std::string> messages;
    } cases[] = {
        {"group declared after its use",
         "<ENTITY>\n" + model("<GROUP_EFFECT> late\n") +
             "<EFFECT_GROUP>\n<GROUP_NAME> late\n<EFFECT_NAME> METAL\n<DEFAULT> Gold\n</EFFECT_GROUP>\n</ENTITY>\n",
         {"Warning! Group Effect Not applied", "Effect group name late could not be found"}},
        {"group effect before any model",
         "<ENTITY>\n<EFFECT_GROUP>\n<GROUP_NAME> g\n<EFFECT_NAME> METAL\n<DEFAULT> Gold\n</EFFECT_GROUP>\n"
         "<MODEL>\n<GROUP_EFFECT> g\n<FILE> models/effects/orb.osgt\n</MODEL>\n</ENTITY>\n",
         {"Warning! Group Effect not applied", "Model file must be loaded before applying effect"}},
        {"group of an unknown preset",
         "<ENTITY>\n<EFFECT_GROUP>\n<GROUP_NAME> g\n<EFFECT_NAME> GLASS\n<DEFAULT> Gold\n</EFFECT_GROUP>\n</ENTITY>\n",
         {"Warning! Effect GLASS needs a GLASS preset named 'Gold' in the presets file; there is none",
          "Warning! Failed to create group Effect"}},
        {"effect before any model",
         "<ENTITY>\n<MODEL>\n<EFFECT>\n<NAME> METAL\n<DEFAULT> Gold\n</EFFECT>\n</MODEL>\n</ENTITY>\n",
         {"INFOMATION: Model must be loaded before applying an <EFFECT> node can be applied"}},
        {"effect block without a type", "<ENTITY>\n" + model("<EFFECT>\n<DEFAULT> Gold\n</EFFECT>\n") + "</ENTITY>\n",
         {"Warning! <EFFECT> block expects <NAME> with an effect type, found none"}},
        {"effect block never closed",
         "<ENTITY>\n" + model("<EFFECT>\n<NAME> METAL\n<DEFAULT> Gold\n") + "</ENTITY>\n",
         {"Warning! <EFFECT> block is not closed by </EFFECT>; it ends here"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        const std::string output = Load(c.text);
        for (const std::string& message : c.messages) EXPECT_EQ(CountLines(output, message), 1) << output;
        EXPECT_EQ(CountLines(output, ""), static_cast<int>(c.messages.size())) << output;  // and nothing else
        ASSERT_EQ(objects.size(), 1u);
    }
    // The unclosed block still made its effect, and the model block ended properly.
    EXPECT_TRUE(EffectOf(0, 0));
}

TEST_F(EffectContent, SavedObjectsReadBackWithTheSameLook)
{
    Load(R"(<ENTITY>
<NAME> SHOWCASE
<EFFECT_GROUP>
    <GROUP_NAME> shared
    <EFFECT_NAME> STONE
    <DEFAULT> Jade
    <PRESETS>
        Marble
        Amber
    </PRESETS>
</EFFECT_GROUP>
)" + model("<EFFECT>\n<NAME> METAL\n<DEFAULT> Gold\n<PRESETS>\nCopper\nSteel\n</PRESETS>\n</EFFECT>\n") +
         model("<GROUP_EFFECT> shared\n") + model("<EFFECT>\n<NAME> GLASS\n<DEFAULT> NotThere\n</EFFECT>\n") +
         "</ENTITY>\n");
    CEffect* metal = EffectOf(0, 0);
    CEffect* stone = EffectOf(0, 1);
    ASSERT_TRUE(metal && stone);
    metal->NextPreset(true);
    metal->NextPreset(true);  // Steel
    stone->NextPreset(false);  // Amber
    float metalSpecular = 0, stoneIndex = 0;
    metal->FindUniform("SpecularPercent")->get(metalSpecular);
    stone->FindUniform("InRefIndex")->get(stoneIndex);
    const osg::Vec3f metalColour = BaseColor(metal), stoneColour = BaseColor(stone);

    Captured([&]() { EXPECT_TRUE(objects[0]->SaveSettings(Path("saved.dat"))); });
    const std::string saved = TestFolder::ReadFile(Path("saved.dat"));
    for (const char* line : {"<CURRENT> 2 Steel ", "<CURRENT> 2 Amber ", "<GROUP_EFFECT> shared ",
                             "<DEFAULT> NotThere ", "<NAME> METAL "})
        EXPECT_EQ(CountLines(saved, line), 1) << line << "\n" << saved;

    Load(saved, "saved.dat");
    ASSERT_EQ(objects.size(), 1u);
    CEffect* metalAgain = EffectOf(0, 0);
    CEffect* stoneAgain = EffectOf(0, 1);
    ASSERT_TRUE(metalAgain && stoneAgain);
    EXPECT_EQ(metalAgain->GetCurrentPreset(), 2);
    EXPECT_EQ(metalAgain->GetPresetCount(), 3);
    EXPECT_EQ(BaseColor(metalAgain), metalColour);
    float specular = 0, index = 0;
    metalAgain->FindUniform("SpecularPercent")->get(specular);
    EXPECT_FLOAT_EQ(specular, metalSpecular);
    EXPECT_TRUE(stoneAgain->IsGroupEffect());
    EXPECT_EQ(stoneAgain->GetCurrentPreset(), 2);
    EXPECT_EQ(BaseColor(stoneAgain), stoneColour);
    stoneAgain->FindUniform("InRefIndex")->get(index);
    EXPECT_FLOAT_EQ(index, stoneIndex);
    // Writing it again gives the same text: nothing was lost on the way.
    Captured([&]() { EXPECT_TRUE(objects[0]->SaveSettings(Path("again.dat"))); });
    EXPECT_EQ(TestFolder::ReadFile(Path("again.dat")), saved);
}

TEST_F(EffectContent, EveryBundledDemoModelGetsItsEffectWithoutAMessage)
{
    const std::string output = Load(TestFolder::ReadFile(Path("models/effects-demo.dat")));
    // The refracting glass has no reflection picture of its own and says nothing about it.
    EXPECT_EQ(output, "");
    std::set<std::string> types;
    int models = 0;
    for (const auto& object : objects)
        for (const ModelEntry* entry : object->GetModels())
        {
            ++models;
            ASSERT_TRUE(entry->effect) << object->GetName() << " " << entry->filePath;
            types.insert(entry->effect->GetTypeName());
        }
    EXPECT_EQ(models, 24);
    EXPECT_EQ(types.size(), 12u);
}
}
