#include "CAnimationController.h"

#include "CAnimationPathCutter.h"

#include <osg/NodeVisitor>

#include <algorithm>
#include <cassert>
#include <functional>

namespace
{
// Visits every node once and hands each callback of its update chain to `take`.
class CallbackFinder : public osg::NodeVisitor
{
public:
    template <typename Take>
    explicit CallbackFinder(Take take) : osg::NodeVisitor(TRAVERSE_ALL_CHILDREN), m_take(take)
    {
    }
    void apply(osg::Node& node) override
    {
        osg::Callback* previous = nullptr;
        for (osg::Callback* callback = node.getUpdateCallback(); callback;)
        {
            osg::Callback* next = callback->getNestedCallback();
            m_take(callback, node, previous);
            // The callback may have been replaced; continue from what now stands there.
            previous = previous ? previous->getNestedCallback() : node.getUpdateCallback();
            callback = next;
        }
        traverse(node);
    }

private:
    std::function<void(osg::Callback*, osg::Node&, osg::Callback*)> m_take;
};
}

int CAnimationController::Collect(osg::Node* model)
{
    assert(model && "Collect: needs a model");
    if (!model) return GetCallbackCount();
    CallbackFinder finder([this](osg::Callback* callback, osg::Node& node, osg::Callback* previous) {
        Adopt(callback, node, previous);
    });
    model->accept(finder);
    return GetCallbackCount();
}

void CAnimationController::Adopt(osg::Callback* callback, osg::Node& node, osg::Callback* previous)
{
    osg::AnimationPathCallback* found = dynamic_cast<osg::AnimationPathCallback*>(callback);
    if (!found) return;
    for (const Animated& animated : m_callbacks)
        if (animated.callback.get() == found) return;  // a node reached twice
    osg::ref_ptr<CEventAnimationCallBack> event = dynamic_cast<CEventAnimationCallBack*>(found);
    if (!event.valid())
    {
        event = new CEventAnimationCallBack(*found);
        event->setNestedCallback(found->getNestedCallback());
        if (previous) previous->setNestedCallback(event.get());
        else node.setUpdateCallback(event.get());
    }
    Animated animated;
    animated.callback = event;
    animated.whole = event->getAnimationPath();
    if (animated.whole.valid())
    {
        animated.segments.push_back(animated.whole);
        animated.whole->setLoopMode(m_loopMode);
    }
    event->setTimeMultiplier(m_timeMultiplier);
    event->setPause(m_paused);
    m_callbacks.push_back(animated);
}

void CAnimationController::SplitByFrames(int framesPerSegment, double framesPerSecond)
{
    assert(framesPerSegment > 0 && "SplitByFrames: frames per segment must be positive");
    assert(framesPerSecond > 0.0 && "SplitByFrames: frames per second must be positive");
    if (framesPerSegment <= 0 || framesPerSecond <= 0.0) return;
    for (Animated& animated : m_callbacks)
        if (animated.whole.valid())
            animated.segments = CAnimationPathCutter::ByFrames(*animated.whole, framesPerSegment, framesPerSecond);
    SetLoopMode(m_loopMode);
    SelectSegment(0);
}

void CAnimationController::SplitIntoSegments(int count)
{
    assert(count > 0 && "SplitIntoSegments: the segment count must be positive");
    if (count <= 0) return;
    for (Animated& animated : m_callbacks)
        if (animated.whole.valid()) animated.segments = CAnimationPathCutter::IntoCount(*animated.whole, count);
    SetLoopMode(m_loopMode);
    SelectSegment(0);
}

osg::AnimationPath* CAnimationController::SegmentOf(Animated& animated, int n)
{
    if (n < 0 || n >= int(animated.segments.size())) return nullptr;
    return animated.segments[size_t(n)].get();
}

void CAnimationController::SelectSegment(int n)
{
    m_current = n;
    for (Animated& animated : m_callbacks)
    {
        animated.callback->ClearPendingSwitch();
        animated.callback->setAnimationPath(SegmentOf(animated, n));
    }
}

void CAnimationController::NextSegment()
{
    const int count = GetSegmentCount();
    SelectSegment(count > 0 && m_current + 1 < count && m_current >= 0 ? m_current + 1 : 0);
}

void CAnimationController::QueueSegment(int n)
{
    for (Animated& animated : m_callbacks)
        animated.callback->SetPendingSwitch(SegmentOf(animated, n), m_timeMultiplier, m_loopMode);
    m_current = n;
}

void CAnimationController::SetLoopMode(LoopMode mode)
{
    m_loopMode = mode;
    for (Animated& animated : m_callbacks)
    {
        for (osg::ref_ptr<osg::AnimationPath>& segment : animated.segments) segment->setLoopMode(mode);
        animated.callback->SetPendingLoopMode(mode);
    }
}

void CAnimationController::SetTimeMultiplier(double multiplier)
{
    m_timeMultiplier = multiplier;
    for (Animated& animated : m_callbacks) animated.callback->setTimeMultiplier(multiplier);
}

void CAnimationController::SetPaused(bool paused)
{
    m_paused = paused;
    for (Animated& animated : m_callbacks) animated.callback->setPause(paused);
}

void CAnimationController::TogglePause()
{
    SetPaused(!m_paused);
}

void CAnimationController::Restart()
{
    for (Animated& animated : m_callbacks) animated.callback->Restart();
}

void CAnimationController::Start()
{
    SetPaused(false);
    Restart();
}

int CAnimationController::GetSegmentCount() const
{
    size_t count = 0;
    for (const Animated& animated : m_callbacks) count = std::max(count, animated.segments.size());
    return int(count);
}

int CAnimationController::GetSegmentCount(int callback) const
{
    assert(callback >= 0 && callback < GetCallbackCount() && "GetSegmentCount: no such callback");
    if (callback < 0 || callback >= GetCallbackCount()) return 0;
    return int(m_callbacks[size_t(callback)].segments.size());
}

CEventAnimationCallBack* CAnimationController::GetCallback(int callback)
{
    if (callback < 0 || callback >= GetCallbackCount()) return nullptr;
    return m_callbacks[size_t(callback)].callback.get();
}

osg::AnimationPath* CAnimationController::GetSegment(int callback, int segment)
{
    if (callback < 0 || callback >= GetCallbackCount()) return nullptr;
    return SegmentOf(m_callbacks[size_t(callback)], segment);
}
