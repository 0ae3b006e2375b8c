#include "HudMarkerInputCallback.h"

HudMarkerInputCallback::HudMarkerInputCallback(CObjectManager* objectManager, CHudRegionManager* hudManager,
                                               osgUtil::SceneView* sceneView)
    : m_objectManager(objectManager), m_hudManager(hudManager), m_sceneView(sceneView)
{
}

void HudMarkerInputCallback::operator()(osg::Node* node, osg::NodeVisitor* nv)
{
    m_firstFrame = false;
    traverse(node, nv);
}
