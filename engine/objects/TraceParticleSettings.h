#pragma once
// What a <TRACE_PARTICLE> block sets, with the values a trail has when the
// block leaves a tag out. Lengths are in the marker's units (millimetres for
// the bundled markers), times in seconds, colours 0..1.

#include <osg/Vec3f>

#include <string>

struct TraceParticleSettings
{
    int mode = 0;                  // <MODE>: 0 the emitter moves with the marker; else only with the model
    float minLife = 0.5f;          // <MIN_LIFE>
    float maxLife = 1.0f;          // <MAX_LIFE>
    float minSpeed = 1.0f;         // <MIN_VEL>
    float maxSpeed = 10.0f;        // <MAX_VEL>
    float minScale = 0.1f;         // <MIN_SCALE>
    float maxScale = 1.0f;         // <MAX_SCALE>
    osg::Vec3f startColour{1.f, 1.f, 1.f};  // <START_COLOUR>
    osg::Vec3f endColour{0.f, 0.f, 0.f};    // <END_COLOUR>
    float colourVariation = 0.05f;  // <COLOUR_VARY>
    float minOffset = 1.0f;         // <MIN_OFFSET>
    float maxOffset = 2.0f;         // <MAX_OFFSET>
    int maxSpawnPerFrame = 2;       // <MAX_SPAWN_PER_FRAME>
    osg::Vec3f gravity{0.f, -2.0f, 0.f};  // <GRAVITY>
    osg::Vec3f wind{0.f, 0.f, 0.f};       // <WIND>
    float distanceThreshold = 0.f;  // <DISTANCE_THRESHOLD>
    int count = 0;                  // <COUNT>: required, positive
    std::string file;               // <FILE>: the model of each particle
    std::string nodeName;           // <NODE_NAME>: the transform followed; empty: the model itself
    bool emissive = false;          // <EMISSIVE>: non-zero adds the particles' light to the picture
};
