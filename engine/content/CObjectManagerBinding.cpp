// Binding objects to markers, lookups, selection, editing and the per-frame
// marker bookkeeping of the content manager.
#include "CObjectManager.h"

#include "CContentObject.h"
#include "CVideoStream.h"

#include <cstdio>

namespace
{
const double kRotateStep = 0.0872664625;  // radians (5 degrees)
const float kDegToRad = 0.017453292f;

void noSelectedObject()
{
    std::printf("No selectedObj\n");
    std::fflush(stdout);
}
}

bool CObjectManager::HookUpByName()
{
    for (CContentObject* object : m_objects)
        if (CTrackedMarker* marker = FindMarkerByName(object->GetMarker())) marker->SetObject(object);
    return true;
}

bool CObjectManager::HookUpByGroup()
{
    if (m_groups.empty()) return false;
    for (ObjectGroup* group : m_groups)
    {
        const std::vector<CContentObject*> objects = FindObjectsInGroup(group->name);
        if (objects.empty()) continue;
        const std::vector<CTrackedMarker*> markers = FindMarkersInGroup(group->name);
        for (size_t i = 0; i < markers.size(); ++i) markers[i]->SetObject(objects[i % objects.size()]);
    }
    return true;
}

bool CObjectManager::HookThisObjectToAllGroupMarkers(CContentObject* object)
{
    if (!object) return false;
    const std::vector<CTrackedMarker*> markers = FindMarkersInGroup(object->GetGroup());
    for (CTrackedMarker* marker : markers) marker->ChangeObject(object);
    return !markers.empty();
}

bool CObjectManager::HookThisObjectToAllGroupMarkers(int index)
{
    return HookThisObjectToAllGroupMarkers(GetObject(index));
}

bool CObjectManager::HookThisObjectToAllGroupMarkers(const std::string& name)
{
    return HookThisObjectToAllGroupMarkers(FindObjectByName(name));
}

CContentObject* CObjectManager::FindObjectByName(const std::string& name) const
{
    if (name == "NONE") return nullptr;
    for (CContentObject* object : m_objects)
        if (object->GetName() == name) return object;
    return nullptr;
}

CTrackedMarker* CObjectManager::FindMarkerByName(const std::string& name) const
{
    if (name == "NONE") return nullptr;
    for (CTrackedMarker* marker : m_markers)
        if (marker->GetName() == name) return marker;
    return nullptr;
}

std::vector<CContentObject*> CObjectManager::FindObjectsInGroup(const std::string& group) const
{
    std::vector<CContentObject*> found;
    if (group == "NONE") return found;
    for (CContentObject* object : m_objects)
        if (object->GetGroup() == group) found.push_back(object);
    return found;
}

std::vector<CTrackedMarker*> CObjectManager::FindMarkersInGroup(const std::string& group) const
{
    std::vector<CTrackedMarker*> found;
    if (group == "NONE") return found;
    for (CTrackedMarker* marker : m_markers)
        if (marker->GetGroup() == group) found.push_back(marker);
    return found;
}

std::vector<std::string> CObjectManager::GetGroupNames() const
{
    std::vector<std::string> names;
    for (CContentObject* object : m_objects)
    {
        const std::string group = object->GetGroup().empty() ? "NONE" : object->GetGroup();
        bool known = false;
        for (const std::string& n : names) known = known || n == group;
        if (!known) names.push_back(group);
    }
    return names;
}

CContentObject* CObjectManager::GetNextObjectByID(CContentObject* object) const
{
    if (m_objects.empty()) return nullptr;
    const int id = object ? object->GetId() + 1 : 0;
    return m_objects[static_cast<size_t>(id >= GetNumObjects() || id < 0 ? 0 : id)];
}

CContentObject* CObjectManager::GetNextObjectInGroup(CContentObject* object) const
{
    if (!object) return nullptr;
    const std::vector<CContentObject*> group = FindObjectsInGroup(object->GetGroup());
    for (size_t i = 0; i < group.size(); ++i)
        if (group[i] == object) return group[(i + 1) % group.size()];
    return nullptr;
}

CContentObject* CObjectManager::GetPreviousObjectInGroup(CContentObject* object) const
{
    if (!object) return nullptr;
    const std::vector<CContentObject*> group = FindObjectsInGroup(object->GetGroup());
    for (size_t i = 0; i < group.size(); ++i)
        if (group[i] == object) return group[(i + group.size() - 1) % group.size()];
    return nullptr;
}

CContentObject* CObjectManager::GetSelectedObject() const
{
    return m_selected ? m_selected->GetObject() : nullptr;
}

void CObjectManager::FindNewSelection()
{
    CTrackedMarker* best = nullptr;
    for (CTrackedMarker* marker : m_markers)
        if (marker->IsVisible() && (!best || marker->GetVisibleTime() < best->GetVisibleTime())) best = marker;
    if (best)
        m_selected = best;
    else if (!m_selected && !m_markers.empty())
        m_selected = m_markers[0];
}

void CObjectManager::ChangeCurrentObject(bool next)
{
    if (!m_selected || m_objects.empty()) return;
    const int count = GetNumObjects();
    CContentObject* current = m_selected->GetObject();
    int id = current ? current->GetId() : (next ? -1 : 0);
    id = next ? (id + 1) % count : (id - 1 + count) % count;
    m_selected->ChangeObject(m_objects[static_cast<size_t>(id)]);
}

CTrackedMarker* CObjectManager::RequireSelectedObject() const
{
    if (!m_selected) return nullptr;
    if (!m_selected->GetObject())
    {
        noSelectedObject();
        return nullptr;
    }
    return m_selected;
}

void CObjectManager::ScaleObject(bool up)
{
    if (CTrackedMarker* marker = RequireSelectedObject())
    {
        CContentObject* object = marker->GetObject();
        const double scale = object->GetScale();
        object->SetScale(up ? scale + scale * 0.1 : scale - scale * 0.1);
    }
}

void CObjectManager::SetObjectScale(float scale)
{
    if (CTrackedMarker* marker = RequireSelectedObject()) marker->GetObject()->SetScale(scale);
}

void CObjectManager::RotateObject(bool positive, int axis)
{
    CTrackedMarker* marker = RequireSelectedObject();
    if (!marker || axis < 0 || axis > 2) return;
    CContentObject* object = marker->GetObject();
    osg::Vec3d rotation = object->GetRotation();
    rotation[axis] += positive ? kRotateStep : -kRotateStep;
    object->SetRotation(rotation.x(), rotation.y(), rotation.z());
}

void CObjectManager::SetObjectRotation(float xDeg, float yDeg, float zDeg)
{
    if (CTrackedMarker* marker = RequireSelectedObject())
        marker->GetObject()->SetRotation(xDeg * kDegToRad, yDeg * kDegToRad, zDeg * kDegToRad);
}

void CObjectManager::TranslateObject(float x, float y, float z)
{
    if (CTrackedMarker* marker = RequireSelectedObject()) marker->GetObject()->SetTranslation(x, y, z);
}

void CObjectManager::UpdateTracker(CVideoStream* stream)
{
    m_currentStream = stream;
    if (!m_tracker.valid()) return;
    m_tracker->setImageSource(stream);
    m_tracker->update();
}

void CObjectManager::UpdateTracker()
{
    if (m_tracker.valid()) m_tracker->update();
}

void CObjectManager::Update(float dt, int)
{
    m_visibleCount = 0;
    for (CTrackedMarker* marker : m_markers)
    {
        marker->UpdateVisibility();
        if (marker->IsVisible()) ++m_visibleCount;
        if (marker->GetAutoSwapMode() == 1 && marker->HasReappeared() && marker->GetObject() &&
            marker->GetState().appearedNow)
            marker->ChangeObject(GetNextObjectByID(marker->GetObject()));
        marker->Update(dt);
    }
    FindNewSelection();
}

void CObjectManager::Trigger(const std::vector<int>& keys)
{
    for (CContentObject* object : m_objects) object->Trigger(keys);
}

void CObjectManager::ToggleMirrorObjects()
{
    m_mirrored = !m_mirrored;
}

void CObjectManager::SaveSelectedSettings(const std::string& fileName)
{
    if (!m_saveFlag) return;
    CContentObject* object = GetSelectedObject();
    if (!object) return;
    std::printf("Saving file\n");
    FILE* file = std::fopen(fileName.c_str(), "w");
    if (!file) return;
    const osg::Vec3d t = object->GetTranslation();
    const osg::Vec3d r = object->GetRotation() * 57.29577957855229;
    std::fprintf(file, "TRAN %g %g %g\nROT %g %g %g\nSCALE %g\n", t.x(), t.y(), t.z(), r.x(), r.y(), r.z(),
                 object->GetScale());
    for (CMarkerEntity* entity : object->GetEntities())
    {
        char* description = entity->GetDescription();
        if (description) std::fprintf(file, "%s\n", description);
        delete[] description;
    }
    std::fclose(file);
}
