#pragma once
// What the object menu and the HUD panels need of the content manager,
// which lies above the HUD: markers by name, the current marker, objects
// and their groups, putting an object on a marker, and the tracker's
// threshold and marker hider. The engine hands down an implementation on
// its content manager; tests hand down their own.
//
// The interface owns nothing; the objects it returns belong to the content
// manager and live as long as it.

#include <string>
#include <vector>

class CContentObject;

class CHudContent
{
public:
    virtual ~CHudContent() = default;

    virtual bool HasMarker(const std::string& marker) const = 0;
    virtual CContentObject* FindObject(const std::string& name) const = 0;
    /// The name of the current (selected) marker, empty when there is none.
    virtual std::string CurrentMarker() const = 0;
    /// The object on the marker, null when none (or no such marker).
    virtual CContentObject* ObjectOnMarker(const std::string& marker) const = 0;
    /// The group the marker belongs to ("NONE" when it has none).
    virtual std::string MarkerGroup(const std::string& marker) const = 0;
    virtual std::vector<std::string> GroupNames() const = 0;
    virtual std::vector<CContentObject*> ObjectsInGroup(const std::string& group) const = 0;
    virtual std::vector<std::string> MarkersInGroup(const std::string& group) const = 0;
    /// The next (or previous) object in the object's group, wrapping; null
    /// when it has no group.
    virtual CContentObject* NextInGroup(CContentObject* object, bool forward) const = 0;
    /// Puts the object on the marker; false when there is no such marker.
    virtual bool PutObjectOnMarker(CContentObject* object, const std::string& marker) = 0;

    virtual void ToggleHiderVisible() = 0;
    virtual int GetThreshold() const = 0;
    virtual void SetThreshold(int threshold) = 0;
};
