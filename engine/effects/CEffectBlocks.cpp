// CEffectLibrary: the <EFFECT> block of a model and the <EFFECT_GROUP> block
// of an entity, read from and written to content files.
//
//   <EFFECT>                      <EFFECT_GROUP>
//       <NAME> METAL                  <GROUP_NAME> shiny
//       <DEFAULT> Gold                <EFFECT_NAME> METAL
//       <PRESETS>                     <ICON> NONE
//           Copper                    <DEFAULT> Gold
//           Steel                     <PRESETS>
//       </PRESETS>                        Copper
//       <CURRENT> 2 Steel             </PRESETS>
//   </EFFECT>                     </EFFECT_GROUP>
//
// <CURRENT> (index and name of the preset in force) is written once a preset
// was cycled to, so a saved object reads back with the same look. A block
// that is not closed ends before the next line that cannot belong to it (a
// model, entity or top-level tag), which is left for the caller.
#include "CEffectLibrary.h"

#include "CEffect.h"
#include "CEffectTarget.h"
#include "COsgSettings.h"

#include <algorithm>
#include <cstdlib>

namespace
{
struct EffectBlock
{
    std::string type;
    std::string defaultPreset;
    std::vector<std::string> presets;
    std::string groupName;
    std::string icon = "NONE";
    int currentIndex = -1;
    std::string currentName;
};

// Lines that end an unclosed block: the content file's own structure.
const std::vector<std::string> kStops = {
    "<ENTITY>", "</ENTITY>", "<VEXA_MARKER>", "<OBJECT_GROUP>", "<MODEL>", "</MODEL>", "<FILE>", "<EFFECT>",
    "<EFFECT_GROUP>", "<GROUP_EFFECT>", "<DIFFUSE_MAP>", "<GLOSS_MAP>", "<ANI_CONTROL>", "<VIDEO_MAT>",
    "<SHADOW_COMP_MAT>", "<TRACE_PARTICLE>", "<TRANS>", "<ROT>", "<SCALE>", "<GROUP>", "<MARKER>", "<VIDEO_INFO>",
    "<CHARACTER>", "<BUBBLES>", "<SOUND>", "<VIDEO>"};
const std::vector<std::string> kEffectTags = {"<NAME>", "<DEFAULT>", "<PRESETS>", "<CURRENT>"};
const std::vector<std::string> kGroupTags = {"<GROUP_NAME>", "<EFFECT_NAME>", "<ICON>", "<DEFAULT>", "<PRESETS>",
                                             "<CURRENT>"};

bool contains(const std::vector<std::string>& list, const std::string& tag)
{
    return std::find(list.begin(), list.end(), tag) != list.end();
}

std::string second(const std::vector<std::string>& tokens)
{
    return tokens.size() > 1 ? tokens[1] : std::string();
}

// Applies one line of a block to `block`; `inPresets` tracks the <PRESETS> list.
void takeLine(const std::vector<std::string>& tokens, EffectBlock& block, bool& inPresets, const std::string& opening)
{
    const std::string& tag = tokens[0];
    if (inPresets)
    {
        if (tag == "</PRESETS>") inPresets = false;
        else if (tag[0] == '<') CEffect::Print("Warning! <PRESETS> list expects preset names, found " + tag + "; ignored");
        else block.presets.insert(block.presets.end(), tokens.begin(), tokens.end());
        return;
    }
    if (tag == "<PRESETS>")
    {
        inPresets = true;
        block.presets.insert(block.presets.end(), tokens.begin() + 1, tokens.end());
    }
    else if (tag == "<NAME>" || tag == "<EFFECT_NAME>") block.type = second(tokens);
    else if (tag == "<DEFAULT>") block.defaultPreset = second(tokens);
    else if (tag == "<GROUP_NAME>") block.groupName = second(tokens);
    else if (tag == "<ICON>") block.icon = second(tokens).empty() ? "NONE" : second(tokens);
    else if (tag == "<CURRENT>")
    {
        block.currentIndex = tokens.size() > 1 ? std::atoi(tokens[1].c_str()) : -1;
        block.currentName = tokens.size() > 2 ? tokens[2] : std::string();
    }
    else
        CEffect::Print("Warning! " + opening + " block does not take " + tag + "; ignored");
}

// Reads the block whose opening line the reader stands on up to `closing`;
// leaves the reader on the closing line, or on the block's last line when it
// is not closed.
EffectBlock readBlock(COsgSettings& reader, const std::string& opening, bool openingHasValues)
{
    EffectBlock block;
    const std::string closing = "</" + opening.substr(1);
    size_t last = static_cast<size_t>(reader.CurrentLine());
    bool inPresets = false, closed = false;
    const std::vector<std::string>& ownTags = opening == "<EFFECT>" ? kEffectTags : kGroupTags;
    for (size_t line = last + 1; line < reader.LineCount(); ++line)
    {
        const std::vector<std::string>& tokens = reader.LineTokens(line);
        if (tokens.empty()) continue;
        if (tokens[0] == closing)
        {
            last = line;
            closed = true;
            break;
        }
        const bool own = inPresets ? tokens[0][0] != '<' || tokens[0] == "</PRESETS>" : contains(ownTags, tokens[0]);
        // The one-line form stands alone unless the block's own lines follow.
        if (!own && (openingHasValues || contains(kStops, tokens[0]))) break;
        takeLine(tokens, block, inPresets, opening);
        last = line;
    }
    if (!closed && (!openingHasValues || last != static_cast<size_t>(reader.CurrentLine())))
        CEffect::Print("Warning! " + opening + " block is not closed by " + closing + "; it ends here");
    reader.GoToLine(last);
    return block;
}

// Puts the effect on the preset it was saved with, when that preset is still
// there (by index, checked against the name, else by name).
void restoreCurrent(CEffect* effect, const EffectBlock& block)
{
    if (block.currentIndex < 0) return;
    const std::vector<CEffectProps*>& presets = effect->GetPresets();
    int index = block.currentIndex;
    if (index >= static_cast<int>(presets.size()) ||
        (!block.currentName.empty() && presets[static_cast<size_t>(index)]->name != block.currentName))
    {
        index = -1;
        for (size_t i = 1; i < presets.size() && index < 0; ++i)
            if (presets[i]->name == block.currentName) index = static_cast<int>(i);
    }
    if (index >= 0) effect->SelectPreset(index);
}

void writeBody(COsgSettings& writer, const CEffect& effect)
{
    const std::vector<CEffectProps*>& presets = effect.GetPresets();
    writer.WriteIndent();
    writer.WriteTag("<DEFAULT>");
    writer.WriteString(presets.empty() ? std::string("NONE") : presets[0]->name);
    if (presets.size() > 1)
    {
        writer.WriteIndent();
        writer.WriteLine("<PRESETS>");
        writer.Indent();
        for (size_t i = 1; i < presets.size(); ++i)
        {
            writer.WriteIndent();
            writer.WriteLine(presets[i]->name);
        }
        writer.Unindent();
        writer.WriteIndent();
        writer.WriteLine("</PRESETS>");
    }
    if (effect.PresetApplied() && effect.GetCurrentPreset() < static_cast<int>(presets.size()))
    {
        writer.WriteIndent();
        writer.WriteTag("<CURRENT>");
        writer.WriteTag(std::to_string(effect.GetCurrentPreset()));
        writer.WriteString(presets[static_cast<size_t>(effect.GetCurrentPreset())]->name);
    }
}

void writeTagged(COsgSettings& writer, const std::string& tag, const std::string& value)
{
    writer.WriteIndent();
    writer.WriteTag(tag);
    writer.WriteString(value);
}
}

bool CEffectLibrary::ReadEffect(COsgSettings& reader, CEffectTarget* target)
{
    if (!target) return false;
    // The one-line form: "<EFFECT> TYPE DEFAULT [PRESET...]".
    const std::vector<std::string>& line = reader.LineTokens(static_cast<size_t>(reader.CurrentLine()));
    EffectBlock block = readBlock(reader, "<EFFECT>", line.size() > 1);
    if (line.size() > 1 && block.type.empty()) block.type = line[1];
    if (line.size() > 2 && block.defaultPreset.empty()) block.defaultPreset = line[2];
    if (line.size() > 3 && block.presets.empty()) block.presets.assign(line.begin() + 3, line.end());
    if (block.type.empty())
    {
        CEffect::Print("Warning! <EFFECT> block expects <NAME> with an effect type, found none");
        return false;
    }
    CEffect* effect = CreateEffect(block.type, true, block.defaultPreset, block.presets, target);
    if (!effect) return false;
    restoreCurrent(effect, block);
    return true;
}

CEffect* CEffectLibrary::ReadEffectGroup(COsgSettings& reader, const void* owner)
{
    if (!owner) return nullptr;
    // The one-line form: "<EFFECT_GROUP> GROUP TYPE DEFAULT [PRESET...]".
    const std::vector<std::string>& line = reader.LineTokens(static_cast<size_t>(reader.CurrentLine()));
    EffectBlock block = readBlock(reader, "<EFFECT_GROUP>", line.size() > 1);
    if (line.size() > 1 && block.groupName.empty()) block.groupName = line[1];
    if (line.size() > 2 && block.type.empty()) block.type = line[2];
    if (line.size() > 3 && block.defaultPreset.empty()) block.defaultPreset = line[3];
    if (line.size() > 4 && block.presets.empty()) block.presets.assign(line.begin() + 4, line.end());
    CEffect* effect = block.type.empty()
                          ? nullptr
                          : CreateEffect(block.type, true, block.defaultPreset, block.presets, nullptr);
    if (!effect)
    {
        CEffect::Print("Warning! Failed to create group Effect");
        return nullptr;
    }
    effect->SetGroupEffect(true);
    effect->SetGroupName(block.groupName.empty() ? std::string("NONE") : block.groupName);
    if (block.icon != "NONE") effect->SetIcon(block.icon);
    restoreCurrent(effect, block);
    return effect;
}

void CEffectLibrary::WriteEffect(COsgSettings& writer, const CEffect& effect)
{
    writer.WriteIndent();
    writer.WriteLine("<EFFECT>");
    writer.Indent();
    writeTagged(writer, "<NAME>", effect.GetTypeName());
    writeBody(writer, effect);
    writer.Unindent();
    writer.WriteIndent();
    writer.WriteLine("</EFFECT>");
}

void CEffectLibrary::WriteEffectGroup(COsgSettings& writer, const CEffect& effect)
{
    writer.WriteIndent();
    writer.WriteLine("<EFFECT_GROUP>");
    writer.Indent();
    writeTagged(writer, "<GROUP_NAME>", effect.GetGroupName());
    writeTagged(writer, "<EFFECT_NAME>", effect.GetTypeName());
    writeTagged(writer, "<ICON>", effect.GetIconFile().empty() ? std::string("NONE") : effect.GetIconFile());
    writeBody(writer, effect);
    writer.Unindent();
    writer.WriteIndent();
    writer.WriteLine("</EFFECT_GROUP>");
}
