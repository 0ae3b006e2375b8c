#pragma once
// What the 3D HUD's regions receive: a pick (press, click, drag) under the
// pointer, or an engine event such as a new selected marker.

#include <string>

struct CGUIEvent
{
    enum Kind
    {
        Press = 1,
        ClickRelease = 2,
        Drag = 3,
        NewMarkerSelected = 8,
        ObjectChanged = 9
    };

    std::string targetName = "NONE";  // picked node's name, "NONE", or the engine event's name
    int type = 0;
    float x = 0.f, y = 0.f;           // pointer, -1..1 across the window
    unsigned int buttonMask = 0;
    int key = 0;
    float value[4] = {0.f, 0.f, 0.f, 0.f};
};
