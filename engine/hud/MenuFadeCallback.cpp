#include "MenuFadeCallback.h"

#include "CHudRegion.h"

#include <osg/Timer>

#include <cmath>

void MenuFadeCallback::StartFade(const std::vector<CHudRegion*>& regions, double from, double to, double duration)
{
    StartFadeAt(regions, from, to, duration, osg::Timer::instance()->time_s());
}

void MenuFadeCallback::StartFadeAt(const std::vector<CHudRegion*>& regions, double from, double to,
                                   double duration, double startTime)
{
    m_regions = regions;
    m_queued = false;
    m_queuedRegions.clear();
    m_from = from;
    m_to = to;
    m_value = from;
    m_duration = duration;
    m_start = startTime;
    m_state = from < to ? Upward : Downward;
    for (CHudRegion* region : m_regions)
    {
        region->SetVisible(true);
        region->SetTransparent(true, from);
    }
}

void MenuFadeCallback::QueueFade(const std::vector<CHudRegion*>& regions)
{
    m_queuedRegions = regions;
    m_queued = true;
}

void MenuFadeCallback::Step(double now)
{
    if (m_state == Idle) return;
    const double range = std::fabs(m_to - m_from);
    // A fade of no duration arrives at once.
    const double step = m_duration > 0.0 ? (now - m_start) / m_duration * range : range;
    bool arrived = false;
    if (m_state == Upward)
    {
        m_value = m_from + step;
        arrived = m_value >= m_to;
    }
    else
    {
        m_value = m_from - step;
        arrived = m_value <= m_to;
    }
    if (arrived) m_value = m_to;
    for (CHudRegion* region : m_regions) region->SetTransparent(true, m_value);
    if (arrived) Arrive(now);
}

void MenuFadeCallback::Arrive(double now)
{
    if (m_state == Downward)
        for (CHudRegion* region : m_regions) region->SetVisible(false);
    m_state = Idle;
    if (!m_queued) return;
    const std::vector<CHudRegion*> next = m_queuedRegions;
    StartFadeAt(next, m_to, m_from, m_duration, now);
}

void MenuFadeCallback::operator()(osg::Node* node, osg::NodeVisitor* nv)
{
    if (m_state != Idle) Step(osg::Timer::instance()->time_s());
    traverse(node, nv);
}
