#pragma once
// RUBBER: a matte, slightly bumpy surface with a soft sheen. The bumps come
// from the texture store's 3D noise texture, looked up at the model's own
// coordinates, so they stick to the model as it moves.
// Shaders "shaders/rubber.vert" / ".frag".
//
// Units: 0 the model's own texture ("AmbiOcMap", white where it has none),
// 1 "DiffuseEnvMap", 2 the soft highlights ("SpecularEnvMap"), 3 the noise
// ("NoiseMap"). Presets drive "BaseColor", "DiffusePercent",
// "SpecularPercent" and "noiseScale".

#include "CEffect.h"
#include "CRubberProps.h"

class CRubberEffect : public CEffect
{
public:
    CRubberEffect();
    ~CRubberEffect() override;

    void ApplyPreset(int index) override;

    void AddPreset(const std::string& name, const osg::Vec4f& colour, float specularPercent, float diffusePercent,
                   float noiseScale);
    /// The uniforms start at the default preset's values; preset 0 repeats them.
    void Init(const std::string& presetName, const osg::Vec4f& colour, float noiseScale, float diffusePercent,
              float specularPercent);

private:
    osg::ref_ptr<osg::Uniform> m_baseColor;
    osg::ref_ptr<osg::Uniform> m_diffusePercent;
    osg::ref_ptr<osg::Uniform> m_specularPercent;
    osg::ref_ptr<osg::Uniform> m_noiseScale;
};
