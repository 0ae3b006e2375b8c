#pragma once
// Soap bubbles rising above a marker, from a <BUBBLES> line of an entity
// description:
//
//   <BUBBLES> 0 0 20          the point (marker's frame) the bubbles rise from
//
// Twenty bubbles (BubbleBlob) rise from that point while the marker is seen,
// each for 10 to 12 seconds, and are born again there; while the marker is
// lost no new ones start and those whose time is up vanish. The first ones
// start one after another over the first seconds the marker is seen.
//
// Drawn by the program of "shaders/bubble.vert" and "shaders/bubble.frag" on
// the node named "Bubble": a soap film coloured from the rainbow texture
// "shaders/textures/rainbow.jpg" by the film's angle to the eye, over the
// live camera picture (the texture store's shared scene texture) bent
// through the bubble, with reflections of the studio environment map and a
// highlight. Uniforms:
//   "BlobbyCount" int, "BlobbyPos[0]" vec4[20] (each bubble's centre in the
//   camera's frame and radius; 0 radius when out of play), "LocalBlobbyPos"
//   vec4 (the bubble being drawn, on each bubble's node), "BailOut" and
//   "RadiusOfInfluence" (neighbours closer than the radius of influence pull
//   a bubble's surface towards them, by at most the bail-out distance),
//   "RainbowMap" 0, "RefractionMap" 1, "EnvMap" 2, "BaseColor", "MixRatio"
//   (how much of the film colour covers the picture behind), "FrameWidth" and
//   "FrameHeight" (the camera picture's size), "LightPos" (eye space).
//
// The node goes under the content object's second node (the camera's frame).
// GetDescription gives "BUBBLES %f %f %f"; Save writes "<BUBBLES> %f %f %f".
// Owns its bubbles and nodes; update allocates nothing.

#include "BubbleBlob.h"
#include "CEntityRandom.h"
#include "CMarkerEntity.h"

#include <osg/Geode>
#include <osg/Group>
#include <osg/Texture>
#include <osg/Uniform>
#include <osg/Vec3f>
#include <osg/ref_ptr>

#include <cstdint>
#include <vector>

class CBubbleEntity : public CMarkerEntity
{
public:
    static constexpr int kBlobCount = 20;
    /// Radius of a bubble of size 1 (millimetres for the bundled markers).
    static constexpr float kRadius = 12.f;
    /// The first bubbles start within this many seconds of each other.
    static constexpr float kFirstStarts = 10.f;

    /// Bubbles rising from `position` (marker's frame), random from the time.
    explicit CBubbleEntity(const osg::Vec3f& position);
    /// The same with a fixed random seed.
    CBubbleEntity(const osg::Vec3f& position, uint32_t seed);

    void update(float seconds, const MarkerState& state) override;
    void Trigger(std::vector<int> keys) override {}
    void CleanUp() override {}
    char* GetDescription() override;
    void Save(COsgSettings& writer) override;

    /// The node named "Bubble", with the program, textures and uniforms.
    osg::Group* GetNode() { return m_node.get(); }
    const osg::Vec3f& GetPosition() const { return m_position; }
    /// The bubbles' origin in the camera's frame at the last update.
    const osg::Vec3f& GetOrigin() const { return m_origin; }
    const std::vector<BubbleBlob>& GetBlobs() const { return m_blobs; }
    osg::Uniform* GetBlobbyPositions() { return m_blobbyPos.get(); }

private:
    void Build();
    void BuildShading();
    void StepBlob(BubbleBlob& blob, float seconds, bool visible);
    void PublishBlob(int index);

    osg::Vec3f m_position;
    osg::Vec3f m_origin;
    CEntityRandom m_random;
    std::vector<BubbleBlob> m_blobs;
    osg::ref_ptr<osg::Group> m_node;
    osg::ref_ptr<osg::Geode> m_bubble;  // the sphere every bubble's node shows
    osg::ref_ptr<osg::Uniform> m_blobbyPos;
    osg::ref_ptr<osg::Uniform> m_frameWidth, m_frameHeight;
    osg::ref_ptr<osg::Texture> m_picture;  // the live camera picture (the texture store's scene texture)
};
