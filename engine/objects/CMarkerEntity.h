#pragma once
// Base of every entity of a content object (sound, video, animated character,
// bubbles, particle trail, animation control). The content object owns its
// entities and calls them in the order of their lines: update every frame
// while bound to a marker, Trigger with the frame's keys, CleanUp once at
// shut-down, Save when the object is written back.

#include "MarkerState.h"

#include <vector>

class COsgSettings;

class CMarkerEntity
{
public:
    virtual ~CMarkerEntity() = default;

    /// `seconds` since the last frame; `state` is what the marker is doing.
    virtual void update(float seconds, const MarkerState& state) = 0;
    /// The key characters pressed this frame (a copy).
    virtual void Trigger(std::vector<int> keys) = 0;
    virtual void CleanUp() = 0;
    /// A newly allocated text of 256 characters describing the entity (for
    /// example "BUBBLES 1.000000 2.000000 3.000000"); the caller delete[]s it.
    virtual char* GetDescription() = 0;
    /// Writes the entity's own block at the writer's indentation.
    virtual void Save(COsgSettings& writer) = 0;
};
