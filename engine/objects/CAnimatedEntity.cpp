#include "CAnimatedEntity.h"

#include "CEntityBlockValues.h"

#include <cassert>
#include <cstring>

namespace
{
struct Transport
{
    const char* word;
    osg::AnimationPath::LoopMode mode;
};
const Transport kTransports[] = {{"PLAY", osg::AnimationPath::NO_LOOPING},
                                 {"LOOP", osg::AnimationPath::LOOP},
                                 {"SWING", osg::AnimationPath::SWING}};
}

CAnimatedEntity::CAnimatedEntity() : m_controller(new CAnimationController) {}

CAnimatedEntity* CAnimatedEntity::FromBlock(const std::vector<CTagBlock::KeptLine>& block, osg::Node* model)
{
    CAnimatedEntity* entity = new CAnimatedEntity;
    for (const std::vector<std::string>& line : CEntityBlockValues::Body(block)) entity->ReadLine(line);
    entity->Build(model);
    return entity;
}

void CAnimatedEntity::ReadLine(const std::vector<std::string>& line)
{
    const std::string& tag = line[0];
    if (tag == "<TRANSPORT_MODE>")
    {
        const std::string word = CEntityBlockValues::Word(line, "LOOP");
        for (const Transport& transport : kTransports)
            if (word == transport.word) return void(m_loopMode = transport.mode);
        CTagBlock::Print("Warning! <TRANSPORT_MODE> expects PLAY, LOOP or SWING, found \"" + word + "\"; using LOOP");
        m_loopMode = osg::AnimationPath::LOOP;
    }
    else if (tag == "<FPA>")
    {
        const int frames = CEntityBlockValues::Integer(line, 0);
        if (frames > 0) m_framesPerSegment = frames;
        else
            CTagBlock::Print("Warning! <FPA> expects a positive number of frames, found " + std::to_string(frames) +
                             "; the animation stays one segment");
    }
    else if (tag == "<FPS>")
    {
        const double fps = CEntityBlockValues::Number(line, m_framesPerSecond);
        if (fps > 0.0) m_framesPerSecond = fps;
        else CTagBlock::Print("Warning! <FPS> expects a positive frame rate, found " + line[1] + "; using 30");
    }
    else if (tag == "<IDLE_INDEX>") m_idleIndex = CEntityBlockValues::Integer(line, m_idleIndex);
    else if (tag == "<APPEAR_INDEX>") m_appearIndex = CEntityBlockValues::Integer(line, m_appearIndex);
    else if (tag == "<TRIGGER_MODE>")
    {
        const std::string word = CEntityBlockValues::Word(line, "KEY");
        if (word == "KEY" || word == "SEE") m_triggerMode = word == "SEE" ? TRIGGER_SEE : TRIGGER_KEY;
        else CTagBlock::Print("Warning! <TRIGGER_MODE> expects KEY or SEE, found \"" + word + "\"; using KEY");
    }
}

void CAnimatedEntity::Build(osg::Node* model)
{
    assert(model && "Build: needs the model to animate");
    if (!model || m_controller->Collect(model) == 0)
    {
        CTagBlock::Print("Warning! <ANI_CONTROL> expects a model with keyframed animation (animation paths), found "
                         "none; nothing will move");
        return;
    }
    if (m_framesPerSegment > 0) m_controller->SplitByFrames(m_framesPerSegment, m_framesPerSecond);
    m_controller->SetLoopMode(m_loopMode);
    m_controller->SelectSegment(m_triggerMode == TRIGGER_SEE && m_appearIndex >= 0 ? m_appearIndex : 0);
    m_controller->Restart();
}

void CAnimatedEntity::MarkerCameBack()
{
    if (m_appearIndex == -1) m_controller->NextSegment();
    else
    {
        m_controller->SelectSegment(m_appearIndex);
        m_controller->QueueSegment(m_idleIndex);
        m_controller->SetLoopMode(osg::AnimationPath::LOOP);
    }
    m_controller->Restart();
}

void CAnimatedEntity::MarkerLostLong()
{
    // With appear -1 the current segment stays, so the next return advances from it.
    if (m_appearIndex != -1) m_controller->SelectSegment(m_appearIndex);
    m_controller->Restart();
}

void CAnimatedEntity::update(float seconds, const MarkerState& state)
{
    if (m_triggerMode == TRIGGER_SEE)
    {
        // Each event once: the marker's flags stay up for a few updates.
        const bool cameBack = (state.reappeared && !m_wasReappeared) || (state.appearedNow && m_wasLostLong);
        if (cameBack) MarkerCameBack();
        else if (state.lostLong && !m_wasLostLong) MarkerLostLong();
    }
    m_wasReappeared = state.reappeared;
    m_wasLostLong = state.lostLong;
}

void CAnimatedEntity::Trigger(std::vector<int> keys)
{
    if (m_triggerMode != TRIGGER_KEY) return;
    for (int key : keys)
    {
        if (key >= '0' && key <= '9')
        {
            m_controller->SelectSegment(key - '0');
            m_controller->Restart();
        }
        else if (key == 'p') m_controller->TogglePause();
    }
}

char* CAnimatedEntity::GetDescription()
{
    char* text = new char[256];
    std::memset(text, 0, 256);
    return text;
}
