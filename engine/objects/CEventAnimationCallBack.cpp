#include "CEventAnimationCallBack.h"

#include <osg/FrameStamp>
#include <osg/NodeVisitor>

#include <cfloat>

CEventAnimationCallBack::CEventAnimationCallBack() = default;

CEventAnimationCallBack::CEventAnimationCallBack(const osg::AnimationPathCallback& original)
{
    _animationPath = original._animationPath;
    _pivotPoint = original._pivotPoint;
    _useInverseMatrix = original._useInverseMatrix;
    _timeOffset = original._timeOffset;
    _timeMultiplier = original._timeMultiplier;
    setName(original.getName());
}

void CEventAnimationCallBack::SetPendingSwitch(osg::AnimationPath* path, double timeMultiplier,
                                               osg::AnimationPath::LoopMode loopMode)
{
    m_pendingPath = path;
    m_pendingMultiplier = timeMultiplier;
    m_pendingLoopMode = loopMode;
    m_switchState = SWITCH_AT_END;
}

void CEventAnimationCallBack::ClearPendingSwitch()
{
    m_pendingPath = nullptr;
    m_switchState = SWITCH_NONE;
}

bool CEventAnimationCallBack::ReachedEnd() const
{
    if (!_animationPath.valid() || _animationPath->empty() || _firstTime == DBL_MAX) return false;
    return getAnimationTime() >= _animationPath->getLastTime();
}

void CEventAnimationCallBack::TakePendingPath()
{
    _animationPath = m_pendingPath;
    if (_animationPath.valid()) _animationPath->setLoopMode(m_pendingLoopMode);
    _timeMultiplier = m_pendingMultiplier;
    reset();
    ClearPendingSwitch();
}

void CEventAnimationCallBack::Advance(osg::Node& node, double time)
{
    _latestTime = time;
    if (_pause) return;
    if (m_switchState == SWITCH_AT_END && ReachedEnd()) TakePendingPath();
    if (!_animationPath.valid() || _animationPath->empty()) return;
    if (_firstTime == DBL_MAX)
    {
        _firstTime = time;
        _pauseTime = time;  // reset() leaves it unset; a pause before the next update measures from here
    }
    update(node);
}

void CEventAnimationCallBack::operator()(osg::Node* node, osg::NodeVisitor* visitor)
{
    if (node && visitor && visitor->getVisitorType() == osg::NodeVisitor::UPDATE_VISITOR && visitor->getFrameStamp())
        Advance(*node, visitor->getFrameStamp()->getReferenceTime());
    traverse(node, visitor);
}
