#pragma once
// One bubble of a bubble entity: it rises from the bubbles' origin, drifting,
// grows no larger than it was born, changes its drift once at half its life
// and is born again at the origin when its life is over (while the marker is
// seen). The entity (CBubbleEntity) owns its blobs and makes them all at
// once; Step and Rebirth allocate nothing.
//
// Lengths are the marker's units (millimetres), times seconds. The blob's
// node is a transform over the entity's bubble geometry: scale(size)
// followed by translate(position), in the camera's frame.

#include "CEntityRandom.h"

#include <osg/MatrixTransform>
#include <osg/Uniform>
#include <osg/Vec3f>
#include <osg/ref_ptr>

struct BubbleBlob
{
    /// Upward speed of every blob before its size scales it (units per second).
    static constexpr float kRise = 30.f;

    /// Moves an active blob `seconds` on (see above) and, once it is past
    /// half its life, gives it its one new drift.
    void Step(float seconds, CEntityRandom& random);
    /// Starts the blob over at `origin` (a random place within 1 unit of it,
    /// size in [0.2, 1), life in [10, 12) seconds, a new drift), shown.
    void Rebirth(const osg::Vec3f& origin, CEntityRandom& random);
    /// Out of play: inactive and hidden.
    void Deactivate();
    /// A new drift, each component uniform in [-5, 5).
    void NewDrift(CEntityRandom& random);
    /// Places the node at the blob's position and size.
    void PlaceNode();

    osg::Vec3f position;
    osg::Vec3f drift;
    bool redirected = false;
    float size = 0.f;
    float age = 0.f;
    float lifetime = 0.f;
    bool active = false;
    osg::ref_ptr<osg::MatrixTransform> node;
    osg::ref_ptr<osg::Uniform> local;  // "LocalBlobbyPos": the blob's centre and radius, for its shader
};
