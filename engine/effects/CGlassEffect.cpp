#include "CGlassEffect.h"

namespace
{
const float kFrameSize = 2048.f;
}

CGlassEffect::CGlassEffect() : CEffect("GLASS", "GLASS_EFFECT") {}

CGlassEffect::~CGlassEffect() = default;

void CGlassEffect::AddPreset(const std::string& name, const osg::Vec4f& colour, float depth, float mix)
{
    AppendOwnPreset(new CGlassProps(name, colour, depth, mix));
}

void CGlassEffect::Init(const std::string& presetName, const osg::Vec4f& colour, float depth, float mix)
{
    m_depth = MakeUniform("Depth", depth);
    m_mixRatio = MakeUniform("MixRatio", mix);
    m_baseColor = new osg::Uniform("BaseColor", osg::Vec3f(colour.r(), colour.g(), colour.b()));
    AddUniform(m_depth.get());
    AddUniform(m_mixRatio.get());
    AddUniform(m_baseColor.get());
    AddUniform(MakeUniform("FrameWidth", kFrameSize));
    AddUniform(MakeUniform("FrameHeight", kFrameSize));
    AddSharedTexture(0, "RefractionMap");
    AddUniform(new osg::Uniform("EnvMap", 1));  // no picture of its own on unit 1
    AddEnvironmentMap(2, "SPEC_JUST_ENVMAP", "SpecMap");
    BuildProgram("shaders/glass");
    AddPreset(presetName, colour, depth, mix);
}

void CGlassEffect::ApplyPreset(int index)
{
    if (index < 0 || index >= GetPresetCount() || !m_baseColor.valid()) return;
    const CGlassProps* preset = dynamic_cast<const CGlassProps*>(m_presets[static_cast<size_t>(index)]);
    if (!preset) return;
    m_baseColor->set(osg::Vec3f(preset->colour.r(), preset->colour.g(), preset->colour.b()));
    m_depth->set(preset->depth);
    m_mixRatio->set(preset->mix);
    m_presetApplied = true;
}
