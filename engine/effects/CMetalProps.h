#pragma once
// Preset of the metal effects (METAL, CHROME_METAL, BRUSHED_METAL): base colour and the shares of specular and diffuse light.

#include "CEffectProps.h"

#include <osg/Vec4f>

class CMetalProps : public CEffectProps
{
public:
    CMetalProps(const std::string& presetName, const osg::Vec4f& presetColour, float specular, float diffuse)
        : CEffectProps(presetName), colour(presetColour), specularPercent(specular), diffusePercent(diffuse)
    {
    }

    osg::Vec4f colour;
    float specularPercent;
    float diffusePercent;
};
