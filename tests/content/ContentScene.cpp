#include "ContentScene.h"

#include <osg/ImageStream>

ContentScene::ContentScene(const TestFolder& folder)
    : m_folder(folder), m_frames(folder, 6), m_manager(std::make_unique<CObjectManager>()), m_image(new osg::Image)
{
    TestFolder::WriteFile(folder / "Data/.keep", "");
}

std::string ContentScene::Marker(int pattern, const std::string& name, const std::string& group,
                                 const std::string& extra) const
{
    return "<VEXA_MARKER>\n    <TYPE> SINGLE\n    <FILE> " + m_frames.PatternFile(pattern) + "\n    <NAME> " + name +
           "\n    <GROUP> " + group + "\n" + extra + "</VEXA_MARKER>\n";
}

std::string ContentScene::Entity(const std::string& name, const std::string& group, const std::string& marker,
                                 const std::string& extra)
{
    return "<ENTITY>\n    <NAME> " + name + "\n    <GROUP> " + group + "\n    <MARKER> " + marker + "\n" + extra +
           "</ENTITY>\n";
}

void ContentScene::Load(const std::vector<std::pair<std::string, std::string>>& files)
{
    std::string list = "<DAT>\n";
    for (const auto& f : files)
    {
        TestFolder::WriteFile(m_folder / f.first, f.second);
        list += "    <ASSET_FILE> " + f.first + "\n";
    }
    list += "</DAT>\n";
    TestFolder::WriteFile(m_folder / "Data/dataList.dat", list);
    m_manager->SetCameraParamFile(m_frames.CameraFile());
    m_manager->InitNewTricks(0, "models", TrackerScene::kWidth, TrackerScene::kHeight, 800, 600, nullptr,
                             "Data/dataList.dat", false);
}

void ContentScene::Step(float dt)
{
    m_frames.Render(*m_image);
    if (m_image->getModifiedCount() == 1) m_image->dirty();
    m_manager->GetTracker()->setImageSource(m_image.get());
    m_manager->UpdateTracker();
    m_manager->Update(dt, 90);
}
