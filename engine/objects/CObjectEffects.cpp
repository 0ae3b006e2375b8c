#include "CObjectEffects.h"

#include "CEffect.h"
#include "CEffectLibrary.h"
#include "COsgSettings.h"
#include "ModelEntry.h"

void CObjectEffects::KeepLines(const COsgSettings& reader, size_t first, std::vector<CTagBlock::KeptLine>& kept)
{
    int depth = 0;
    for (size_t line = first; line <= static_cast<size_t>(reader.CurrentLine()); ++line)
    {
        const std::vector<std::string>& tokens = reader.LineTokens(line);
        const bool closing = !tokens.empty() && tokens[0].compare(0, 2, "</") == 0;
        if (closing && depth > 0) --depth;
        kept.push_back({depth, tokens});
        const bool opening = !tokens.empty() && tokens.size() == 1 && !closing && tokens[0][0] == '<' &&
                             (line == first || tokens[0] == "<PRESETS>");
        if (opening) ++depth;
    }
}

void CObjectEffects::ReadModelEffect(COsgSettings& reader, ModelEntry* current,
                                     const std::vector<std::string>& modelStops)
{
    if (!current)
    {
        CTagBlock::Print("INFOMATION: Model must be loaded before applying an <EFFECT> node can be applied");
        if (CTagBlock::CurrentTokens(reader).size() == 1) CTagBlock::Skip(reader, "<EFFECT>", modelStops, nullptr);
        return;
    }
    const size_t first = static_cast<size_t>(reader.CurrentLine());
    if (!CEffectLibrary::Instance()->ReadEffect(reader, current)) KeepLines(reader, first, current->keptLines);
}

void CObjectEffects::ApplyGroup(COsgSettings& reader, const std::vector<CEffect*>& groups, ModelEntry* current)
{
    const std::vector<std::string> line = CTagBlock::CurrentTokens(reader);
    const std::string name = reader.NextString();
    CEffect* group = nullptr;
    for (CEffect* candidate : groups)
        if (!group && candidate->GetGroupName() == name) group = candidate;
    if (!group)
    {
        CTagBlock::Print("Warning! Group Effect Not applied");
        CTagBlock::Print("Effect group name " + name + " could not be found");
        if (current) current->keptLines.push_back({0, line});
        return;
    }
    if (!current)
    {
        CTagBlock::Print("Warning! Group Effect not applied");
        CTagBlock::Print("Model file must be loaded before applying effect");
        return;
    }
    current->SetEffect(group);
}

void CObjectEffects::ReadGroup(COsgSettings& reader, const void* owner, std::vector<CEffect*>& groups,
                               std::vector<CTagBlock::KeptLine>& kept)
{
    const size_t first = static_cast<size_t>(reader.CurrentLine());
    if (CEffect* group = CEffectLibrary::Instance()->ReadEffectGroup(reader, owner))
        groups.push_back(group);
    else
        KeepLines(reader, first, kept);
}

void CObjectEffects::WriteModelEffect(COsgSettings& writer, const ModelEntry& entry)
{
    if (!entry.effect) return;
    if (!entry.effect->IsGroupEffect())
    {
        CEffectLibrary::WriteEffect(writer, *entry.effect);
        return;
    }
    writer.WriteIndent();
    writer.WriteTag("<GROUP_EFFECT>");
    writer.WriteString(entry.effect->GetGroupName());
}

void CObjectEffects::WriteGroups(COsgSettings& writer, const std::vector<CEffect*>& groups)
{
    for (const CEffect* group : groups) CEffectLibrary::WriteEffectGroup(writer, *group);
}
