#pragma once
// Preset of the diffuse-map effects (DIF_AOIL, DIF_SOFT_AOIL). The colour is kept with the preset but drives nothing: the model's diffuse map gives the colour.

#include "CEffectProps.h"

#include <osg/Vec4f>

class CDiffuseAOILProps : public CEffectProps
{
public:
    CDiffuseAOILProps(const std::string& presetName, const osg::Vec4f& presetColour, float specular, float diffuse)
        : CEffectProps(presetName), colour(presetColour), specularPercent(specular), diffusePercent(diffuse)
    {
    }

    osg::Vec4f colour;
    float specularPercent;
    float diffusePercent;
};
