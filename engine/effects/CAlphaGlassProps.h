#pragma once
// Preset of the see-through glass (ALPHA_GLASS): tint, highlight share, the alpha of a surface seen head-on, and how much of the reflection is mixed in.

#include "CEffectProps.h"

#include <osg/Vec4f>

class CAlphaGlassProps : public CEffectProps
{
public:
    CAlphaGlassProps(const std::string& presetName, const osg::Vec4f& presetColour, float specular, float alpha, float mixRatio)
        : CEffectProps(presetName), colour(presetColour), specularPercent(specular), baseAlpha(alpha), mix(mixRatio)
    {
    }

    osg::Vec4f colour;
    float specularPercent;
    float baseAlpha;
    float mix;
};
