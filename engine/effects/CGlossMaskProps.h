#pragma once
// Preset of the gloss-map effects (GLOSS_MAP, GLOSS_MAP_SOFT). The colour is kept with the preset but drives nothing: the model's own texture gives the colour.

#include "CEffectProps.h"

#include <osg/Vec4f>

class CGlossMaskProps : public CEffectProps
{
public:
    CGlossMaskProps(const std::string& presetName, const osg::Vec4f& presetColour, float specular, float diffuse)
        : CEffectProps(presetName), colour(presetColour), specularPercent(specular), diffusePercent(diffuse)
    {
    }

    osg::Vec4f colour;
    float specularPercent;
    float diffusePercent;
};
