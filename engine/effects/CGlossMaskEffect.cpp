#include "CGlossMaskEffect.h"

CGlossMaskEffect::CGlossMaskEffect() : CEffect("GLOSS_MAP", "GLOSS_EFFECT") {}

CGlossMaskEffect::~CGlossMaskEffect() = default;

void CGlossMaskEffect::AddPreset(const std::string& name, const osg::Vec4f& colour, float specularPercent,
                                 float diffusePercent)
{
    AppendOwnPreset(new CGlossMaskProps(name, colour, specularPercent, diffusePercent));
}

void CGlossMaskEffect::Init(const std::string& presetName, float diffusePercent, float specularPercent,
                            const std::string& glossMapFile)
{
    Build(presetName, diffusePercent, specularPercent, glossMapFile, "SPEC_JUST_ENVMAP");
}

void CGlossMaskEffect::InitSoft(const std::string& presetName, float diffusePercent, float specularPercent,
                                const std::string& glossMapFile)
{
    SetTypeName("GLOSS_MAP_SOFT");
    Build(presetName, diffusePercent, specularPercent, glossMapFile, "SPEC_STD_ENVMAP");
}

void CGlossMaskEffect::Build(const std::string& presetName, float diffusePercent, float specularPercent,
                             const std::string& glossMapFile, const std::string& specularMap)
{
    m_diffusePercent = MakeUniform("DiffusePercent", diffusePercent);
    m_specularPercent = MakeUniform("SpecularPercent", specularPercent);
    AddUniform(m_diffusePercent.get());
    AddUniform(m_specularPercent.get());
    AddUniform(new osg::Uniform("baseTex", 0));
    AddFallbackTexture(0, WhiteTexture());
    if (glossMapFile.empty())
    {
        AddFallbackTexture(3, WhiteTexture());
        AddUniform(new osg::Uniform("maskMap", 3));
    }
    else if (!AddTexture(3, glossMapFile, "maskMap"))
        AddUniform(new osg::Uniform("maskMap", 3));
    AddEnvironmentMap(1, "DIFF_ENVMAP", "DiffuseEnvMap");
    AddEnvironmentMap(2, specularMap, "SpecularEnvMap");
    BuildProgram("shaders/glossMask");
    AddPreset(presetName, osg::Vec4f(1.f, 1.f, 1.f, 1.f), 1.f, 1.f);
}

void CGlossMaskEffect::ApplyPreset(int index)
{
    if (index < 0 || index >= GetPresetCount() || !m_diffusePercent.valid()) return;
    const CGlossMaskProps* preset = dynamic_cast<const CGlossMaskProps*>(m_presets[static_cast<size_t>(index)]);
    if (!preset) return;
    m_diffusePercent->set(preset->diffusePercent);
    m_specularPercent->set(preset->specularPercent);
    m_presetApplied = true;
}
