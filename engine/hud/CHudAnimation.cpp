#include "CHudAnimation.h"

#include <osg/NodeVisitor>

#include <cmath>

const double CHudAnimation::kFramesPerSecond = 30.0;

namespace
{
// Finds the animation path callbacks among the update callbacks of a model.
class FindAnimationPaths : public osg::NodeVisitor
{
public:
    FindAnimationPaths() : osg::NodeVisitor(osg::NodeVisitor::TRAVERSE_ALL_CHILDREN) {}
    void apply(osg::Node& node) override
    {
        for (osg::Callback* cb = node.getUpdateCallback(); cb; cb = cb->getNestedCallback())
            if (auto* path = dynamic_cast<osg::AnimationPathCallback*>(cb))
                if (path->getAnimationPath()) found.push_back(path);
        traverse(node);
    }
    std::vector<osg::AnimationPathCallback*> found;
};
}

std::vector<osg::ref_ptr<osg::AnimationPath>> CHudAnimation::Cut(const osg::AnimationPath& path, int segments)
{
    std::vector<osg::ref_ptr<osg::AnimationPath>> parts;
    if (segments < 1 || path.empty()) return parts;
    const double first = path.getFirstTime();
    const double frames = std::floor((path.getLastTime() - first) * kFramesPerSecond + 0.5);
    const double length = std::floor(frames / segments) / kFramesPerSecond;  // seconds per segment
    for (int i = 0; i < segments; ++i)
    {
        const double start = first + i * length, end = start + length;
        osg::ref_ptr<osg::AnimationPath> part = new osg::AnimationPath;
        osg::AnimationPath::ControlPoint point;
        path.getInterpolatedControlPoint(start, point);
        part->insert(0.0, point);
        for (const auto& entry : path.getTimeControlPointMap())
            if (entry.first > start && entry.first < end) part->insert(entry.first - start, entry.second);
        path.getInterpolatedControlPoint(end, point);
        part->insert(length, point);
        part->setLoopMode(osg::AnimationPath::NO_LOOPING);
        parts.push_back(part);
    }
    return parts;
}

std::unique_ptr<CHudAnimation> CHudAnimation::Attach(osg::Node* model, int segments)
{
    if (!model || segments < 1) return nullptr;
    FindAnimationPaths finder;
    model->accept(finder);
    if (finder.found.empty()) return nullptr;
    std::unique_ptr<CHudAnimation> animation(new CHudAnimation);
    animation->m_segmentCount = segments;
    for (osg::AnimationPathCallback* callback : finder.found)
        animation->m_nodes.push_back(AnimatedNode{callback, Cut(*callback->getAnimationPath(), segments)});
    return animation;
}

bool CHudAnimation::SelectSegment(int segment)
{
    m_current = segment;
    bool any = false;
    for (AnimatedNode& node : m_nodes)
    {
        const bool has = segment >= 0 && segment < static_cast<int>(node.segments.size());
        // A node without that segment keeps still at its first pose.
        node.callback->setAnimationPath(has ? node.segments[segment].get() : nullptr);
        any = any || has;
    }
    return any;
}

void CHudAnimation::SetPlayMode(int mode)
{
    const auto loop = static_cast<osg::AnimationPath::LoopMode>(mode);
    for (AnimatedNode& node : m_nodes)
        for (osg::ref_ptr<osg::AnimationPath>& part : node.segments) part->setLoopMode(loop);
}

void CHudAnimation::Start()
{
    for (AnimatedNode& node : m_nodes)
    {
        node.callback->setPause(false);
        node.callback->reset();
    }
}

const osg::AnimationPath* CHudAnimation::GetCurrentPath(size_t node) const
{
    return node < m_nodes.size() ? m_nodes[node].callback->getAnimationPath() : nullptr;
}
