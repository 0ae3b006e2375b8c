#pragma once
// The effect lines of a content object's file: a model's <EFFECT> block and
// <GROUP_EFFECT> line, and an entity's <EFFECT_GROUP> blocks, read through
// the effect library and written back so a saved object reads back with the
// same look. Lines that make no effect are kept verbatim and written back
// as they were, so saving never loses them. Messages go to standard output.

#include "CTagBlock.h"

#include <string>
#include <vector>

class CEffect;
class COsgSettings;
struct ModelEntry;

class CObjectEffects
{
public:
    /// The reader stands on a model's <EFFECT> line: makes the model's effect,
    /// or keeps the block's lines in the model's kept lines. Without a model
    /// the block is skipped with the "Model must be loaded" message.
    static void ReadModelEffect(COsgSettings& reader, ModelEntry* current,
                                const std::vector<std::string>& modelStops);
    /// The reader stands on a <GROUP_EFFECT> line: gives the model the named
    /// group of `groups`, or prints why not.
    static void ApplyGroup(COsgSettings& reader, const std::vector<CEffect*>& groups, ModelEntry* current);
    /// The reader stands on an <EFFECT_GROUP> line: appends the group effect
    /// to `groups`, or keeps the block's lines in `kept`.
    static void ReadGroup(COsgSettings& reader, const void* owner, std::vector<CEffect*>& groups,
                          std::vector<CTagBlock::KeptLine>& kept);

    /// A model's effect: its <EFFECT> block, or <GROUP_EFFECT> for a group.
    static void WriteModelEffect(COsgSettings& writer, const ModelEntry& entry);
    /// Every group effect as an <EFFECT_GROUP> block.
    static void WriteGroups(COsgSettings& writer, const std::vector<CEffect*>& groups);

private:
    /// Keeps the lines from `first` to the reader's line, indented by nesting.
    static void KeepLines(const COsgSettings& reader, size_t first, std::vector<CTagBlock::KeptLine>& kept);
};
