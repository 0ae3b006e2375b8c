#pragma once
// One particle of a particle trail: where it is, how it moves, how old it is
// and how it looks. The trail (CTraceParticleEntity) owns its particles and
// makes them all when it is built; a particle is switched on (Spawn) and off
// (when its age reaches its life) but never made or freed while the trail
// runs, and neither call allocates.
//
// Each particle has its own transform over the trail's particle model and
// its own material, so each can have its own place, size and colour.

#include <osg/Material>
#include <osg/MatrixTransform>
#include <osg/Vec3f>
#include <osg/ref_ptr>

struct TraceParticle
{
    /// Everything a new particle gets (the trail draws the random values).
    struct Start
    {
        osg::Vec3f position;
        osg::Vec3f velocity;
        float life = 1.f;   // seconds
        float scale = 1.f;
        osg::Vec3f startColour;
        osg::Vec3f endColour;
    };

    /// Makes the node (hidden) over `model` and the material.
    void Build(osg::Node* model);
    /// Active from now on, age 0, shown.
    void Spawn(const Start& start);
    /// Ages the particle by `seconds`; one that has reached its life goes
    /// out and waits hidden at `emitter`; one still alive is pushed by
    /// gravity + wind x scale (once per update), moved by velocity x seconds,
    /// and coloured from its start to its end colour over its life, fading out.
    void Step(float seconds, const osg::Vec3f& wind, const osg::Vec3f& gravity, const osg::Vec3f& emitter);

    /// The colour and alpha of a particle `age` seconds into its life.
    osg::Vec4f ColourAt(float age) const;

    osg::Vec3f position;
    osg::Vec3f velocity;
    bool active = false;
    float age = 0.f;
    float life = 1.f;
    float scale = 1.f;
    osg::Vec3f startColour;
    osg::Vec3f endColour;
    osg::Vec3f colourDirection;  // unit vector from the start to the end colour (zero when they are equal)
    float colourDistance = 0.f;
    osg::ref_ptr<osg::MatrixTransform> node;
    osg::ref_ptr<osg::Material> material;
};
