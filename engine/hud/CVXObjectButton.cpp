#include "CVXObjectButton.h"

#include "CContentObject.h"
#include "CHudContent.h"

#include <algorithm>
#include <cstdio>

CVXObjectButton::CVXObjectButton()
{
    m_baseName = "VXOBJBUTTON";
}

int CVXObjectButton::ModeFromName(const std::string& name)
{
    if (name == "NORMAL") return Normal;
    if (name == "GROUP_INDEX") return GroupIndex;
    if (name == "ALL_GROUP_INDEX") return AllGroupIndex;
    return -1;
}

void CVXObjectButton::Setup(CHudContent* content, const std::string& objectName, const std::string& markerName,
                            int mode, int groupIndex, const std::string& iconFile)
{
    m_content = content;
    m_objectName = objectName;
    m_markerName = markerName;
    m_mode = mode;
    m_groupIndex = std::max(groupIndex, 0);
    m_iconFile = iconFile;
    WarnAboutNames();
}

void CVXObjectButton::WarnAboutNames() const
{
    if (!m_content)
    {
        std::printf("Object Manger pointer == NULL, unable to create VXObjectButton\n");
        std::fflush(stdout);
        return;
    }
    if (m_markerName == "NONE")
        std::printf("Warning! NONE is not a vailt Marker Name. VXObjectButton must be passed a valid Maker Name or "
                    "'SELECTED'\n");
    else if (m_markerName != "SELECTED" && !m_content->HasMarker(m_markerName))
        std::printf("Warning! %s is not a valid Marker name, Marker Name must be vaild or 'SELECTED'\n",
                    m_markerName.c_str());
    // Index buttons choose their object from a group; only NORMAL names one.
    if (m_mode == Normal)
    {
        if (m_objectName == "NONE")
            std::printf("Warning! NONE is not a vailt Object Name. VXObjectButton must be passed a valid Object "
                        "Name\n");
        else if (!m_content->FindObject(m_objectName))
            std::printf("Warning! %s is not a vailt Object Name. VXObjectButton must be passed a valid Object "
                        "Name\n",
                        m_objectName.c_str());
    }
    std::fflush(stdout);
}

std::string CVXObjectButton::TargetMarker() const
{
    return m_markerName == "SELECTED" ? m_content->CurrentMarker() : m_markerName;
}

bool CVXObjectButton::PutAtIndex(const std::string& group, const std::string& marker)
{
    const std::vector<CContentObject*> objects = m_content->ObjectsInGroup(group);
    if (m_groupIndex >= static_cast<int>(objects.size()))
    {
        std::printf("VXObjectButton %s: group %s has %d objects, none at index %d\n", GetName().c_str(),
                    group.c_str(), static_cast<int>(objects.size()), m_groupIndex);
        std::fflush(stdout);
        return false;
    }
    return m_content->PutObjectOnMarker(objects[static_cast<size_t>(m_groupIndex)], marker);
}

bool CVXObjectButton::Act()
{
    if (!m_content) return false;
    if (m_mode == AllGroupIndex)
    {
        bool put = false;
        for (const std::string& group : m_content->GroupNames())
            for (const std::string& marker : m_content->MarkersInGroup(group)) put = PutAtIndex(group, marker) || put;
        return put;
    }
    const std::string marker = TargetMarker();
    if (marker.empty()) return false;
    if (m_mode == GroupIndex) return PutAtIndex(m_content->MarkerGroup(marker), marker);
    CContentObject* object = m_content->FindObject(m_objectName);
    return object && m_content->PutObjectOnMarker(object, marker);
}
