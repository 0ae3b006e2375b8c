#pragma once
// The process-wide library of material effects and their named presets.
//
// It keeps one library effect per type name (in order of creation) as the
// container of that type's presets, read once at start-up from the presets
// file "models/effects.mfx". Models ask it for effect instances: a fully
// built effect of a type, started from one named default preset and carrying
// a chosen list of the type's presets for cycling.
//
// Type names and their classes: "METAL", "CHROME_METAL", "BRUSHED_METAL"
// (CMetalEffect), "ALPHA_GLASS" (CAlphaGlassEffect), "GLOSS_MAP",
// "GLOSS_MAP_SOFT" (CGlossMaskEffect), "DIF_AOIL", "DIF_SOFT_AOIL"
// (CDiffuseAOILEffect), "GLASS" (CGlassEffect), "RUBBER" (CRubberEffect),
// "SPEC" (CSpecMapEffect), "STONE" (CTransPolishedStoneEffect).
//
// Ownership: the library owns every effect it makes, library effects and
// instances alike, for the whole process (so models, menus and groups may
// keep plain pointers) unless the content that uses instances is dropped and
// gives them back (ReleaseInstances); the singleton itself is never destroyed. Everything
// runs on the engine's thread. Bad data in a file prints one line on standard
// output saying what was expected and what was found; nothing throws.

#include <memory>
#include <string>
#include <vector>

class CEffect;
class CEffectProps;
class CEffectTarget;
class COsgSettings;

class CEffectLibrary
{
public:
    static CEffectLibrary* Instance();

    /// Reads the presets file: the preset blocks between <EFFECT_PRESETS> and
    /// </EFFECT_PRESETS>, each added to the library effect of its type. False
    /// when the file cannot be read or has no <EFFECT_PRESETS> line.
    bool LoadPresets(const std::string& fileName);

    /// The library effect of this type, made (and kept) on first request;
    /// null for a type that is not one of the twelve.
    CEffect* GetLibraryEffect(const std::string& typeName);

    /// The factory. Library mode (`instance` false): a bare effect of the type,
    /// not kept. Instance mode: a built effect started from the type's preset
    /// `defaultPreset`, with the named presets added for cycling (names the
    /// library does not hold for the type are skipped) and, when a target is
    /// given, set on it. Null, with a message in instance mode, for an unknown
    /// type or a default preset the type does not have.
    CEffect* CreateEffect(const std::string& typeName, bool instance, const std::string& defaultPreset,
                          const std::vector<std::string>& presetNames, CEffectTarget* target);

    /// The first preset of that name among the library presets of the type, or null.
    CEffectProps* FindPreset(const std::string& typeName, const std::string& presetName);
    /// FindPreset for each name, in order, keeping those found.
    std::vector<CEffectProps*> CollectPresets(const std::string& typeName, const std::vector<std::string>& names);

    /// Reads the <EFFECT> block of a model whose line the reader stands on and
    /// makes the model's effect. Also takes the one-line form
    /// "<EFFECT> TYPE DEFAULT [PRESET...]". Leaves the reader on the block's
    /// last line. True when an effect was made; a null target is false at once.
    bool ReadEffect(COsgSettings& reader, CEffectTarget* target);
    /// Reads the <EFFECT_GROUP> block of an entity whose line the reader
    /// stands on (or the one-line form "<EFFECT_GROUP> GROUP TYPE DEFAULT
    /// [PRESET...]") and returns the group effect, or null after printing
    /// "Warning! Failed to create group Effect". A null owner is null at once.
    CEffect* ReadEffectGroup(COsgSettings& reader, const void* owner);

    /// Writes a model's effect as an <EFFECT> block that ReadEffect reads back
    /// with the same look: type, default preset, the presets offered and,
    /// once a preset was applied, the current one (<CURRENT> index name).
    /// Destroys these instances (others and library effects are left alone);
    /// for content that was dropped, once nothing uses them any more.
    void ReleaseInstances(const std::vector<CEffect*>& instances);
    static void WriteEffect(COsgSettings& writer, const CEffect& effect);
    /// Writes a group effect as an <EFFECT_GROUP> block, likewise.
    static void WriteEffectGroup(COsgSettings& writer, const CEffect& effect);

    /// The library effects, in order of creation.
    std::vector<CEffect*> GetLibraryEffects() const;
    /// Every effect made in instance mode so far.
    size_t InstanceCount() const { return m_instances.size(); }
    std::vector<CEffect*> GetInstances() const;

    /// Forgets every library effect and instance (tests). Only when no effect
    /// made by the library is in use any more.
    void ClearAll();

    /// The twelve type names in the factory's order.
    static const std::vector<std::string>& TypeNames();

private:
    CEffectLibrary();
    ~CEffectLibrary();

    CEffect* Construct(int type) const;
    CEffect* BuildInstance(int type, const std::string& typeName, CEffectProps* preset, CEffectTarget* target) const;
    bool ReadPresetBlock(COsgSettings& reader, size_t& line, const std::string& blockTag);

    std::vector<std::unique_ptr<CEffect>> m_library;
    std::vector<std::unique_ptr<CEffect>> m_instances;
};
