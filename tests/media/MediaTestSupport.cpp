#include "MediaTestSupport.h"

#include "EngineLog.h"
#include "TestFolder.h"

const MarkerState& MarkerScript::Seen(const osg::Matrixd& pose, bool reappeared)
{
    m_state.appearedNow = !m_state.visible;
    m_state.disappearedNow = false;
    m_state.visible = true;
    m_state.reappeared = reappeared;
    m_state.lostLong = false;
    m_previous = m_pose;
    m_pose = pose;
    m_state.matrix = &m_pose;
    m_state.previousMatrix = &m_previous;
    m_state.movement = osg::Vec3f(pose.getTrans() - m_previous.getTrans());
    return m_state;
}

const MarkerState& MarkerScript::Lost()
{
    m_state.disappearedNow = m_state.visible;
    m_state.appearedNow = false;
    m_state.visible = false;
    m_state.reappeared = false;
    m_state.movement = osg::Vec3f();
    return m_state;
}

std::vector<std::string> LoggedMessages()
{
    return LogMessages(TestFolder::ReadFile("Data/messageLog.txt"));
}

int CountLogged(const std::string& start)
{
    int count = 0;
    for (const std::string& line : LoggedMessages()) count += line.rfind(start, 0) == 0;
    return count;
}
