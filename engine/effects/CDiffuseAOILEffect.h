#pragma once
// DIF_AOIL and DIF_SOFT_AOIL: the model's diffuse map (its <DIFFUSE_MAP>
// file) lit by the diffuse environment, darkened by the model's own texture
// as an ambient-occlusion map, with a touch of reflected light.
// Shaders "shaders/diffuseAOIL.vert" / ".frag"; the soft variant has
// broader highlights.
//
// Units: 0 the model's own texture ("AmbiOcMap", white where it has none),
// 1 "DiffuseEnvMap", 2 "SpecularEnvMap", 3 the diffuse map ("DiffuseMap",
// white when there is no file: a group effect has no model). Presets drive
// "DiffusePercent" and "SpecularPercent"; their colour drives nothing.

#include "CDiffuseAOILProps.h"
#include "CEffect.h"

class CDiffuseAOILEffect : public CEffect
{
public:
    CDiffuseAOILEffect();
    ~CDiffuseAOILEffect() override;

    void ApplyPreset(int index) override;

    void AddPreset(const std::string& name, const osg::Vec4f& colour, float specularPercent, float diffusePercent);
    /// DIF_AOIL: the percentages start at the default preset's values;
    /// preset 0 gets both at 1.0.
    void Init(const std::string& presetName, float diffusePercent, float specularPercent,
              const std::string& diffuseMapFile);
    /// DIF_SOFT_AOIL: softer highlights; preset 0 keeps the default preset's
    /// percentages (with colour 0, 0, 0, 1).
    void InitSoft(const std::string& presetName, float diffusePercent, float specularPercent,
                  const std::string& diffuseMapFile);

private:
    void Build(float diffusePercent, float specularPercent, const std::string& diffuseMapFile,
               const std::string& specularMap);

    osg::ref_ptr<osg::Uniform> m_diffusePercent;
    osg::ref_ptr<osg::Uniform> m_specularPercent;
};
