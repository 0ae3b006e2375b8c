#include "CSpecMapEffect.h"

#include "CTextureStore.h"

#include <osg/TexGen>
#include <osg/TexMat>

namespace
{
const unsigned kUnit = 2;
}

CSpecMapEffect::CSpecMapEffect() : CEffect("SPEC", "SPEC_EFFECT") {}

CSpecMapEffect::~CSpecMapEffect() = default;

void CSpecMapEffect::AddPreset(const std::string& name, float mix)
{
    AppendOwnPreset(new CSpecMapProps(name, mix));
}

void CSpecMapEffect::Init(const std::string& presetName, float mix)
{
    const auto onOverride = osg::StateAttribute::ON | osg::StateAttribute::OVERRIDE;
    const std::string file = CTextureStore::EnvironmentMapFile("SPEC_JUST_ENVMAP");
    if (osg::Texture2D* map = CTextureStore::Instance()->GetTexture("SPEC_JUST_ENVMAP", file))
        AddTexture(static_cast<int>(kUnit), map);
    else
        Print("Unable to load Texture image " + file + ", For channel " + std::to_string(kUnit));
    osg::ref_ptr<osg::TexGen> texGen = new osg::TexGen;
    texGen->setMode(osg::TexGen::REFLECTION_MAP);
    m_stateSet->setTextureAttributeAndModes(kUnit, texGen.get(), onOverride);
    // Reflection vectors run from -1 to 1; the map is looked up from 0 to 1,
    // with the direction back to the viewer in its middle.
    m_stateSet->setTextureAttributeAndModes(
        kUnit, new osg::TexMat(osg::Matrix::scale(0.5, 0.5, 0.5) * osg::Matrix::translate(0.5, 0.5, 0.5)), onOverride);
    m_texEnv = new osg::TexEnv(osg::TexEnv::BLEND);
    m_texEnv->setColor(osg::Vec4(mix, mix, mix, mix));
    m_stateSet->setTextureAttributeAndModes(kUnit, m_texEnv.get(), onOverride);
    SetBlending(true);
    AddPreset(presetName, mix);
}

void CSpecMapEffect::ApplyPreset(int index)
{
    if (index < 0 || index >= GetPresetCount() || !m_texEnv.valid()) return;
    const CSpecMapProps* preset = dynamic_cast<const CSpecMapProps*>(m_presets[static_cast<size_t>(index)]);
    if (!preset) return;
    m_texEnv->setMode(osg::TexEnv::BLEND);
    m_texEnv->setColor(osg::Vec4(preset->mix, preset->mix, preset->mix, preset->mix));
    m_presetApplied = true;
}
