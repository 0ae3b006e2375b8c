#pragma once
// Preset of the fixed-function highlight effect (SPEC): how strongly the
// highlight map is blended over the model (0 none, 1 full).

#include "CEffectProps.h"

class CSpecMapProps : public CEffectProps
{
public:
    CSpecMapProps(const std::string& presetName, float mixRatio) : CEffectProps(presetName), mix(mixRatio) {}

    float mix;
};
