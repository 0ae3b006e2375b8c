#include "RegionFadeCallback.h"

#include "CHudRegion.h"

#include <osg/Timer>

void RegionFadeCallback::StartFade(const std::vector<CHudRegion*>& regions, osg::Node* node, double from, double to,
                                   double duration)
{
    StartFadeAt(regions, node, from, to, duration, osg::Timer::instance()->time_s());
}

void RegionFadeCallback::StartFadeAt(const std::vector<CHudRegion*>& regions, osg::Node* node, double from,
                                     double to, double duration, double startTime)
{
    m_regions = regions;  // reuses the vector's storage from fade to fade
    m_node = node;
    m_from = from;
    m_to = to;
    m_value = from;
    m_duration = duration;
    m_start = startTime;
    if (node) node->setNodeMask(~0u);
    if (from < to)
    {
        m_state = Upward;
        m_range = to - from;
    }
    else
    {
        m_state = Downward;
        m_range = from - to;
    }
}

void RegionFadeCallback::Step(double now)
{
    if (m_state == Idle) return;
    const double elapsed = now - m_start;
    // A fade of no duration arrives at once.
    const double step = m_duration > 0.0 ? elapsed / m_duration * m_range : m_range;
    if (m_state == Upward)
    {
        m_value = m_from + step;
        if (m_value >= m_to)
        {
            m_value = m_to;
            m_state = Idle;
        }
    }
    else
    {
        m_value = m_from - step;
        if (m_value <= m_to)
        {
            m_value = m_to;
            osg::ref_ptr<osg::Node> node;
            if (m_node.lock(node)) node->setNodeMask(0u);
            m_state = Idle;
        }
    }
    for (CHudRegion* region : m_regions) region->SetTransparent(true, m_value);
}

void RegionFadeCallback::operator()(osg::Node* node, osg::NodeVisitor* nv)
{
    if (m_state != Idle) Step(osg::Timer::instance()->time_s());
    traverse(node, nv);
}
