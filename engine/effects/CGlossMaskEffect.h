#pragma once
// GLOSS_MAP and GLOSS_MAP_SOFT: the model's own texture lit by the diffuse
// environment, with reflections only where the model's gloss map (its
// <GLOSS_MAP> file) is bright. Shaders "shaders/glossMask.vert" / ".frag";
// the soft variant has broader reflections.
//
// Units: 0 the model's own texture ("baseTex", white where it has none),
// 1 "DiffuseEnvMap", 2 "SpecularEnvMap", 3 the gloss map ("maskMap").
// Presets drive "DiffusePercent" and "SpecularPercent"; their colour is kept
// but drives nothing. Without a gloss map file (a group effect has no model)
// the whole surface is glossy.

#include "CEffect.h"
#include "CGlossMaskProps.h"

class CGlossMaskEffect : public CEffect
{
public:
    CGlossMaskEffect();
    ~CGlossMaskEffect() override;

    void ApplyPreset(int index) override;

    void AddPreset(const std::string& name, const osg::Vec4f& colour, float specularPercent, float diffusePercent);
    /// GLOSS_MAP: the percentages start at the default preset's values;
    /// preset 0 gets both at 1.0.
    void Init(const std::string& presetName, float diffusePercent, float specularPercent,
              const std::string& glossMapFile);
    /// GLOSS_MAP_SOFT: as Init with the broader reflections.
    void InitSoft(const std::string& presetName, float diffusePercent, float specularPercent,
                  const std::string& glossMapFile);

private:
    void Build(const std::string& presetName, float diffusePercent, float specularPercent,
               const std::string& glossMapFile, const std::string& specularMap);

    osg::ref_ptr<osg::Uniform> m_diffusePercent;
    osg::ref_ptr<osg::Uniform> m_specularPercent;
};
