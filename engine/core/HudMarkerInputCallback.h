#pragma once
// Update callback of the engine's scene group: tells the 3D HUD when the
// selected marker or its object changes.

#include <osg/NodeCallback>
#include <osgUtil/SceneView>

class CObjectManager;
class CHudRegionManager;

class HudMarkerInputCallback : public osg::NodeCallback
{
public:
    HudMarkerInputCallback(CObjectManager* objectManager, CHudRegionManager* hudManager,
                           osgUtil::SceneView* sceneView);

    void operator()(osg::Node* node, osg::NodeVisitor* nv) override;

private:
    CObjectManager* m_objectManager;   // not owned
    CHudRegionManager* m_hudManager;   // not owned
    osgUtil::SceneView* m_sceneView;   // not owned
    bool m_firstFrame = true;
};
