#pragma once
// Preset of the translucent polished stone (STONE): colour, how deep light goes in, the share of light seen through the stone, and the refraction index ratio.

#include "CEffectProps.h"

#include <osg/Vec4f>

class CTransPStoneProps : public CEffectProps
{
public:
    CTransPStoneProps(const std::string& presetName, const osg::Vec4f& presetColour, float presetDepth, float mixRatio, float index)
        : CEffectProps(presetName), colour(presetColour), depth(presetDepth), mix(mixRatio), refractionIndex(index)
    {
    }

    osg::Vec4f colour;
    float depth;
    float mix;
    float refractionIndex;
};
