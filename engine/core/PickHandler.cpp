#include "PickHandler.h"

PickHandler::PickHandler(osgUtil::SceneView* sceneView) : m_sceneView(sceneView) {}

bool PickHandler::handle(const osgGA::GUIEventAdapter& ea, osgGA::GUIActionAdapter&)
{
    m_lastX = ea.getX();
    m_lastY = ea.getY();
    return false;
}
