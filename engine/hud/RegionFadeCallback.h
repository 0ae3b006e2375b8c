#pragma once
// Fades a HUD page in or out: once per frame it moves a transparency value
// from "from" to "to" over a duration and gives it to every region of the
// page. A downward fade hides the page's node when it arrives.
//
// It is the HUD camera's update callback; the page node and the regions
// belong to the region manager and must outlive the fade (they live as
// long as the HUD). Starting a fade replaces the one running.

#include <osg/Node>
#include <osg/NodeCallback>
#include <osg/observer_ptr>

#include <vector>

class CHudRegion;

class RegionFadeCallback : public osg::NodeCallback
{
public:
    enum State
    {
        Idle = 0,
        Upward = 1,
        Downward = 2
    };

    /// Starts a fade of `regions` and `node` now (scene-graph timer) and
    /// shows the node.
    void StartFade(const std::vector<CHudRegion*>& regions, osg::Node* node, double from, double to,
                   double duration);
    /// The same with the start time given (seconds of the scene-graph timer).
    void StartFadeAt(const std::vector<CHudRegion*>& regions, osg::Node* node, double from, double to,
                     double duration, double startTime);
    /// One step at `now` seconds; what the per-frame callback does.
    void Step(double now);

    void operator()(osg::Node* node, osg::NodeVisitor* nv) override;

    int GetState() const { return m_state; }
    double GetValue() const { return m_value; }

private:
    std::vector<CHudRegion*> m_regions;  // not owned
    osg::observer_ptr<osg::Node> m_node;
    int m_state = Idle;
    double m_from = 0.0, m_to = 0.0, m_range = 0.0, m_duration = 0.0;
    double m_start = 0.0;
    double m_value = 0.0;
};
