#include "CMetalEffect.h"

CMetalEffect::CMetalEffect() : CEffect("METAL", "METAL_EFFECT") {}

CMetalEffect::~CMetalEffect() = default;

void CMetalEffect::AddPreset(const std::string& name, const osg::Vec4f& colour, float specularPercent,
                             float diffusePercent)
{
    AppendOwnPreset(new CMetalProps(name, colour, specularPercent, diffusePercent));
}

void CMetalEffect::Init(const std::string& presetName, const osg::Vec4f& colour)
{
    Build(presetName, colour, "SPEC_200_ENVMAP");
}

void CMetalEffect::InitChrome(const std::string& presetName, const osg::Vec4f& colour)
{
    SetTypeName("CHROME_METAL");
    Build(presetName, colour, "SPEC_SHARP_ENVMAP");
}

void CMetalEffect::InitBrushed(const std::string& presetName, const osg::Vec4f& colour)
{
    SetTypeName("BRUSHED_METAL");
    Build(presetName, colour, "SPEC_STD_ENVMAP");
}

void CMetalEffect::Build(const std::string& presetName, const osg::Vec4f& colour, const std::string& specularMap)
{
    m_baseColor = new osg::Uniform("BaseColor", osg::Vec3f(colour.r(), colour.g(), colour.b()));
    m_diffusePercent = MakeUniform("DiffusePercent", 1.f);
    m_specularPercent = MakeUniform("SpecularPercent", 1.f);
    AddUniform(m_baseColor.get());
    AddUniform(m_diffusePercent.get());
    AddUniform(m_specularPercent.get());
    AddUniform(new osg::Uniform("AmbiOcMap", 0));
    AddFallbackTexture(0, WhiteTexture());
    AddEnvironmentMap(1, "DIFF_ENVMAP", "DiffuseEnvMap");
    AddEnvironmentMap(2, specularMap, "SpecularEnvMap");
    BuildProgram("shaders/metal");
    AddPreset(presetName, colour, 1.f, 1.f);
}

void CMetalEffect::ApplyPreset(int index)
{
    if (index < 0 || index >= GetPresetCount() || !m_baseColor.valid()) return;
    const CMetalProps* preset = dynamic_cast<const CMetalProps*>(m_presets[static_cast<size_t>(index)]);
    if (!preset) return;
    m_baseColor->set(osg::Vec3f(preset->colour.r(), preset->colour.g(), preset->colour.b()));
    m_diffusePercent->set(preset->diffusePercent);
    m_specularPercent->set(preset->specularPercent);
    m_presetApplied = true;
}
