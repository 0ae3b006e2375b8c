#include "PickHandler.h"

#include "CHudRegionManager.h"

#include <osgUtil/IntersectionVisitor>
#include <osgUtil/LineSegmentIntersector>

PickHandler::PickHandler(osgUtil::SceneView* sceneView) : m_sceneView(sceneView) {}

bool PickHandler::handle(const osgGA::GUIEventAdapter& ea, osgGA::GUIActionAdapter&)
{
    switch (ea.getEventType())
    {
    case osgGA::GUIEventAdapter::PUSH:
        Pick(ea, 0);
        Remember(ea);
        return false;
    case osgGA::GUIEventAdapter::RELEASE:
        if (ea.getX() == m_lastX && ea.getY() == m_lastY) Pick(ea, 1);
        Remember(ea);
        return true;
    case osgGA::GUIEventAdapter::DRAG:
    {
        CGUIEvent event;
        event.targetName = "SELECTED";
        event.type = CGUIEvent::Drag;
        event.x = ea.getX();
        event.y = ea.getY();
        event.buttonMask = static_cast<unsigned int>(ea.getButtonMask());
        event.key = ea.getKey();
        CHudRegionManager::Instance()->Dispatch("", event);
        return true;
    }
    case osgGA::GUIEventAdapter::MOVE:
        Remember(ea);
        return false;
    default:
        return false;
    }
}

void PickHandler::Remember(const osgGA::GUIEventAdapter& ea)
{
    m_lastX = ea.getX();
    m_lastY = ea.getY();
}

std::string PickHandler::PickName(float windowX, float windowY) const
{
    osg::Camera* hud = CHudRegionManager::Instance()->GetHudLayer();
    const osg::Viewport* viewport = m_sceneView ? m_sceneView->getViewport() : nullptr;
    if (!hud || !viewport) return "NONE";
    osg::ref_ptr<osgUtil::LineSegmentIntersector> picker =
        new osgUtil::LineSegmentIntersector(osgUtil::Intersector::WINDOW, windowX, windowY);
    osgUtil::IntersectionVisitor visitor(picker.get());
    visitor.pushWindowMatrix(const_cast<osg::Viewport*>(viewport));
    visitor.pushProjectionMatrix(new osg::RefMatrix(m_sceneView->getProjectionMatrix()));
    visitor.pushViewMatrix(new osg::RefMatrix(m_sceneView->getViewMatrix()));
    visitor.pushModelMatrix(new osg::RefMatrix(osg::Matrix::identity()));
    hud->accept(visitor);
    if (!picker->containsIntersections()) return "NONE";
    // The picked geometry names the target; its node path ends above it.
    const osgUtil::LineSegmentIntersector::Intersection& hit = picker->getFirstIntersection();
    if (hit.drawable.valid()) return hit.drawable->getName();
    return hit.nodePath.empty() ? std::string("NONE") : hit.nodePath.back()->getName();
}

void PickHandler::Pick(const osgGA::GUIEventAdapter& ea, int mode)
{
    CHudRegionManager* hud = CHudRegionManager::Instance();
    const osg::Viewport* viewport = m_sceneView ? m_sceneView->getViewport() : nullptr;
    if (!hud->GetHudLayer() || !viewport) return;
    // Pointer to window pixels through the scene view's viewport.
    const float x = static_cast<float>(viewport->x()) +
                    ((ea.getX() - ea.getXmin()) * 2.f / (ea.getXmax() - ea.getXmin()) - 1.f + 1.f) * 0.5f *
                        static_cast<float>(viewport->width());
    const float y = static_cast<float>(viewport->y()) +
                    (ea.getYnormalized() + 1.f) * 0.5f * static_cast<float>(viewport->height());
    CGUIEvent event;
    event.targetName = PickName(x, y);
    event.type = mode == 0 ? CGUIEvent::Press : CGUIEvent::ClickRelease;
    event.x = ea.getX();
    event.y = ea.getY();
    event.buttonMask = static_cast<unsigned int>(ea.getButtonMask());
    hud->Dispatch("", event);
}
