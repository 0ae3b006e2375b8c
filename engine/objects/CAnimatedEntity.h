#pragma once
// The animation control of a model: plays the model's keyframed animation in
// segments, chosen by keys or by the marker coming into view. Built from an
// <ANI_CONTROL> block inside a <MODEL> block, after the model's <FILE>:
//
//   <ANI_CONTROL>
//       <TRANSPORT_MODE> LOOP     PLAY (once) | LOOP | SWING; default LOOP
//       <FPA> 30                  frames per segment; default: the whole path is one segment
//       <FPS> 30                  frames per second the frames are counted at; default 30
//       <APPEAR_INDEX> 0          segment played when the marker comes back; -1: the next one
//       <IDLE_INDEX> 1            segment looped after the appear segment
//       <TRIGGER_MODE> SEE        KEY (digits select, "p" pauses) | SEE; default KEY
//   </ANI_CONTROL>
//
// "SEE": when the marker comes back after a long absence (4 s or more, or at
// its first sighting, as markers start out lost long), the appear segment
// plays once and the idle segment loops after it; with appear -1 the next
// segment plays instead, wrapping to 0. When the marker has been lost long,
// the appear segment is made ready from its beginning.
// "KEY": a digit key selects that segment and starts it from its beginning
// (nodes without such a segment stand still); "p" pauses and resumes.
//
// The entity owns its controller (shared with nobody but the model's nodes,
// which hold their callbacks). GetDescription is an empty text and Save
// writes nothing: the content object writes the block back from its lines.
// update and Trigger allocate nothing.

#include "CAnimationController.h"
#include "CMarkerEntity.h"
#include "CTagBlock.h"

#include <osg/Node>
#include <osg/ref_ptr>

#include <string>
#include <vector>

class CAnimatedEntity : public CMarkerEntity
{
public:
    enum TriggerMode
    {
        TRIGGER_KEY = 0,  // "KEY"
        TRIGGER_SEE = 1   // "SEE"
    };

    CAnimatedEntity();

    /// Builds the control of `model` from an <ANI_CONTROL> block (its lines
    /// from the opening to the closing tag). Never null; a model without
    /// keyframed animation gets a control that does nothing (with a warning).
    static CAnimatedEntity* FromBlock(const std::vector<CTagBlock::KeptLine>& block, osg::Node* model);

    void SetTransportMode(osg::AnimationPath::LoopMode mode) { m_loopMode = mode; }
    void SetFramesPerSegment(int frames) { m_framesPerSegment = frames; }
    void SetFramesPerSecond(double fps) { m_framesPerSecond = fps; }
    void SetAppearIndex(int index) { m_appearIndex = index; }
    void SetIdleIndex(int index) { m_idleIndex = index; }
    void SetTriggerMode(TriggerMode mode) { m_triggerMode = mode; }
    /// Collects and cuts the model's animation and starts it (see the block above).
    void Build(osg::Node* model);

    void update(float seconds, const MarkerState& state) override;
    void Trigger(std::vector<int> keys) override;
    void CleanUp() override {}
    char* GetDescription() override;
    void Save(COsgSettings& writer) override {}

    CAnimationController* GetController() { return m_controller.get(); }
    int GetTriggerMode() const { return m_triggerMode; }
    int GetAppearIndex() const { return m_appearIndex; }
    int GetIdleIndex() const { return m_idleIndex; }
    int GetFramesPerSegment() const { return m_framesPerSegment; }
    double GetFramesPerSecond() const { return m_framesPerSecond; }
    osg::AnimationPath::LoopMode GetTransportMode() const { return m_loopMode; }

private:
    void ReadLine(const std::vector<std::string>& line);
    void MarkerCameBack();
    void MarkerLostLong();

    osg::ref_ptr<CAnimationController> m_controller;
    int m_triggerMode = TRIGGER_KEY;
    int m_appearIndex = 0;
    int m_idleIndex = 0;
    int m_framesPerSegment = 0;  // 0: the whole path is one segment
    double m_framesPerSecond = CAnimationController::kDefaultFramesPerSecond;
    osg::AnimationPath::LoopMode m_loopMode = osg::AnimationPath::LOOP;
    bool m_wasReappeared = false;
    bool m_wasLostLong = true;  // markers start out lost long
};
