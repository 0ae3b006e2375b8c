#include "CCharacterEntity.h"

#include "CEntityBlockValues.h"

#include <cstdio>

CCharacterEntity* CCharacterEntity::FromBlock(const std::vector<CTagBlock::KeptLine>& block)
{
    std::string file = "NONE";
    float scale = 1.f;
    int mode = 0;
    for (const std::vector<std::string>& line : CEntityBlockValues::Body(block))
    {
        if (line[0] == "<FILE>") file = CEntityBlockValues::Word(line, file);
        else if (line[0] == "<SCALE>") scale = float(CEntityBlockValues::Number(line, scale));
        else if (line[0] == "<MODE>") mode = CEntityBlockValues::Integer(line, mode);
    }
    return Create(file, scale, mode);
}

CCharacterEntity* CCharacterEntity::Create(const std::string& skinFile, float scale, int mode)
{
    osg::ref_ptr<CSkinnedModel> model = CSkinnedModel::Load(skinFile);
    if (!model.valid()) return nullptr;
    CCharacterEntity* entity = new CCharacterEntity;
    entity->m_model = model;
    entity->m_file = skinFile;
    entity->m_scale = scale;
    entity->m_mode = mode;
    entity->m_node = new osg::MatrixTransform(osg::Matrixd::scale(scale, scale, scale));
    entity->m_node->setName("Character");
    entity->m_node->addChild(model->GetNode());
    return entity;
}

void CCharacterEntity::update(float seconds, const MarkerState& state)
{
    if (m_mode == 0 && state.reappeared && !m_wasReappeared)
    {
        m_model->StopAction("idle");
        m_model->StartAction("idle", kFadeSeconds, kFadeSeconds);
    }
    m_wasReappeared = state.reappeared;
}

void CCharacterEntity::Trigger(std::vector<int> keys)
{
    for (int key : keys)
        if (key >= '0' && key <= '9') m_model->StartAction(key - '0', kFadeSeconds, kFadeSeconds);
}

char* CCharacterEntity::GetDescription()
{
    char* text = new char[256];
    std::snprintf(text, 256, "CHARACTER %s %f %d", m_file.c_str(), m_scale, m_mode);
    return text;
}
