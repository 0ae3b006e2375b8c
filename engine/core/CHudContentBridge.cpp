#include "CHudContentBridge.h"

#include "CObjectManager.h"

#include <cassert>

CHudContentBridge::CHudContentBridge(CObjectManager* manager) : m_manager(manager)
{
    assert(manager && "CHudContentBridge: needs the content manager");
}

bool CHudContentBridge::HasMarker(const std::string& marker) const
{
    return m_manager->FindMarkerByName(marker) != nullptr;
}

CContentObject* CHudContentBridge::FindObject(const std::string& name) const
{
    return m_manager->FindObjectByName(name);
}

std::string CHudContentBridge::CurrentMarker() const
{
    const CTrackedMarker* marker = m_manager->GetSelectedMarker();
    return marker ? marker->GetName() : std::string();
}

CContentObject* CHudContentBridge::ObjectOnMarker(const std::string& marker) const
{
    const CTrackedMarker* found = m_manager->FindMarkerByName(marker);
    return found ? found->GetObject() : nullptr;
}

std::string CHudContentBridge::MarkerGroup(const std::string& marker) const
{
    const CTrackedMarker* found = m_manager->FindMarkerByName(marker);
    return found ? found->GetGroup() : std::string("NONE");
}

std::vector<std::string> CHudContentBridge::GroupNames() const
{
    return m_manager->GetGroupNames();
}

std::vector<CContentObject*> CHudContentBridge::ObjectsInGroup(const std::string& group) const
{
    return m_manager->FindObjectsInGroup(group);
}

std::vector<std::string> CHudContentBridge::MarkersInGroup(const std::string& group) const
{
    std::vector<std::string> names;
    for (const CTrackedMarker* marker : m_manager->FindMarkersInGroup(group)) names.push_back(marker->GetName());
    return names;
}

CContentObject* CHudContentBridge::NextInGroup(CContentObject* object, bool forward) const
{
    return forward ? m_manager->GetNextObjectInGroup(object) : m_manager->GetPreviousObjectInGroup(object);
}

bool CHudContentBridge::PutObjectOnMarker(CContentObject* object, const std::string& marker)
{
    CTrackedMarker* found = m_manager->FindMarkerByName(marker);
    if (!found || !object) return false;
    found->ChangeObject(object);
    return true;
}

void CHudContentBridge::ToggleHiderVisible()
{
    m_manager->ToggleHiderVisible();
}

int CHudContentBridge::GetThreshold() const
{
    return m_manager->GetTracker()->getUserThreshold();
}

void CHudContentBridge::SetThreshold(int threshold)
{
    m_manager->GetTracker()->setUserThreshold(threshold);
}
