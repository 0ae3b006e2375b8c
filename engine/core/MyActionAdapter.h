#pragma once
// The action adapter handed to event handlers. The engine draws every frame
// anyway, so redraw, continuous-update and pointer-warp requests do nothing.

#include <osgGA/GUIActionAdapter>

class MyActionAdapter : public osgGA::GUIActionAdapter
{
public:
    void requestRedraw() override {}
    void requestContinuousUpdate(bool = true) override {}
    void requestWarpPointer(float, float) override {}
};
