#pragma once
// The HUD's view of the content manager: the object menu and the panels
// (which lie below the content manager) reach markers, objects, groups,
// the threshold and the hider through this.
//
// It points at the content manager, which must outlive it (both belong to
// the engine object).

#include "CHudContent.h"

class CObjectManager;

class CHudContentBridge : public CHudContent
{
public:
    explicit CHudContentBridge(CObjectManager* manager);

    bool HasMarker(const std::string& marker) const override;
    CContentObject* FindObject(const std::string& name) const override;
    std::string CurrentMarker() const override;
    CContentObject* ObjectOnMarker(const std::string& marker) const override;
    std::string MarkerGroup(const std::string& marker) const override;
    std::vector<std::string> GroupNames() const override;
    std::vector<CContentObject*> ObjectsInGroup(const std::string& group) const override;
    std::vector<std::string> MarkersInGroup(const std::string& group) const override;
    CContentObject* NextInGroup(CContentObject* object, bool forward) const override;
    bool PutObjectOnMarker(CContentObject* object, const std::string& marker) override;
    void ToggleHiderVisible() override;
    int GetThreshold() const override;
    void SetThreshold(int threshold) override;

private:
    CObjectManager* m_manager;
};
