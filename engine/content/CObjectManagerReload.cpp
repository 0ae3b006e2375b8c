// Taking over a freshly loaded content set, for the live reload of content.
#include "CObjectManager.h"

#include "CContentObject.h"

#include <algorithm>
#include <cassert>

namespace
{
void moveChildren(osg::Group& from, osg::Group& to)
{
    for (unsigned i = 0; i < from.getNumChildren(); ++i) to.addChild(from.getChild(i));
    from.removeChildren(0, from.getNumChildren());
}
}

void CObjectManager::TakeContent(CObjectManager& fresh)
{
    assert(&fresh != this && "TakeContent: a manager cannot take its own content");
    const std::string selectedName = m_selected ? m_selected->GetName() : std::string();
    const int selectedIndex = m_selected ? static_cast<int>(std::find(m_markers.begin(), m_markers.end(), m_selected) -
                                                            m_markers.begin())
                                         : -1;
    const std::string objectName = GetSelectedObject() ? GetSelectedObject()->GetName() : std::string();

    if (m_tracker.valid() && fresh.m_tracker.valid()) KeepTrackerSettings(*fresh.m_tracker);
    std::swap(m_tracker, fresh.m_tracker);
    std::swap(m_markers, fresh.m_markers);
    std::swap(m_objects, fresh.m_objects);
    std::swap(m_groups, fresh.m_groups);
    std::swap(m_objectStore, fresh.m_objectStore);
    for (CContentObject* object : fresh.m_objects) object->CleanUp();  // the old content goes quiet

    // The scene keeps this manager's nodes; the content inside them changes.
    osg::ref_ptr<osg::Group> oldContent = new osg::Group;
    moveChildren(*m_sceneNode, *oldContent);
    moveChildren(*fresh.m_sceneNode, *m_sceneNode);
    moveChildren(*oldContent, *fresh.m_sceneNode);
    if (m_hiderGeodes.valid())
    {
        m_hiderGeodes->removeChildren(0, m_hiderGeodes->getNumChildren());
        for (CTrackedMarker* marker : m_markers)
            if (marker->HasGeometry() && marker->GetHiderGeode()) m_hiderGeodes->addChild(marker->GetHiderGeode());
    }
    fresh.m_selected = nullptr;
    m_selected = nullptr;
    KeepSelection(selectedName, selectedIndex, objectName);
}

void CObjectManager::KeepTrackerSettings(SquareTracker& next) const
{
    const SquareTracker& now = *m_tracker;
    next.setUserThreshold(now.getUserThreshold());
    next.setUseAuto(now.getUseAuto());
    next.setMaxAutoSteps(now.getMaxAutoSteps());
    next.setAutoStepSize(now.getAutoStepSize());
    next.SetTol(now.GetTol());
    next.setImageProcMode(now.getImageProcMode());
    next.setPatternDetectionMode(now.getPatternDetectionMode());
    next.SetLabelingMode(now.GetLabelingMode());
    next.SetAdaptiveThreshold(now.GetAdaptiveThreshold());
    next.setImageSource(m_tracker->getImageSource());
}

void CObjectManager::KeepSelection(const std::string& markerName, int markerIndex, const std::string& objectName)
{
    CTrackedMarker* marker = markerName.empty() || markerName == "NONE" ? nullptr : FindMarkerByName(markerName);
    if (!marker) marker = GetTrackedMarker(markerIndex);
    if (!marker) return;
    m_selected = marker;
    CContentObject* object = objectName.empty() ? nullptr : FindObjectByName(objectName);
    if (object && marker->GetObject() != object) marker->ChangeObject(object);
}
