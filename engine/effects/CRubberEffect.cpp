#include "CRubberEffect.h"

CRubberEffect::CRubberEffect() : CEffect("RUBBER", "RUBBER_EFFECT") {}

CRubberEffect::~CRubberEffect() = default;

void CRubberEffect::AddPreset(const std::string& name, const osg::Vec4f& colour, float specularPercent,
                              float diffusePercent, float noiseScale)
{
    AppendOwnPreset(new CRubberProps(name, colour, specularPercent, diffusePercent, noiseScale));
}

void CRubberEffect::Init(const std::string& presetName, const osg::Vec4f& colour, float noiseScale,
                         float diffusePercent, float specularPercent)
{
    m_baseColor = new osg::Uniform("BaseColor", osg::Vec3f(colour.r(), colour.g(), colour.b()));
    m_diffusePercent = MakeUniform("DiffusePercent", diffusePercent);
    m_specularPercent = MakeUniform("SpecularPercent", specularPercent);
    m_noiseScale = MakeUniform("noiseScale", noiseScale);
    AddUniform(m_baseColor.get());
    AddUniform(m_diffusePercent.get());
    AddUniform(m_specularPercent.get());
    AddUniform(new osg::Uniform("AmbiOcMap", 0));
    AddFallbackTexture(0, WhiteTexture());
    AddEnvironmentMap(1, "DIFF_ENVMAP", "DiffuseEnvMap");
    AddEnvironmentMap(2, "SPEC_SOFTJUST_ENVMAP", "SpecularEnvMap");
    AddUniform(m_noiseScale.get());
    AddNoiseTexture(3);
    AddUniform(new osg::Uniform("NoiseMap", 3));
    BuildProgram("shaders/rubber");
    AddPreset(presetName, colour, specularPercent, diffusePercent, noiseScale);
}

void CRubberEffect::ApplyPreset(int index)
{
    if (index < 0 || index >= GetPresetCount() || !m_baseColor.valid()) return;
    const CRubberProps* preset = dynamic_cast<const CRubberProps*>(m_presets[static_cast<size_t>(index)]);
    if (!preset) return;
    m_noiseScale->set(preset->noiseScale);
    m_baseColor->set(osg::Vec3f(preset->colour.r(), preset->colour.g(), preset->colour.b()));
    m_diffusePercent->set(preset->diffusePercent);
    m_specularPercent->set(preset->specularPercent);
    m_presetApplied = true;
}
