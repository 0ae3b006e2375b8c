#pragma once
// An animation path callback that can switch to another path when its
// current one ends. The animation controller puts one on every animated node
// of a model in place of the node's own osg::AnimationPathCallback (keeping
// its path, pivot and timing) and drives it: which path it plays, its loop
// mode, pause and restart.
//
// Time: the callback runs in the update traversal and reads the frame's
// reference time (the engine's own clock, which advances a fixed step per
// frame with -FFMPEG), so animations follow the engine's frames; the engine
// leaves the simulation time at 0.
//
// Pending switch: SetPendingSwitch(path, multiplier, loop mode) arms a switch
// (state SWITCH_AT_END); in the first update whose animation time has reached
// the current path's last time the callback takes the pending path, starts it
// from its beginning with the pending multiplier and loop mode, and clears the
// pending state. A null pending path stops the node where it is.
//
// Reference counted; the node it is the update callback of holds it, the
// controller keeps a reference too. The update allocates nothing.

#include <osg/AnimationPath>

class CEventAnimationCallBack : public osg::AnimationPathCallback
{
public:
    enum SwitchState
    {
        SWITCH_NONE = 0,
        SWITCH_AT_END = 2
    };

    CEventAnimationCallBack();
    /// Takes over a callback of the model file: its path, pivot, inverse
    /// matrix flag, time offset and multiplier (not its running time).
    explicit CEventAnimationCallBack(const osg::AnimationPathCallback& original);

    /// Arms the switch at the end of the current path.
    void SetPendingSwitch(osg::AnimationPath* path, double timeMultiplier, osg::AnimationPath::LoopMode loopMode);
    void ClearPendingSwitch();
    int GetSwitchState() const { return m_switchState; }
    osg::AnimationPath* GetPendingPath() { return m_pendingPath.get(); }
    double GetPendingTimeMultiplier() const { return m_pendingMultiplier; }
    osg::AnimationPath::LoopMode GetPendingLoopMode() const { return m_pendingLoopMode; }
    /// Changes the loop mode a pending switch will apply.
    void SetPendingLoopMode(osg::AnimationPath::LoopMode loopMode) { m_pendingLoopMode = loopMode; }

    /// Starts the current path from its beginning at the next update (the
    /// pending switch stays armed).
    void Restart() { reset(); }
    /// True once the animation time has reached the current path's last
    /// time (false without a path or before the first update).
    bool ReachedEnd() const;

    /// One update at `time` seconds (what the update traversal does with the
    /// frame's reference time): switch if due, then move the node.
    void Advance(osg::Node& node, double time);

    void operator()(osg::Node* node, osg::NodeVisitor* visitor) override;

protected:
    ~CEventAnimationCallBack() override = default;

private:
    void TakePendingPath();

    osg::ref_ptr<osg::AnimationPath> m_pendingPath;
    double m_pendingMultiplier = 1.0;
    osg::AnimationPath::LoopMode m_pendingLoopMode = osg::AnimationPath::LOOP;
    int m_switchState = SWITCH_NONE;
};
