#pragma once
// Preset of the rubber effect (RUBBER): colour, specular and diffuse shares, and the size of the noise bumps (larger: finer).

#include "CEffectProps.h"

#include <osg/Vec4f>

class CRubberProps : public CEffectProps
{
public:
    CRubberProps(const std::string& presetName, const osg::Vec4f& presetColour, float specular, float diffuse, float scale)
        : CEffectProps(presetName), colour(presetColour), specularPercent(specular), diffusePercent(diffuse), noiseScale(scale)
    {
    }

    osg::Vec4f colour;
    float specularPercent;
    float diffusePercent;
    float noiseScale;
};
