// Tracker controls of the content manager, the threshold scan, and the
// marker hider overlay.
#include "CObjectManager.h"

#include "CPathResolver.h"
#include "CTextureStore.h"
#include "CVideoStream.h"

#include <osg/Depth>
#include <osg/FrameStamp>
#include <osg/MatrixTransform>
#include <osg/Program>
#include <osg/Projection>
#include <osgUtil/SceneView>

namespace
{
const int kHiderTextureSize = 1024;  // texels

osg::Program* blendProgram()
{
    osg::ref_ptr<osg::Program> program = new osg::Program;
    program->setName("marker_hide_blend_program");
    for (auto kind : {osg::Shader::VERTEX, osg::Shader::FRAGMENT})
    {
        osg::ref_ptr<osg::Shader> shader = new osg::Shader(kind);
        const char* file = kind == osg::Shader::VERTEX ? "shaders/markerHideBlend.vert" : "shaders/markerHideBlend.frag";
        shader->loadShaderSourceFromFile(CPathResolver::Resolve(file));
        program->addShader(shader.get());
    }
    return program.release();
}

osg::Projection* orthoOver(int width, int height, osg::Node* child)
{
    osg::ref_ptr<osg::Projection> projection = new osg::Projection(osg::Matrix::ortho2D(0, width, 0, height));
    osg::ref_ptr<osg::MatrixTransform> transform = new osg::MatrixTransform;
    transform->setReferenceFrame(osg::Transform::ABSOLUTE_RF);
    transform->addChild(child);
    projection->addChild(transform.get());
    return projection.release();
}
}

int CObjectManager::GetThresholdValue() const { return m_tracker->getUserThreshold(); }
void CObjectManager::SetThresholdValue(int value) { m_tracker->setUserThreshold(value); }
void CObjectManager::IncreaseThreshold() { m_tracker->setUserThreshold(m_tracker->getUserThreshold() + 1); }
void CObjectManager::DecreaseThreshold() { m_tracker->setUserThreshold(m_tracker->getUserThreshold() - 1); }
bool CObjectManager::GetUseAuto() const { return m_tracker->getUseAuto(); }
void CObjectManager::SetUseAuto(bool on) { m_tracker->setUseAuto(on); }
int CObjectManager::GetAutoStepSize() const { return m_tracker->getAutoStepSize(); }
void CObjectManager::SetAutoStepSize(int size) { m_tracker->setAutoStepSize(size); }
int CObjectManager::GetMaxAutoSteps() const { return m_tracker->getMaxAutoSteps(); }
void CObjectManager::SetMaxSteps(int steps) { m_tracker->setMaxAutoSteps(steps); }
float CObjectManager::GetConfTol() const { return m_tracker->GetTol(); }
void CObjectManager::SetConfTol(float tolerance) { m_tracker->SetTol(tolerance); }
void CObjectManager::SetPatternDetectionMode(int mode) { m_tracker->setPatternDetectionMode(mode); }
int CObjectManager::GetPatternDetectionMode() const { return m_tracker->getPatternDetectionMode(); }
bool CObjectManager::SaveTargetPattern() { return m_tracker->SaveTargetPatt(); }
const double* CObjectManager::GetTrackerProjection() const { return m_tracker->getProjectionMatrix(); }
osg::Node* CObjectManager::BuildTrackerDebugLayer(const osg::Vec2f& size) { return m_tracker->BuildDebugLayer(size); }
void CObjectManager::ToggleTrakerDebugView() { m_tracker->ToggleDebugView(); }

void CObjectManager::AutoScan(osgUtil::SceneView* viewer)
{
    int bestCount = 0, bestThreshold = m_tracker->getUserThreshold();
    for (int threshold = 0; threshold <= 255; threshold += 5)
    {
        m_tracker->setUserThreshold(threshold);
        if (m_currentStream) m_currentStream->dirty();  // the same picture, analysed again
        UpdateTracker();
        Update(0.f, 0);
        if (viewer)
        {
            viewer->update();
            viewer->cull();
            viewer->draw();
        }
        if (m_visibleCount >= bestCount)
        {
            bestCount = m_visibleCount;
            bestThreshold = threshold;
        }
    }
    m_tracker->setUserThreshold(bestThreshold);
}

osg::Node* CObjectManager::BuildDebugView(int width, int height)
{
    m_hiderGeodes = new osg::Group;
    for (CTrackedMarker* marker : m_markers)
        if (marker->HasGeometry() && marker->GetHiderGeode()) m_hiderGeodes->addChild(marker->GetHiderGeode());
    osg::ref_ptr<osg::Group> holder = new osg::Group;
    holder->addChild(m_hiderGeodes.get());
    osg::StateSet* state = holder->getOrCreateStateSet();
    state->setAttribute(new osg::Depth(osg::Depth::ALWAYS, 1.0, 1.0, true));
    state->setRenderBinDetails(1, "RenderBin");
    return orthoOver(width, height, holder.get());
}

osg::Texture2D* CObjectManager::BuildMarkerHiderTexture(int width, int height, osg::Group* sceneGroup)
{
    osg::ref_ptr<osg::Texture2D> texture = new osg::Texture2D;
    texture->setTextureSize(kHiderTextureSize, kHiderTextureSize);
    texture->setInternalFormat(GL_RGBA);
    texture->setFilter(osg::Texture::MIN_FILTER, osg::Texture::LINEAR);
    texture->setFilter(osg::Texture::MAG_FILTER, osg::Texture::LINEAR);
    osg::ref_ptr<osg::Camera> camera = new osg::Camera;
    camera->setClearColor(osg::Vec4(0.5f, 0.5f, 0.5f, 0.f));
    camera->setClearMask(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    camera->setViewport(0, 0, kHiderTextureSize, kHiderTextureSize);
    camera->getOrCreateStateSet()->setMode(GL_LIGHTING, osg::StateAttribute::OFF);
    camera->setRenderOrder(osg::Camera::PRE_RENDER);
    camera->setRenderTargetImplementation(osg::Camera::FRAME_BUFFER_OBJECT);
    camera->attach(osg::Camera::COLOR_BUFFER, texture.get());
    camera->setReferenceFrame(osg::Transform::ABSOLUTE_RF);
    camera->setProjectionMatrix(osg::Matrix::identity());
    camera->setViewMatrix(osg::Matrix::identity());
    camera->addChild(BuildDebugView(width, height));
    if (sceneGroup) sceneGroup->addChild(camera.get());
    return texture.release();
}

osg::Node* CObjectManager::BuildHiderOverLay(int width, int height, osg::Group* sceneGroup)
{
    osg::ref_ptr<osg::Texture2D> patches = BuildMarkerHiderTexture(width, height, sceneGroup);
    if (!patches.valid()) return nullptr;
    osg::ref_ptr<osg::Geometry> quad = osg::createTexturedQuadGeometry(
        osg::Vec3(0.f, 0.f, 0.f), osg::Vec3(static_cast<float>(width), 0.f, 0.f),
        osg::Vec3(0.f, static_cast<float>(height), 0.f));
    osg::StateSet* state = quad->getOrCreateStateSet();
    state->setAttributeAndModes(blendProgram(), osg::StateAttribute::ON);
    state->setTextureAttributeAndModes(0, patches.get(), osg::StateAttribute::ON);
    state->addUniform(new osg::Uniform("markerTex", 0));
    state->setTextureAttributeAndModes(1, CTextureStore::Instance()->GetSceneTexture(), osg::StateAttribute::ON);
    state->addUniform(new osg::Uniform("frameBuffer", 1));
    state->setMode(GL_LIGHTING, osg::StateAttribute::OFF);
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->addDrawable(quad.get());
    m_hiderOverlay = new osg::Group;
    m_hiderOverlay->addChild(geode.get());
    osg::StateSet* overlayState = m_hiderOverlay->getOrCreateStateSet();
    overlayState->setAttribute(new osg::Depth(osg::Depth::ALWAYS, 1.0, 1.0));
    overlayState->setRenderBinDetails(1, "RenderBin");
    osg::ref_ptr<osg::Node> overlay = orthoOver(width, height, m_hiderOverlay.get());
    m_hiderOverlayRoot = overlay;
    SetHiderSuppressed(m_hiderSuppressed);
    if (sceneGroup) sceneGroup->addChild(overlay.get());
    return overlay.release();
}

void CObjectManager::SetHiderSuppressed(bool suppressed)
{
    m_hiderSuppressed = suppressed;
    if (m_hiderOverlayRoot.valid()) m_hiderOverlayRoot->setNodeMask(suppressed ? 0u : ~0u);
}

void CObjectManager::ToggleHiderVisible()
{
    if (!m_hiderOverlay.valid()) return;
    const unsigned int mask = m_hiderOverlay->getNodeMask();
    if (mask == ~0u) m_hiderOverlay->setNodeMask(0u);
    else if (mask == 0u) m_hiderOverlay->setNodeMask(~0u);
}
