#include "CAlphaGlassEffect.h"

#include <osg/CullFace>

CAlphaGlassEffect::CAlphaGlassEffect() : CEffect("ALPHA_GLASS", "ALPHA_GLASSEFFECT") {}

CAlphaGlassEffect::~CAlphaGlassEffect() = default;

void CAlphaGlassEffect::AddPreset(const std::string& name, const osg::Vec4f& colour, float specularPercent,
                                  float baseAlpha, float mix)
{
    AppendOwnPreset(new CAlphaGlassProps(name, colour, specularPercent, baseAlpha, mix));
}

void CAlphaGlassEffect::Init(const std::string& presetName, const osg::Vec4f& colour, float mix,
                             float specularPercent, float baseAlpha)
{
    m_baseColor = new osg::Uniform("BaseColor", osg::Vec3f(colour.r(), colour.g(), colour.b()));
    m_baseAlpha = MakeUniform("BaseAlpha", baseAlpha);
    m_mix = MakeUniform("Mix", mix);
    m_specularPercent = MakeUniform("SpecularPercent", specularPercent);
    AddUniform(m_baseColor.get());
    AddUniform(m_baseAlpha.get());
    AddUniform(m_mix.get());
    AddUniform(m_specularPercent.get());
    AddEnvironmentMap(0, "SPEC_SHARP_ENVMAP", "ReflectEnvMap");
    AddEnvironmentMap(1, "SPEC_JUST_ENVMAP", "SpecularEnvMap");
    BuildProgram("shaders/alphaGlass");
    // See-through: blended over the scene, and only the near side drawn so
    // the far side does not show through in a random order.
    SetBlending(true);
    m_stateSet->setAttributeAndModes(new osg::CullFace(osg::CullFace::BACK), osg::StateAttribute::ON);
    AddPreset(presetName, colour, specularPercent, baseAlpha, mix);
}

void CAlphaGlassEffect::ApplyPreset(int index)
{
    if (index < 0 || index >= GetPresetCount() || !m_baseColor.valid()) return;
    const CAlphaGlassProps* preset = dynamic_cast<const CAlphaGlassProps*>(m_presets[static_cast<size_t>(index)]);
    if (!preset) return;
    m_baseColor->set(osg::Vec3f(preset->colour.r(), preset->colour.g(), preset->colour.b()));
    m_mix->set(preset->mix);
    m_baseAlpha->set(preset->baseAlpha);
    m_specularPercent->set(preset->specularPercent);
    m_presetApplied = true;
}
