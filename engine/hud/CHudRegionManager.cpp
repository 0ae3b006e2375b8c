#include "CHudRegionManager.h"

#include <GL/gl.h>

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
    m_camera->setProjectionMatrixAsOrtho2D(0, width, 0, height);
    m_camera->setReferenceFrame(osg::Transform::ABSOLUTE_RF);
    m_camera->setViewMatrix(osg::Matrix::identity());
    m_camera->setClearMask(GL_DEPTH_BUFFER_BIT);
    m_camera->setRenderOrder(osg::Camera::POST_RENDER);
    m_root = new osg::Group;
    m_camera->addChild(m_root.get());
    AddPage(pageName);
    return m_camera.get();
}

osg::Group* CHudRegionManager::AddPage(const std::string& name)
{
    if (!m_root.valid()) return nullptr;
    osg::ref_ptr<osg::Group> page = new osg::Group;
    page->setName(name);
    m_root->addChild(page.get());
    return page.get();
}

void CHudRegionManager::ReleaseAll()
{
}

bool CHudRegionManager::Dispatch(const std::string&, const CGUIEvent& event)
{
    m_lastEvent = event;
    ++m_dispatchCount;
    return false;
}
