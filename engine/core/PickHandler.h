#pragma once
// Turns mouse presses, clicks (a release where the press was) and drags in
// the window into input events for the 3D HUD, naming the HUD node under the
// pointer ("NONE" for empty space).

#include <osgGA/GUIEventHandler>
#include <osgUtil/SceneView>

#include <string>

class PickHandler : public osgGA::GUIEventHandler
{
public:
    explicit PickHandler(osgUtil::SceneView* sceneView);

    bool handle(const osgGA::GUIEventAdapter& ea, osgGA::GUIActionAdapter& aa) override;

    /// Name of the HUD node at a window position in pixels, or "NONE".
    std::string PickName(float windowX, float windowY) const;

private:
    void Pick(const osgGA::GUIEventAdapter& ea, int mode);
    void Remember(const osgGA::GUIEventAdapter& ea);

    osgUtil::SceneView* m_sceneView;  // not owned; the engine keeps it alive
    float m_lastX = 0.f, m_lastY = 0.f;
};
