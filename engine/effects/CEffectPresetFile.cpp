// CEffectLibrary: reading the effect presets file.
//
//   <EFFECT_PRESETS>
//       <METAL>
//           <NAME> Gold
//           <COLOUR> 1.0 0.78 0.34 1
//           <DIF_PC> 0.4
//           <SPEC_PC> 1.0
//       </METAL>
//       ...
//   </EFFECT_PRESETS>
//
// Each block's values start at their defaults; a tag given twice keeps the
// last value. A block that is not closed ends where the next block, the
// end of the section or the end of the file begins, and still gives its
// preset (nothing read is lost).
#include "CEffectLibrary.h"

#include "CAlphaGlassEffect.h"
#include "CDiffuseAOILEffect.h"
#include "CGlassEffect.h"
#include "CGlossMaskEffect.h"
#include "CMetalEffect.h"
#include "COsgSettings.h"
#include "CPathResolver.h"
#include "CRubberEffect.h"
#include "CSpecMapEffect.h"
#include "CTransPolishedStoneEffect.h"

#include <algorithm>
#include <cstdlib>

namespace
{
struct PresetValues
{
    std::string name = "NONE";
    osg::Vec4f colour{1.f, 1.f, 1.f, 1.f};
    float diffusePercent = 1.f;
    float specularPercent = 1.f;
    float mix = 1.f;
    float baseAlpha = 0.1f;
    float depth = 1.f;
    float noiseScale = 10.f;
    float refractionIndex = 0.5f;
};

// The value tags each block takes, besides <NAME>.
std::vector<std::string> blockTags(const std::string& type)
{
    if (type == "ALPHA_GLASS") return {"<COLOUR>", "<MIX>", "<BASE_ALPHA>", "<SPEC_PC>"};
    if (type == "GLASS") return {"<COLOUR>", "<MIX>", "<DEPTH>"};
    if (type == "RUBBER") return {"<COLOUR>", "<DIF_PC>", "<SPEC_PC>", "<NOISE_SCALE>"};
    if (type == "SPEC") return {"<MIX>"};
    if (type == "STONE") return {"<COLOUR>", "<MIX>", "<DEPTH>", "<IN_REF>"};
    return {"<COLOUR>", "<DIF_PC>", "<SPEC_PC>"};
}

// "<METAL>" gives "METAL" when it is one of the block tags, else "".
std::string blockType(const std::string& tag)
{
    if (tag.size() < 3 || tag.front() != '<' || tag.back() != '>' || tag[1] == '/') return std::string();
    const std::string type = tag.substr(1, tag.size() - 2);
    const std::vector<std::string>& types = CEffectLibrary::TypeNames();
    return std::find(types.begin(), types.end(), type) != types.end() ? type : std::string();
}

bool isOpeningTag(const std::string& tag)
{
    return tag.size() > 2 && tag.front() == '<' && tag.back() == '>' && tag[1] != '/';
}

// Reads `count` numbers from the line's tokens after the tag. A missing value
// or one that is not a number reads as 0 (or its leading numeric part), with
// one line naming what was expected and what was found.
std::vector<float> numbers(const std::vector<std::string>& tokens, size_t count, const std::string& where)
{
    std::vector<float> values(count, 0.f);
    bool bad = tokens.size() < count + 1;
    for (size_t i = 0; i < count && i + 1 < tokens.size(); ++i)
    {
        char* end = nullptr;
        values[i] = std::strtof(tokens[i + 1].c_str(), &end);
        if (!end || *end != '\0') bad = true;
    }
    if (bad)
    {
        std::string found;
        for (size_t i = 1; i < tokens.size(); ++i) found += (i > 1 ? " " : "") + tokens[i];
        CEffect::Print("Warning! " + where + " expects " + std::to_string(count) + (count == 1 ? " number" : " numbers") +
                       ", found '" + found + "'; missing values read as 0");
    }
    return values;
}

PresetValues defaultsFor(const std::string& type)
{
    PresetValues values;
    if (type == "ALPHA_GLASS") values.mix = 0.5f;
    return values;
}

void takeValue(PresetValues& values, const std::vector<std::string>& tokens, const std::string& where)
{
    const std::string& tag = tokens[0];
    if (tag == "<NAME>")
    {
        if (tokens.size() > 1) values.name = tokens[1];
        else CEffect::Print("Warning! " + where + " expects a name, found nothing");
        return;
    }
    if (tag == "<COLOUR>")
    {
        const std::vector<float> c = numbers(tokens, 4, where);
        values.colour.set(c[0], c[1], c[2], c[3]);
        return;
    }
    const float value = numbers(tokens, 1, where)[0];
    if (tag == "<DIF_PC>") values.diffusePercent = value;
    else if (tag == "<SPEC_PC>") values.specularPercent = value;
    else if (tag == "<MIX>") values.mix = value;
    else if (tag == "<BASE_ALPHA>") values.baseAlpha = value;
    else if (tag == "<DEPTH>") values.depth = value;
    else if (tag == "<NOISE_SCALE>") values.noiseScale = value;
    else if (tag == "<IN_REF>") values.refractionIndex = value;
}

void addPreset(CEffect* effect, const PresetValues& v)
{
    if (auto* metal = dynamic_cast<CMetalEffect*>(effect))
        metal->AddPreset(v.name, v.colour, v.specularPercent, v.diffusePercent);
    else if (auto* alphaGlass = dynamic_cast<CAlphaGlassEffect*>(effect))
        alphaGlass->AddPreset(v.name, v.colour, v.specularPercent, v.baseAlpha, v.mix);
    else if (auto* gloss = dynamic_cast<CGlossMaskEffect*>(effect))
        gloss->AddPreset(v.name, v.colour, v.specularPercent, v.diffusePercent);
    else if (auto* diffuse = dynamic_cast<CDiffuseAOILEffect*>(effect))
        diffuse->AddPreset(v.name, v.colour, v.specularPercent, v.diffusePercent);
    else if (auto* glass = dynamic_cast<CGlassEffect*>(effect))
        glass->AddPreset(v.name, v.colour, v.depth, v.mix);
    else if (auto* rubber = dynamic_cast<CRubberEffect*>(effect))
        rubber->AddPreset(v.name, v.colour, v.specularPercent, v.diffusePercent, v.noiseScale);
    else if (auto* spec = dynamic_cast<CSpecMapEffect*>(effect))
        spec->AddPreset(v.name, v.mix);
    else if (auto* stone = dynamic_cast<CTransPolishedStoneEffect*>(effect))
        stone->AddPreset(v.name, v.colour, v.depth, v.mix, v.refractionIndex);
}

const std::string kSectionEnd = "</EFFECT_PRESETS>";
}

bool CEffectLibrary::LoadPresets(const std::string& fileName)
{
    COsgSettings reader;
    if (!reader.Load(CPathResolver::Resolve(fileName))) return false;
    if (!reader.FindFirst("<EFFECT_PRESETS>"))
    {
        CEffect::Print("Error! Effect Preset file '" + fileName + "' does not a <EFFECT_PRESETS> node");
        return false;
    }
    for (size_t line = static_cast<size_t>(reader.CurrentLine()) + 1; line < reader.LineCount(); ++line)
    {
        const std::vector<std::string>& tokens = reader.LineTokens(line);
        if (tokens.empty()) continue;
        if (tokens[0] == kSectionEnd) break;
        if (!blockType(tokens[0]).empty())
        {
            ReadPresetBlock(reader, line, tokens[0]);
            continue;
        }
        if (!isOpeningTag(tokens[0])) continue;  // stray end tags and words
        CEffect::Print("Warning! " + tokens[0] + " in effect presets file " + fileName +
                       " is not an effect preset block; ignored");
        // Skip an unknown block's own lines up to its end tag, when it has one
        // before the next known block.
        const std::string closing = "</" + tokens[0].substr(1);
        for (size_t next = line + 1; next < reader.LineCount(); ++next)
        {
            const std::vector<std::string>& inner = reader.LineTokens(next);
            if (inner.empty()) continue;
            if (inner[0] == kSectionEnd || !blockType(inner[0]).empty()) break;
            if (inner[0] == closing)
            {
                line = next;
                break;
            }
        }
    }
    return true;
}

bool CEffectLibrary::ReadPresetBlock(COsgSettings& reader, size_t& line, const std::string& blockTag)
{
    const std::string type = blockType(blockTag);
    const std::string closing = "</" + type + ">";
    const std::vector<std::string> tags = blockTags(type);
    PresetValues values = defaultsFor(type);
    bool closed = false;
    size_t next = line + 1;
    for (; next < reader.LineCount(); ++next)
    {
        const std::vector<std::string>& tokens = reader.LineTokens(next);
        if (tokens.empty()) continue;
        if (tokens[0] == closing)
        {
            closed = true;
            break;
        }
        if (tokens[0] == kSectionEnd || !blockType(tokens[0]).empty()) break;
        const std::string where = tokens[0] + " of effect preset " + blockTag + " " + values.name;
        if (tokens[0] == "<NAME>" || std::find(tags.begin(), tags.end(), tokens[0]) != tags.end())
            takeValue(values, tokens, where);
        else
            CEffect::Print("Warning! Effect preset block " + blockTag + " does not take " + tokens[0] + "; ignored");
    }
    if (!closed)
        CEffect::Print("Warning! Effect preset block " + blockTag + " " + values.name + " is not closed by " + closing +
                       "; it ends here");
    line = closed ? next : next - 1;
    if (CEffect* effect = GetLibraryEffect(type)) addPreset(effect, values);
    return closed;
}
