#pragma once
// An object button of the object menu ("VXOBJBUTTON"): pressing it puts a
// content object on a marker. Its mode says which object:
//   NORMAL           the named object on the named marker;
//   GROUP_INDEX      the object at the group index among the objects of
//                    the marker's group;
//   ALL_GROUP_INDEX  for every group, the object at the group index on the
//                    markers of that group.
// The marker name "SELECTED" means the marker that is current at the press.
//
// The button does not own the content it names; the content interface is
// the menu's and outlives the button.

#include "CButtonRegion.h"

#include <string>

class CHudContent;

class CVXObjectButton : public CButtonRegion
{
public:
    enum Mode
    {
        Normal = 0,
        GroupIndex = 1,
        AllGroupIndex = 2
    };

    CVXObjectButton();

    /// Keeps the names and warns on the console about names the content
    /// does not have (the button is still made).
    void Setup(CHudContent* content, const std::string& objectName, const std::string& markerName, int mode,
               int groupIndex, const std::string& iconFile);
    /// Does what the button's mode says; true when an object was put on a
    /// marker.
    bool Act();
    /// "NORMAL", "GROUP_INDEX" or "ALL_GROUP_INDEX"; -1 for another word.
    static int ModeFromName(const std::string& name);

    const std::string& GetObjectName() const { return m_objectName; }
    const std::string& GetMarkerName() const { return m_markerName; }
    int GetMode() const { return m_mode; }
    int GetGroupIndex() const { return m_groupIndex; }
    const std::string& GetIconFile() const { return m_iconFile; }

private:
    std::string TargetMarker() const;
    bool PutAtIndex(const std::string& group, const std::string& marker);
    void WarnAboutNames() const;

    CHudContent* m_content = nullptr;
    std::string m_objectName = "NONE";
    std::string m_markerName = "NONE";
    int m_mode = Normal;
    int m_groupIndex = 0;
    std::string m_iconFile;
};
