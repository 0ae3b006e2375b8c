#pragma once
// Update callback of the engine's scene group: tells the 3D HUD when the
// selected marker changes ("NEW_MARKER_SEL") or its object was replaced
// ("OBJ_CHANGE").

#include <osg/NodeCallback>
#include <osgUtil/SceneView>

#include <optional>
#include <string>

class CObjectManager;
class CHudRegionManager;
class CTrackedMarker;

class HudMarkerInputCallback : public osg::NodeCallback
{
public:
    HudMarkerInputCallback(CObjectManager* objectManager, CHudRegionManager* hudManager,
                           osgUtil::SceneView* sceneView);

    void operator()(osg::Node* node, osg::NodeVisitor* nv) override;

private:
    void Send(const char* name, int kind);

    CObjectManager* m_objectManager;   // not owned
    CHudRegionManager* m_hudManager;   // not owned
    osgUtil::SceneView* m_sceneView;   // not owned
    // The marker selected last frame, by name: a content reload replaces the
    // markers, so no pointer to one may be kept from frame to frame.
    std::optional<std::string> m_lastMarker;
    bool m_firstFrame = true;
    float m_values[2] = {0.f, 0.f};
};
