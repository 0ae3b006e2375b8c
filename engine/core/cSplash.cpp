#include "cSplash.h"

#include "CRenderSurface.h"
#include "CSystemInfo.h"

#include <osg/CullFace>
#include <osg/FrameStamp>
#include <osg/Geometry>
#include <osg/Texture2D>
#include <osgDB/ReadFile>

#include <cassert>

namespace
{
const double kOneDegree = 0.017453292519943295;  // radians

// A horizontal gradient for the progress bar, bright at its leading end.
osg::Image* progressImage()
{
    const int w = 64, h = 4;
    osg::ref_ptr<osg::Image> image = new osg::Image;
    image->allocateImage(w, h, 1, GL_RGB, GL_UNSIGNED_BYTE);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            unsigned char* p = image->data(x, y);
            p[0] = static_cast<unsigned char>(40 + 3 * x);
            p[1] = static_cast<unsigned char>(120 + 2 * x);
            p[2] = 230;
        }
    return image.release();
}
}

cSplash::cSplash() = default;

cSplash::~cSplash()
{
    kill();
}

bool cSplash::IsOpen() const
{
    return m_renderSurface.valid() && m_renderSurface->isRealized();
}

void cSplash::init(int steps)
{
    assert(steps > 0 && "cSplash::init: the number of steps must be positive");
    m_stepSize = 1.f / static_cast<float>(steps);
    m_progress = 0.f;
    if (m_windowless) return;

    osg::ref_ptr<osg::MatrixTransform> logo = new osg::MatrixTransform;
    logo->setMatrix(osg::Matrix::rotate(kOneDegree, osg::Vec3(1.f, 0.f, 0.f)));
    if (osg::ref_ptr<osg::Node> model = osgDB::readRefNodeFile("Models/splash/logo2.ive")) logo->addChild(model.get());

    int screenW = 800, screenH = 600;
    CSystemInfo::GetPrimaryScreenSize(screenW, screenH);
    m_renderSurface = new CRenderSurface;
    m_renderSurface->setWindowName("loading...");
    m_renderSurface->setWindowRectangle(screenW / 2 - 400, screenH / 2 - 300, 800, 600);
    m_renderSurface->useBorder(false);
    m_renderSurface->realize();

    m_sceneView = new osgUtil::SceneView;
    m_sceneView->setDefaults(osgUtil::SceneView::HEADLIGHT | osgUtil::SceneView::COMPILE_GLOBJECTS_AT_INIT);
    m_sceneView->setClearColor(osg::Vec4(0.02f, 0.039f, 0.05f, 1.0f));
    if (m_renderSurface->isRealized()) m_sceneView->setState(m_renderSurface->getGraphicsContext()->getState());

    osg::ref_ptr<osg::Group> scene = new osg::Group;
    scene->addChild(logo.get());
    m_progressTransform = new osg::MatrixTransform;
    m_progressTransform->addChild(CreateTexQuad(4.0f, 70.0f));
    m_progressTransform->setMatrix(osg::Matrix::scale(0.0, 1.0, 1.0) * osg::Matrix::translate(0.0, 0.0, -40.0));
    scene->addChild(m_progressTransform.get());
    m_sceneView->setSceneData(scene.get());

    const osg::BoundingSphere bs = scene->getBound();
    const osg::Vec3d eye = bs.center() - osg::Vec3d(0.0, 1.5 * bs.radius(), 0.0);
    m_viewMatrix.makeLookAt(eye, bs.center(), osg::Vec3d(0.0, 0.0, 1.0));
    m_sceneView->setProjectionMatrixAsPerspective(45.0, 800.0 / 600.0, 1.0, 10000.0);
    m_startTick = osg::Timer::instance()->tick();
    m_frameNumber = 0;
}

void cSplash::step(int index, const std::string&)
{
    if (!m_progressTransform.valid()) return;
    m_progress = static_cast<float>(index + 1) * m_stepSize;
    m_progressTransform->setMatrix(osg::Matrix::scale(m_progress, 1.0, 1.0) *
                                   osg::Matrix::translate(0.0, 0.0, -40.0));
    if (!IsOpen() || !m_renderSurface->makeCurrent()) return;

    osg::ref_ptr<osg::FrameStamp> stamp = new osg::FrameStamp;
    stamp->setReferenceTime(osg::Timer::instance()->delta_s(m_startTick, osg::Timer::instance()->tick()));
    stamp->setFrameNumber(m_frameNumber++);
    m_sceneView->setFrameStamp(stamp.get());
    m_sceneView->setViewport(0, 0, m_renderSurface->getWindowWidth(), m_renderSurface->getWindowHeight());
    m_sceneView->setViewMatrix(m_viewMatrix);
    m_sceneView->update();
    m_sceneView->cull();
    m_sceneView->draw();
    m_renderSurface->swapBuffers();
    m_renderSurface->releaseContext();
}

void cSplash::kill()
{
    if (m_sceneView.valid() && IsOpen() && m_renderSurface->makeCurrent())
    {
        // Free the splash scene's GL objects while its context still exists.
        m_sceneView->releaseAllGLObjects();
        m_sceneView->flushAllDeletedGLObjects();
        m_renderSurface->releaseContext();
    }
    m_sceneView = nullptr;
    if (m_renderSurface.valid()) m_renderSurface->stop();
    m_renderSurface = nullptr;
}

osg::Geode* cSplash::CreateTexQuad(float height, float width)
{
    osg::ref_ptr<osg::Geometry> quad = osg::createTexturedQuadGeometry(
        osg::Vec3(-width * 0.5f, 0.f, -height * 0.5f), osg::Vec3(width, 0.f, 0.f), osg::Vec3(0.f, 0.f, height));
    osg::ref_ptr<osg::Texture2D> texture = new osg::Texture2D(progressImage());
    texture->setFilter(osg::Texture::MIN_FILTER, osg::Texture::NEAREST);
    texture->setFilter(osg::Texture::MAG_FILTER, osg::Texture::NEAREST);
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->addDrawable(quad.get());
    osg::StateSet* state = geode->getOrCreateStateSet();
    state->setTextureAttributeAndModes(0, texture.get(), osg::StateAttribute::ON);
    state->setAttributeAndModes(new osg::CullFace(osg::CullFace::BACK), osg::StateAttribute::ON);
    state->setMode(GL_LIGHTING, osg::StateAttribute::OFF);
    return geode.release();
}
