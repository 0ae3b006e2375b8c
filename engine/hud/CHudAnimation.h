#pragma once
// The press and release animations of a HUD model: every animation path
// found on the model's nodes is cut into equal segments (at 30 frames per
// second), and a region plays one segment at a time with three calls:
// SelectSegment, SetPlayMode(2) (play once), Start.
//
// Ownership: the region owns its CHudAnimation; the animation path
// callbacks stay on the model's nodes (reference counted by them), and the
// segment paths are held here.

#include <osg/AnimationPath>
#include <osg/Node>
#include <osg/ref_ptr>

#include <memory>
#include <vector>

class CHudAnimation
{
public:
    /// Play modes, as the scene graph's animation paths number them.
    enum PlayMode
    {
        Swing = 0,
        Loop = 1,
        PlayOnce = 2
    };
    static const double kFramesPerSecond;

    /// Collects the animation path callbacks below `model` and cuts each
    /// path into `segments` segments; null when there are none (or
    /// `segments` < 1).
    static std::unique_ptr<CHudAnimation> Attach(osg::Node* model, int segments);

    /// Every animated node takes its segment `segment`; nodes with fewer
    /// segments show no animation. False when no node has that segment.
    bool SelectSegment(int segment);
    /// Loop mode of every segment of every node.
    void SetPlayMode(int mode);
    /// Restarts the selected segment from its beginning.
    void Start();

    int GetSegmentCount() const { return m_segmentCount; }
    int GetCurrentSegment() const { return m_current; }
    size_t GetAnimatedNodeCount() const { return m_nodes.size(); }
    /// The path node `node` plays now (null when its segment does not exist).
    const osg::AnimationPath* GetCurrentPath(size_t node) const;

    /// `path` cut into `segments` equal parts of whole frames at
    /// kFramesPerSecond, each starting at time 0.
    static std::vector<osg::ref_ptr<osg::AnimationPath>> Cut(const osg::AnimationPath& path, int segments);

private:
    struct AnimatedNode
    {
        osg::ref_ptr<osg::AnimationPathCallback> callback;
        std::vector<osg::ref_ptr<osg::AnimationPath>> segments;
    };

    std::vector<AnimatedNode> m_nodes;
    int m_segmentCount = 0;
    int m_current = -1;
};
