// The particle trail's frame: where the followed node is, which way it went,
// the particles' ageing and the new particles.
#include "CTraceParticleEntity.h"

#include <osg/Transform>

osg::Vec3f CTraceParticleEntity::NodeInMarker() const
{
    osg::Matrixd toMarker;
    for (osg::Node* node : m_path)
        if (const osg::Transform* transform = node->asTransform()) transform->computeLocalToWorldMatrix(toMarker, nullptr);
    return toMarker.getTrans();
}

void CTraceParticleEntity::update(float seconds, const MarkerState& state)
{
    const osg::Vec3f inMarker = NodeInMarker();
    const osg::Vec3f seen = state.matrix ? osg::Vec3f(osg::Vec3d(inMarker) * *state.matrix) : inMarker;
    m_emitter = m_settings.mode == 0 ? seen : inMarker;
    if (!m_started) m_lastEmitter = m_emitter, m_started = true;
    m_direction = m_lastEmitter - m_emitter;
    m_distanceMoved = m_direction.length();
    if (m_distanceMoved > 0.f) m_direction /= m_distanceMoved;
    m_lastEmitter = m_emitter;
    m_visible = state.visible;

    for (TraceParticle& particle : m_particles) particle.Step(seconds, m_settings.wind, m_settings.gravity, seen);
    if (m_distanceMoved >= m_settings.distanceThreshold && m_visible) Spawn(seen);
}

void CTraceParticleEntity::Spawn(const osg::Vec3f& emitter)
{
    int spawned = 0;
    for (TraceParticle& particle : m_particles)
    {
        if (spawned >= m_settings.maxSpawnPerFrame) break;
        if (particle.active) continue;
        particle.Spawn(NewParticle(emitter));
        ++spawned;
    }
}

TraceParticle::Start CTraceParticleEntity::NewParticle(const osg::Vec3f& emitter)
{
    const TraceParticleSettings& s = m_settings;
    TraceParticle::Start start;
    const float speed = m_random.Between(s.minSpeed, s.maxSpeed);
    start.life = m_random.Between(s.minLife, s.maxLife);
    start.scale = m_random.Between(s.minScale, s.maxScale);
    for (int i = 0; i < 3; ++i) start.position[i] = emitter[i] + m_random.Between(s.minOffset, s.maxOffset);
    start.velocity = m_direction * speed;
    for (int i = 0; i < 3; ++i) start.velocity[i] += m_random.Signed();
    const float vary = s.colourVariation;
    for (int i = 0; i < 3; ++i) start.startColour[i] = s.startColour[i] + m_random.Between(-vary, vary);
    for (int i = 0; i < 3; ++i) start.endColour[i] = s.endColour[i] + m_random.Between(-vary, vary);
    return start;
}
