#pragma once
// A named parameter set of a material effect: what the user cycles through to
// recolour a material live. Each effect class has its own preset class (the
// eight *Props classes) that adds its values to the name.
//
// Ownership: the effect that made a preset (a library effect reading the
// presets file, or an instance making its preset 0) owns it for the effect's
// life; every other effect only points at it. Library effects live for the
// whole process, so shared presets never go away under an instance.

#include <string>

class CEffectProps
{
public:
    explicit CEffectProps(const std::string& presetName) : name(presetName) {}
    virtual ~CEffectProps() = default;

    std::string name;
};
