#include "CTransPolishedStoneEffect.h"

namespace
{
const float kFrameSize = 2048.f;
}

CTransPolishedStoneEffect::CTransPolishedStoneEffect() : CEffect("STONE", "STONE_EFFECT") {}

CTransPolishedStoneEffect::~CTransPolishedStoneEffect() = default;

void CTransPolishedStoneEffect::AddPreset(const std::string& name, const osg::Vec4f& colour, float depth, float mix,
                                          float refractionIndex)
{
    AppendOwnPreset(new CTransPStoneProps(name, colour, depth, mix, refractionIndex));
}

void CTransPolishedStoneEffect::Init(const std::string& presetName, const osg::Vec4f& colour, float depth, float mix,
                                     float refractionIndex)
{
    m_baseColor = new osg::Uniform("BaseColor", osg::Vec3f(colour.r(), colour.g(), colour.b()));
    m_depth = MakeUniform("Depth", depth);
    m_mixRatio = MakeUniform("MixRatio", mix);
    m_refractionIndex = MakeUniform("InRefIndex", refractionIndex);
    AddUniform(m_baseColor.get());
    AddUniform(m_depth.get());
    AddUniform(m_mixRatio.get());
    AddUniform(m_refractionIndex.get());
    AddUniform(MakeUniform("FrameWidth", kFrameSize));
    AddUniform(MakeUniform("FrameHeight", kFrameSize));
    AddSharedTexture(0, "RefractionMap");
    AddEnvironmentMap(1, "SPEC_JUST_ENVMAP", "SpecMap");
    BuildProgram("shaders/fakeScatter");
    AddPreset(presetName, colour, depth, mix, refractionIndex);
}

void CTransPolishedStoneEffect::ApplyPreset(int index)
{
    if (index < 0 || index >= GetPresetCount() || !m_baseColor.valid()) return;
    const CTransPStoneProps* preset = dynamic_cast<const CTransPStoneProps*>(m_presets[static_cast<size_t>(index)]);
    if (!preset) return;
    m_baseColor->set(osg::Vec3f(preset->colour.r(), preset->colour.g(), preset->colour.b()));
    m_depth->set(preset->depth);
    m_mixRatio->set(preset->mix);
    m_refractionIndex->set(preset->refractionIndex);
    m_presetApplied = true;
}
