#pragma once
// Preset of the refracting glass (GLASS): tint, how far the picture behind is bent, and how strongly the tint is mixed in.

#include "CEffectProps.h"

#include <osg/Vec4f>

class CGlassProps : public CEffectProps
{
public:
    CGlassProps(const std::string& presetName, const osg::Vec4f& presetColour, float presetDepth, float mixRatio)
        : CEffectProps(presetName), colour(presetColour), depth(presetDepth), mix(mixRatio)
    {
    }

    osg::Vec4f colour;
    float depth;
    float mix;
};
