#pragma once
// A particle trail that follows a transform node of a model (the model's own
// node, or one named inside it, such as a moving part of an animated model).
// Built from a <TRACE_PARTICLE> block inside a <MODEL> block, after the
// model's <FILE>:
//
//   <TRACE_PARTICLE>
//       <COUNT> 200                  particles made at build time (required)
//       <FILE> models/media/spark.osgt   model of each particle; default a sphere of radius 2
//       <NODE_NAME> Comet            transform followed; default the model node
//       <EMISSIVE> 1                 non-zero: additive blending (the trail glows)
//       <MODE> 0                     0: spawn direction from the movement seen by the camera
//       <MIN_LIFE> 0.5  <MAX_LIFE> 1.0      seconds
//       <MIN_VEL> 1  <MAX_VEL> 10           speed along the trail
//       <MIN_SCALE> 0.1  <MAX_SCALE> 1.0    size of each particle's model
//       <START_COLOUR> 1 1 1  <END_COLOUR> 0 0 0  <COLOUR_VARY> 0.05
//       <MIN_OFFSET> 1  <MAX_OFFSET> 2      spawn offset from the node on each axis
//       <MAX_SPAWN_PER_FRAME> 2
//       <GRAVITY> 0 -2 0  <WIND> 0 0 0     added to the velocity every update
//       <DISTANCE_THRESHOLD> 0       spawn only when the node moved at least this far
//   </TRACE_PARTICLE>
//
// (one tag per line). Every update the particles age, move and fade from
// their start to their end colour; while the marker is visible and the
// node has moved at least the threshold, up to <MAX_SPAWN_PER_FRAME>
// inactive particles start at the node with random values in the ranges
// given (CEntityRandom). Particles live in the camera's frame (under the
// content object's second node), so a trail stays where it was drawn while
// the marker moves on.
//
// Bad blocks make no trail and write one log line: no positive <COUNT>, a
// followed node that is not a transform, a <NODE_NAME> the model does not
// have. GetDescription is an empty text and Save writes nothing: the content
// object writes the block back from its lines.
//
// Owns its particles and their nodes; update allocates nothing.

#include "CEntityRandom.h"
#include "CMarkerEntity.h"
#include "CTagBlock.h"
#include "TraceParticle.h"
#include "TraceParticleSettings.h"

#include <osg/MatrixTransform>
#include <osg/Node>
#include <osg/ref_ptr>

#include <string>
#include <vector>

class CTraceParticleEntity : public CMarkerEntity
{
public:
    /// Builds the trail of a <TRACE_PARTICLE> block (its lines from the
    /// opening to the closing tag) on `model`, a model node under the content
    /// object's root node `objectRoot`. Null (with a log line) when the block
    /// makes no trail.
    static CTraceParticleEntity* FromBlock(const std::vector<CTagBlock::KeptLine>& block, osg::Node* model,
                                           osg::Node* objectRoot);
    /// Builds a trail from settings already read; null (with a log line) as above.
    static CTraceParticleEntity* Make(const TraceParticleSettings& settings, osg::Node* model, osg::Node* objectRoot);
    /// The settings a block gives (warnings for values that are not numbers).
    static TraceParticleSettings ReadSettings(const std::vector<CTagBlock::KeptLine>& block);

    void update(float seconds, const MarkerState& state) override;
    void Trigger(std::vector<int> keys) override {}
    void CleanUp() override {}
    char* GetDescription() override;
    void Save(COsgSettings& writer) override {}

    /// The parent of every particle node; holds the blend state.
    osg::MatrixTransform* GetNode() { return m_root.get(); }
    const TraceParticleSettings& GetSettings() const { return m_settings; }
    const std::vector<TraceParticle>& GetParticles() const { return m_particles; }
    int ActiveCount() const;
    CEntityRandom& GetRandom() { return m_random; }
    const osg::Vec3f& GetEmitterPosition() const { return m_emitter; }
    const osg::Vec3f& GetTrailDirection() const { return m_direction; }
    float GetDistanceMoved() const { return m_distanceMoved; }

private:
    CTraceParticleEntity(const TraceParticleSettings& settings, std::vector<osg::Node*> path);
    void BuildParticles(osg::Node* model);
    /// The followed node's origin in the marker's frame.
    osg::Vec3f NodeInMarker() const;
    void Spawn(const osg::Vec3f& emitter);
    TraceParticle::Start NewParticle(const osg::Vec3f& emitter);

    TraceParticleSettings m_settings;
    std::vector<osg::Node*> m_path;  // from the object's root down to the followed node (the scene owns them)
    osg::ref_ptr<osg::Node> m_followed;
    osg::ref_ptr<osg::MatrixTransform> m_root;
    std::vector<TraceParticle> m_particles;
    CEntityRandom m_random;
    osg::Vec3f m_emitter, m_lastEmitter, m_direction;
    float m_distanceMoved = 0.f;
    bool m_visible = false;
    bool m_started = false;  // the last emitter position is known
};
