#pragma once
// Polished metals lit by the environment: METAL (soft reflections), its
// variants CHROME_METAL (a sharp mirror) and BRUSHED_METAL (reflections
// streaked sideways, as on brushed steel). One shader pair,
// "shaders/metal.vert" / ".frag"; the variants differ only in the specular
// environment map on unit 2.
//
// Units: 0 the model's own texture ("AmbiOcMap", white where the model has
// none), 1 the diffuse environment ("DiffuseEnvMap"), 2 the specular
// environment ("SpecularEnvMap"). Presets drive "BaseColor",
// "DiffusePercent" and "SpecularPercent".

#include "CEffect.h"
#include "CMetalProps.h"

class CMetalEffect : public CEffect
{
public:
    CMetalEffect();
    ~CMetalEffect() override;

    void ApplyPreset(int index) override;

    /// Appends a preset this effect owns.
    void AddPreset(const std::string& name, const osg::Vec4f& colour, float specularPercent, float diffusePercent);

    /// METAL: the default preset's colour with both percentages 1.0.
    void Init(const std::string& presetName, const osg::Vec4f& colour);
    /// CHROME_METAL: as Init with the sharp mirror map.
    void InitChrome(const std::string& presetName, const osg::Vec4f& colour);
    /// BRUSHED_METAL: as Init with the streaked map.
    void InitBrushed(const std::string& presetName, const osg::Vec4f& colour);

private:
    void Build(const std::string& presetName, const osg::Vec4f& colour, const std::string& specularMap);

    osg::ref_ptr<osg::Uniform> m_baseColor;
    osg::ref_ptr<osg::Uniform> m_diffusePercent;
    osg::ref_ptr<osg::Uniform> m_specularPercent;
};
