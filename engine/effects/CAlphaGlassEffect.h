#pragma once
// ALPHA_GLASS: thin see-through glass. The surface is drawn blended over what
// lies behind it: nearly clear where it faces the viewer, more reflective
// towards its rim, with sharp highlights. Shaders "shaders/alphaGlass.vert" /
// ".frag".
//
// Units: 0 the sharp environment ("ReflectEnvMap"), 1 the highlights only
// ("SpecularEnvMap"). Presets drive "BaseColor", "Mix", "BaseAlpha" and
// "SpecularPercent".

#include "CAlphaGlassProps.h"
#include "CEffect.h"

class CAlphaGlassEffect : public CEffect
{
public:
    CAlphaGlassEffect();
    ~CAlphaGlassEffect() override;

    void ApplyPreset(int index) override;

    void AddPreset(const std::string& name, const osg::Vec4f& colour, float specularPercent, float baseAlpha,
                   float mix);
    /// The uniforms start at the default preset's values; preset 0 repeats them.
    void Init(const std::string& presetName, const osg::Vec4f& colour, float mix, float specularPercent,
              float baseAlpha);

private:
    osg::ref_ptr<osg::Uniform> m_baseColor;
    osg::ref_ptr<osg::Uniform> m_baseAlpha;
    osg::ref_ptr<osg::Uniform> m_mix;
    osg::ref_ptr<osg::Uniform> m_specularPercent;
};
