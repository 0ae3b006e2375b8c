#include "CVideoMaterialEntity.h"

#include "CColourKey.h"
#include "CEntityBlockValues.h"

#include <cassert>

CVideoMaterialEntity::Settings CVideoMaterialEntity::ReadSettings(const std::vector<CTagBlock::KeptLine>& block)
{
    Settings s;
    for (const std::vector<std::string>& line : CEntityBlockValues::Body(block))
    {
        const std::string& tag = line[0];
        if (tag == "<FILE>") s.file = CEntityBlockValues::Word(line, "");
        else if (tag == "<RECT>") s.rectangle = CEntityBlockValues::Integer(line, 0) != 0;
        else if (tag == "<USE_BLEND>") s.blend = CEntityBlockValues::Integer(line, 0) != 0;
        else if (tag == "<BLEND_COLOUR>") s.keyColour = CEntityBlockValues::Vec3(line, s.keyColour);
        else if (tag == "<BLEND_TOL>") s.tolerance = float(CEntityBlockValues::Number(line, s.tolerance));
    }
    return s;
}

CVideoMaterialEntity* CVideoMaterialEntity::FromBlock(const std::vector<CTagBlock::KeptLine>& block, osg::Node* model)
{
    return new CVideoMaterialEntity(ReadSettings(block), model);
}

CVideoMaterialEntity::CVideoMaterialEntity(const Settings& settings, osg::Node* model, bool withSound)
    : m_settings(settings), m_model(model)
{
    assert(model && "CVideoMaterialEntity: needs the model to put the video on");
    if (m_settings.file.empty())
    {
        CTagBlock::Print("Warning! <VIDEO_MAT> block has no <FILE>; the model keeps its own texture");
        return;
    }
    if (!m_playback.Open(m_settings.file, m_settings.rectangle, true, withSound) || !model) return;
    osg::StateSet* state = model->getOrCreateStateSet();
    CVideoStream::ApplyVideoTexture(state, m_playback.GetStream(), m_settings.rectangle, 0);
    if (!m_settings.blend) return;
    CColourKey::Apply(state, m_settings.keyColour, m_settings.tolerance, m_settings.rectangle, 0);
    state->setMode(GL_LIGHTING, osg::StateAttribute::OFF);
}

char* CVideoMaterialEntity::GetDescription()
{
    char* text = new char[256];
    text[0] = '\0';
    return text;
}
