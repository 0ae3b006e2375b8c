#pragma once
// The event animation controller: plays the keyframed animation of one model
// (the osg::AnimationPathCallback update callbacks that the model file puts
// on its animated nodes) in segments.
//
// Typical use (the animation control entity, the model group's
// <SPLIT_ANIMATION>, a HUD region's press and release animations):
//
//   osg::ref_ptr<CAnimationController> controller = new CAnimationController;
//   controller->Collect(model);              // one callback per animated node
//   controller->SplitByFrames(15, 30.0);     // segments of 15 frames at 30 fps
//                                            // (or SplitIntoSegments(n): n equal parts)
//   controller->SelectSegment(1);            // what to play
//   controller->SetLoopMode(osg::AnimationPath::NO_LOOPING);  // play mode 2: once
//   controller->Start();                     // from its beginning
//
// Segments. After Collect every callback has one segment, its whole path.
// Splitting cuts each callback's path (CAnimationPathCutter); nodes whose
// paths differ in length get different segment counts. The controller's
// current segment is one index for the whole model:
//   SelectSegment(n)  every callback that has a segment n plays it, the
//                     others play nothing (their nodes stay where they are);
//                     a pending switch is dropped. The path continues from its
//                     current time: call Restart (or Start) to play it from 0.
//   NextSegment()     the current index + 1, back to 0 after the model's last
//                     segment (the largest count among the callbacks).
//   QueueSegment(n)   every callback plays its current path to its end, then
//                     switches to its segment n (none when it has no such
//                     segment) at the controller's speed and loop mode.
// Loop modes are the scene graph's: SWING (0, forwards and backwards), LOOP (1),
// NO_LOOPING (2, play once and hold the last pose). SetLoopMode sets every
// segment of every callback and every pending switch.
// TogglePause pauses or resumes every callback where it is; Restart starts
// every callback's current path from its beginning; Start also resumes.
// SetTimeMultiplier is the playback speed of every callback (1 = as keyed).
//
// Reference counted: the animation control entity, the model object and HUD
// regions hold their controller with osg::ref_ptr. The controller keeps
// references to its callbacks and segments; the model's nodes keep their
// callbacks. Nothing here allocates after the segments are made.

#include "CEventAnimationCallBack.h"

#include <osg/AnimationPath>
#include <osg/Node>
#include <osg/Referenced>
#include <osg/ref_ptr>

#include <vector>

class CAnimationController : public osg::Referenced
{
public:
    using LoopMode = osg::AnimationPath::LoopMode;
    /// The frame rate segments are counted at when none is given.
    static constexpr double kDefaultFramesPerSecond = 30.0;

    CAnimationController() = default;
    CAnimationController(const CAnimationController&) = delete;
    CAnimationController& operator=(const CAnimationController&) = delete;

    /// Finds every animation path callback below `model` (update callbacks
    /// and their nested callbacks, each once) and puts a
    /// CEventAnimationCallBack in its place, or takes it as it is when it is
    /// one already (a model shared by two controllers). Returns how many
    /// callbacks the controller now has. Collecting again adds new ones only.
    int Collect(osg::Node* model);

    /// Cuts every callback's whole path into segments of `framesPerSegment`
    /// frames at `framesPerSecond` (both positive), applies the loop mode and
    /// selects segment 0.
    void SplitByFrames(int framesPerSegment, double framesPerSecond = kDefaultFramesPerSecond);
    /// Cuts every callback's whole path into `count` equal segments (positive).
    void SplitIntoSegments(int count);

    void SelectSegment(int n);
    void NextSegment();
    void QueueSegment(int n);
    void SetLoopMode(LoopMode mode);
    LoopMode GetLoopMode() const { return m_loopMode; }
    void SetTimeMultiplier(double multiplier);
    double GetTimeMultiplier() const { return m_timeMultiplier; }
    void TogglePause();
    void SetPaused(bool paused);
    bool IsPaused() const { return m_paused; }
    void Restart();
    void Start();

    int GetCurrentSegment() const { return m_current; }
    int GetCallbackCount() const { return int(m_callbacks.size()); }
    /// The largest segment count among the callbacks (0 without callbacks).
    int GetSegmentCount() const;
    int GetSegmentCount(int callback) const;
    CEventAnimationCallBack* GetCallback(int callback);
    osg::AnimationPath* GetSegment(int callback, int segment);

protected:
    ~CAnimationController() override = default;

private:
    struct Animated
    {
        osg::ref_ptr<CEventAnimationCallBack> callback;
        osg::ref_ptr<osg::AnimationPath> whole;  // the path as the model file has it
        std::vector<osg::ref_ptr<osg::AnimationPath>> segments;
    };

    void Adopt(osg::Callback* callback, osg::Node& node, osg::Callback* previous);
    osg::AnimationPath* SegmentOf(Animated& animated, int n);

    std::vector<Animated> m_callbacks;
    int m_current = 0;
    LoopMode m_loopMode = osg::AnimationPath::LOOP;
    double m_timeMultiplier = 1.0;
    bool m_paused = false;
};
