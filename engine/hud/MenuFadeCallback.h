#pragma once
// Fades the buttons of an object menu page: like the page fade of the region
// manager, but it shows the regions when a fade starts and hides them when a
// downward fade arrives, and it can hold a second fade that starts when the
// first one ends. A menu switch uses that: the old page goes, then the new
// one comes, each over the fade's duration.
//
// It is the update callback of the root menu's node. The regions belong to
// the menus and live as long as the HUD; the callback keeps pointers only.

#include <osg/NodeCallback>

#include <vector>

class CHudRegion;

class MenuFadeCallback : public osg::NodeCallback
{
public:
    enum State
    {
        Idle = 0,
        Upward = 1,
        Downward = 2
    };

    /// Starts a fade of `regions` now (scene-graph timer) and shows them;
    /// a queued fade is dropped.
    void StartFade(const std::vector<CHudRegion*>& regions, double from, double to, double duration);
    void StartFadeAt(const std::vector<CHudRegion*>& regions, double from, double to, double duration,
                     double startTime);
    /// After the running fade ends, `regions` fade with the running fade's
    /// from and to exchanged over the same duration.
    void QueueFade(const std::vector<CHudRegion*>& regions);
    bool HasQueuedFade() const { return m_queued; }
    /// One step at `now` seconds; what the per-frame callback does.
    void Step(double now);

    void operator()(osg::Node* node, osg::NodeVisitor* nv) override;

    int GetState() const { return m_state; }
    double GetValue() const { return m_value; }
    const std::vector<CHudRegion*>& GetRegions() const { return m_regions; }

private:
    void Arrive(double now);

    std::vector<CHudRegion*> m_regions;  // not owned
    std::vector<CHudRegion*> m_queuedRegions;
    bool m_queued = false;
    int m_state = Idle;
    double m_from = 0.0, m_to = 0.0, m_duration = 0.0, m_start = 0.0;
    double m_value = 0.0;
};
