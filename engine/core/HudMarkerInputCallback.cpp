#include "HudMarkerInputCallback.h"

#include "CHudRegionManager.h"
#include "CObjectManager.h"

HudMarkerInputCallback::HudMarkerInputCallback(CObjectManager* objectManager, CHudRegionManager* hudManager,
                                               osgUtil::SceneView* sceneView)
    : m_objectManager(objectManager), m_hudManager(hudManager), m_sceneView(sceneView)
{
}

void HudMarkerInputCallback::Send(const char* name, int kind)
{
    CGUIEvent event;
    event.targetName = name;
    event.type = kind;
    event.value[0] = m_values[0];
    event.value[1] = m_values[1];
    m_hudManager->Dispatch("", event);
}

void HudMarkerInputCallback::operator()(osg::Node* node, osg::NodeVisitor* nv)
{
    CTrackedMarker* selected = m_objectManager ? m_objectManager->GetSelectedMarker() : nullptr;
    if (m_firstFrame)
    {
        if (selected) m_lastMarker = selected->GetName();
        m_firstFrame = false;
    }
    const std::optional<std::string> previous = m_lastMarker;
    if (selected && selected->IsVisible() && m_hudManager)
    {
        m_lastMarker = selected->GetName();
        if (previous && *previous == selected->GetName())
        {
            if (selected->TakeObjectChanged()) Send("OBJ_CHANGE", CGUIEvent::ObjectChanged);
        }
        else
            Send("NEW_MARKER_SEL", CGUIEvent::NewMarkerSelected);
    }
    else
        m_lastMarker.reset();
    traverse(node, nv);
}
