#pragma once
// A content set for the menu tests, without a tracker: named markers (each
// in a group) and content objects loaded from <ENTITY> blocks, with the
// current marker chosen by the test. It records what was put where.

#include "CContentObject.h"
#include "CHudContent.h"
#include "COsgSettings.h"
#include "TestFolder.h"

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

class MenuTestContent : public CHudContent
{
public:
    /// Objects "NAME:GROUP[:SCALE]" and markers "NAME:GROUP".
    MenuTestContent(const std::vector<std::string>& objects, const std::vector<std::string>& markers)
    {
        TestFolder folder;
        std::string text;
        for (const std::string& spec : objects)
        {
            const auto parts = Split(spec);
            text += "<ENTITY>\n<NAME> " + parts[0] + "\n<GROUP> " + parts[1] + "\n";
            if (parts.size() > 2) text += "<SCALE> " + parts[2] + "\n";
            text += "</ENTITY>\n";
        }
        TestFolder::WriteFile(folder / "objects.dat", text);
        LoadObjects(folder / "objects.dat");
        for (const std::string& spec : markers)
        {
            const auto parts = Split(spec);
            m_markerGroups[parts[0]] = parts[1];
            m_markerOrder.push_back(parts[0]);
        }
    }

    /// Adds the objects of a content data file (models found from the
    /// current folder).
    void LoadObjects(const std::string& dataFile)
    {
        COsgSettings file;
        file.Load(dataFile);
        int id = static_cast<int>(m_objects.size());
        for (size_t line : file.LinesStartingWith("<ENTITY>"))
        {
            file.GoToLine(line);
            auto object = std::make_unique<CContentObject>();
            object->Load(id++, file);
            m_objects.push_back(std::move(object));
        }
    }

    static std::vector<std::string> Split(const std::string& spec)
    {
        std::vector<std::string> parts;
        size_t start = 0;
        for (size_t colon = spec.find(':'); colon != std::string::npos; colon = spec.find(':', start))
        {
            parts.push_back(spec.substr(start, colon - start));
            start = colon + 1;
        }
        parts.push_back(spec.substr(start));
        return parts;
    }

    bool HasMarker(const std::string& marker) const override { return m_markerGroups.count(marker) > 0; }
    CContentObject* FindObject(const std::string& name) const override
    {
        for (const auto& object : m_objects)
            if (object->GetName() == name) return object.get();
        return nullptr;
    }
    std::string CurrentMarker() const override { return current; }
    CContentObject* ObjectOnMarker(const std::string& marker) const override
    {
        auto it = on.find(marker);
        return it == on.end() ? nullptr : it->second;
    }
    std::string MarkerGroup(const std::string& marker) const override
    {
        auto it = m_markerGroups.find(marker);
        return it == m_markerGroups.end() ? "NONE" : it->second;
    }
    std::vector<std::string> GroupNames() const override
    {
        std::vector<std::string> names;
        for (const auto& object : m_objects)
            if (std::find(names.begin(), names.end(), object->GetGroup()) == names.end())
                names.push_back(object->GetGroup());
        return names;
    }
    std::vector<CContentObject*> ObjectsInGroup(const std::string& group) const override
    {
        std::vector<CContentObject*> found;
        for (const auto& object : m_objects)
            if (object->GetGroup() == group) found.push_back(object.get());
        return found;
    }
    std::vector<std::string> MarkersInGroup(const std::string& group) const override
    {
        std::vector<std::string> found;
        for (const std::string& marker : m_markerOrder)
            if (m_markerGroups.at(marker) == group) found.push_back(marker);
        return found;
    }
    CContentObject* NextInGroup(CContentObject* object, bool forward) const override
    {
        const std::vector<CContentObject*> group = ObjectsInGroup(object->GetGroup());
        const auto it = std::find(group.begin(), group.end(), object);
        if (it == group.end()) return nullptr;
        const long n = static_cast<long>(group.size());
        const long i = ((it - group.begin()) + (forward ? 1 : -1) + n) % n;
        return group[static_cast<size_t>(i)];
    }
    bool PutObjectOnMarker(CContentObject* object, const std::string& marker) override
    {
        if (!HasMarker(marker)) return false;
        on[marker] = object;
        ++puts;
        return true;
    }
    void ToggleHiderVisible() override { ++hiderToggles; }
    int GetThreshold() const override { return threshold; }
    void SetThreshold(int value) override { threshold = value; }

    std::string current;
    std::map<std::string, CContentObject*> on;
    int puts = 0, hiderToggles = 0, threshold = 100;

private:
    std::vector<std::unique_ptr<CContentObject>> m_objects;
    std::map<std::string, std::string> m_markerGroups;
    std::vector<std::string> m_markerOrder;
};
