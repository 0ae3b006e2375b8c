#pragma once
// A content set in a test folder: pattern and camera files, data files
// written by the test, and a content manager loaded from them.

#include "CObjectManager.h"

#include "TestFolder.h"
#include "TrackerScene.h"

#include <memory>
#include <string>
#include <vector>

class ContentScene
{
public:
    explicit ContentScene(const TestFolder& folder);

    /// A <VEXA_MARKER> block for pattern i with extra lines.
    std::string Marker(int pattern, const std::string& name, const std::string& group = "NONE",
                       const std::string& extra = "") const;
    static std::string Entity(const std::string& name, const std::string& group = "NONE",
                              const std::string& marker = "NONE", const std::string& extra = "");
    /// Writes the data files and a content list naming them, then loads.
    void Load(const std::vector<std::pair<std::string, std::string>>& files);

    CObjectManager& Manager() { return *m_manager; }
    TrackerScene& Frames() { return m_frames; }
    /// Draws the placed markers and runs one tracker and manager update.
    void Step(float dt);

private:
    const TestFolder& m_folder;
    TrackerScene m_frames;
    std::unique_ptr<CObjectManager> m_manager;
    osg::ref_ptr<osg::Image> m_image;
};
