#include "CDiffuseAOILEffect.h"

CDiffuseAOILEffect::CDiffuseAOILEffect() : CEffect("DIF_AOIL", "DAIOL_EFFECT") {}

CDiffuseAOILEffect::~CDiffuseAOILEffect() = default;

void CDiffuseAOILEffect::AddPreset(const std::string& name, const osg::Vec4f& colour, float specularPercent,
                                   float diffusePercent)
{
    AppendOwnPreset(new CDiffuseAOILProps(name, colour, specularPercent, diffusePercent));
}

void CDiffuseAOILEffect::Init(const std::string& presetName, float diffusePercent, float specularPercent,
                              const std::string& diffuseMapFile)
{
    Build(diffusePercent, specularPercent, diffuseMapFile, "SPEC_JUST_ENVMAP");
    AddPreset(presetName, osg::Vec4f(1.f, 1.f, 1.f, 1.f), 1.f, 1.f);
}

void CDiffuseAOILEffect::InitSoft(const std::string& presetName, float diffusePercent, float specularPercent,
                                  const std::string& diffuseMapFile)
{
    SetTypeName("DIF_SOFT_AOIL");
    Build(diffusePercent, specularPercent, diffuseMapFile, "SPEC_SOFTJUST_ENVMAP");
    AddPreset(presetName, osg::Vec4f(0.f, 0.f, 0.f, 1.f), specularPercent, diffusePercent);
}

void CDiffuseAOILEffect::Build(float diffusePercent, float specularPercent, const std::string& diffuseMapFile,
                               const std::string& specularMap)
{
    m_diffusePercent = MakeUniform("DiffusePercent", diffusePercent);
    m_specularPercent = MakeUniform("SpecularPercent", specularPercent);
    AddUniform(m_diffusePercent.get());
    AddUniform(m_specularPercent.get());
    AddUniform(new osg::Uniform("AmbiOcMap", 0));
    AddFallbackTexture(0, WhiteTexture());
    if (diffuseMapFile.empty())
    {
        AddFallbackTexture(3, WhiteTexture());
        AddUniform(new osg::Uniform("DiffuseMap", 3));
    }
    else if (!AddTexture(3, diffuseMapFile, "DiffuseMap"))
        AddUniform(new osg::Uniform("DiffuseMap", 3));
    AddEnvironmentMap(1, "DIFF_ENVMAP", "DiffuseEnvMap");
    AddEnvironmentMap(2, specularMap, "SpecularEnvMap");
    BuildProgram("shaders/diffuseAOIL");
}

void CDiffuseAOILEffect::ApplyPreset(int index)
{
    if (index < 0 || index >= GetPresetCount() || !m_diffusePercent.valid()) return;
    const CDiffuseAOILProps* preset = dynamic_cast<const CDiffuseAOILProps*>(m_presets[static_cast<size_t>(index)]);
    if (!preset) return;
    m_diffusePercent->set(preset->diffusePercent);
    m_specularPercent->set(preset->specularPercent);
    m_presetApplied = true;
}
