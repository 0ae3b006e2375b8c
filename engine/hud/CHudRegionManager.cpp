#include "CHudRegionManager.h"

#include "CHudRegion.h"
#include "CHudSkin.h"
#include "CTextRegion.h"

#include <GL/gl.h>

#include <cassert>

namespace
{
// Depth range of the HUD's projection: regions lie at small depths around 0
// (backdrops behind, labels in front), inside this range for drawing and
// picking alike.
const double kHudDepth = 100.0;
}

CHudRegionManager* CHudRegionManager::Instance()
{
    static CHudRegionManager* instance = new CHudRegionManager();
    return instance;
}

osg::Camera* CHudRegionManager::CreateHudLayer(const std::string& pageName, int width, int height)
{
    m_width = width;
    m_height = height;
    m_camera = new osg::Camera;
    m_camera->setProjectionMatrixAsOrtho(0, width, 0, height, -kHudDepth, kHudDepth);
    m_camera->setComputeNearFarMode(osg::CullSettings::DO_NOT_COMPUTE_NEAR_FAR);
    m_camera->setReferenceFrame(osg::Transform::ABSOLUTE_RF);
    m_camera->setViewMatrix(osg::Matrix::identity());
    m_camera->setClearMask(GL_DEPTH_BUFFER_BIT);
    m_camera->setRenderOrder(osg::Camera::POST_RENDER, 0);
    m_fade = new RegionFadeCallback;
    m_camera->setUpdateCallback(m_fade.get());
    m_root = new osg::Group;
    m_camera->addChild(m_root.get());
    m_topLevel.clear();
    m_pages.clear();
    m_pageNames.clear();
    m_pageRegions.clear();
    m_regions.clear();
    m_currentPage = -1;
    m_switchArmed = false;
    AddPage(pageName);
    return m_camera.get();
}

CHudRegion* CHudRegionManager::AddRegion(CHudRegion* region)
{
    if (!region) return nullptr;
    assert(m_root.valid() && "AddRegion: the HUD layer is made by CreateHudLayer first");
    if (!m_root.valid()) return nullptr;
    m_regions.push_back(region);
    if (m_currentPage < 0)
    {
        m_root->addChild(region->GetTransform());
        m_topLevel.push_back(region);
    }
    else
    {
        m_pages[m_currentPage]->addChild(region->GetTransform());
        m_pageRegions[m_currentPage].push_back(region);
    }
    region->SetHudSize(static_cast<float>(m_width), static_cast<float>(m_height));
    return region;
}

CTextRegion* CHudRegionManager::CreateTextRegion(float x, float y, float width, float height,
                                                 const std::string& text, float textSize,
                                                 const std::string& modelFile)
{
    CTextRegion* region = new CTextRegion;
    region->Init(static_cast<int>(m_regions.size()), x, y, width, height, modelFile, text, textSize);
    AddRegion(region);
    return region;
}

void CHudRegionManager::RequestPageSwitch(const std::string& pageName, double from, double to, double duration,
                                          bool repeat)
{
    m_switchArmed = true;
    m_pendingPage = pageName;
    m_pendingFrom = from;
    m_pendingTo = to;
    m_pendingDuration = duration;
    m_pendingRepeat = repeat;
}

void CHudRegionManager::ArmedSwitch()
{
    m_switchArmed = false;
    SelectPage(m_pendingPage);
    ShowOnlyPage(m_pendingPage);
    FadeCurrentPage(m_pendingFrom, m_pendingTo, m_pendingDuration);
    // The next click on empty space undoes this one.
    if (m_pendingRepeat)
        RequestPageSwitch(m_pendingPage, m_pendingTo, m_pendingFrom, m_pendingDuration, m_repeatDefault);
}

bool CHudRegionManager::Dispatch(const std::string& message, const CGUIEvent& event)
{
    m_lastEvent = event;
    ++m_dispatchCount;
    if (m_switchArmed && event.type == CGUIEvent::Press && event.targetName == "NONE") ArmedSwitch();
    // Every region hears every event, whatever the others answer. A region
    // may register more regions while it handles one: count them afresh.
    for (size_t i = 0; i < m_regions.size(); ++i) m_regions[i]->HandleEvent(message, event);
    for (const CHudRegion* region : m_regions)
        if (region->HasDescendantNamed(event.targetName)) return true;
    return false;
}

void CHudRegionManager::ReleaseAll()
{
    for (CHudRegion* region : m_regions) region->Release();
}

bool CHudRegionManager::ReadSkin(COsgSettings& file, CHudSkin& skin) const
{
    return skin.Read(file);
}
