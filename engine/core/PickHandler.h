#pragma once
// Turns mouse presses, clicks and drags in the window into input events for
// the 3D HUD.

#include <osgGA/GUIEventHandler>
#include <osgUtil/SceneView>

class PickHandler : public osgGA::GUIEventHandler
{
public:
    explicit PickHandler(osgUtil::SceneView* sceneView);

    bool handle(const osgGA::GUIEventAdapter& ea, osgGA::GUIActionAdapter& aa) override;

private:
    osgUtil::SceneView* m_sceneView;  // not owned; the engine keeps it alive
    float m_lastX = 0.f, m_lastY = 0.f;
};
