#pragma once
// What the effect library needs of a model that an effect is made for: the
// content layer's model entries implement it. The effect layer sits below the
// content objects, so it knows models only through this interface.
//
// The target never owns the effect it is given; the effect library does.

#include <string>

class CEffect;

class CEffectTarget
{
public:
    /// With an effect: the model's node takes the effect's state set, the model
    /// remembers the effect, true. With null: the model forgets its effect
    /// (its node gets back the state it had before), false.
    virtual bool SetEffect(CEffect* effect) = 0;
    /// The model's gloss map file (its <GLOSS_MAP> line), empty when none.
    virtual std::string GetGlossMapFile() const = 0;
    /// The model's diffuse map file (its <DIFFUSE_MAP> line), empty when none.
    virtual std::string GetDiffuseMapFile() const = 0;

protected:
    ~CEffectTarget() = default;
};
