#include "EffectTestSupport.h"

#include "CEffectLibrary.h"

#include <osg/Camera>
#include <osg/Geometry>
#include <osg/Material>
#include <osg/Notify>
#include <osgViewer/Viewer>

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace
{
// Collects osg notifications while a capture runs.
class CollectingHandler : public osg::NotifyHandler
{
public:
    void notify(osg::NotifySeverity severity, const char* message) override
    {
        if (severity <= osg::WARN) text += message;
    }
    std::string text;
};
}

void EffectFolder::SetUp()
{
    m_folder.CopyWorkingFolder();
    m_here.reset(new ScopedCurrentFolder(m_folder.Path()));
    CEffectLibrary::Instance()->ClearAll();
}

void EffectFolder::TearDown()
{
    CEffectLibrary::Instance()->ClearAll();
    m_here.reset();
}

void EffectFolder::Write(const std::string& relative, const std::string& text)
{
    TestFolder::WriteFile(m_folder / relative, text);
}

std::string EffectFolder::LoadPresets(const std::string& text, const std::string& name)
{
    Write(name, text);
    return Captured([&]() { CEffectLibrary::Instance()->LoadPresets(name); });
}

std::string EffectFolder::Captured(const std::function<void()>& action)
{
    osg::ref_ptr<osg::NotifyHandler> previous = osg::getNotifyHandler();
    osg::ref_ptr<CollectingHandler> handler = new CollectingHandler;
    osg::setNotifyHandler(handler.get());
    ::testing::internal::CaptureStdout();
    action();
    const std::string printed = ::testing::internal::GetCapturedStdout();
    osg::setNotifyHandler(previous.get());
    return printed + handler->text;
}

osg::Geode* MakeSphere()
{
    const int rings = 32, segments = 48;
    osg::Geometry* geometry = new osg::Geometry;
    osg::Vec3Array* v = new osg::Vec3Array;
    osg::Vec2Array* t = new osg::Vec2Array;
    for (int r = 0; r <= rings; ++r)
        for (int s = 0; s <= segments; ++s)
        {
            const double lat = -M_PI / 2 + M_PI * r / rings, lon = 2 * M_PI * s / segments;
            v->push_back(osg::Vec3(std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon), std::sin(lat)));
            t->push_back(osg::Vec2(float(s) / segments, float(r) / rings));
        }
    osg::DrawElementsUInt* triangles = new osg::DrawElementsUInt(GL_TRIANGLES);
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < segments; ++s)
        {
            const unsigned a = r * (segments + 1) + s, b = a + segments + 1;
            for (unsigned i : {a, a + 1, b + 1, a, b + 1, b}) triangles->push_back(i);
        }
    geometry->setVertexArray(v);
    geometry->setNormalArray(v, osg::Array::BIND_PER_VERTEX);  // unit sphere: normal = position
    geometry->setTexCoordArray(0, t);
    geometry->addPrimitiveSet(triangles);
    osg::Geode* geode = new osg::Geode;
    geode->addDrawable(geometry);
    osg::Material* material = new osg::Material;
    material->setDiffuse(osg::Material::FRONT_AND_BACK, osg::Vec4(0.7f, 0.7f, 0.7f, 1.f));
    material->setAmbient(osg::Material::FRONT_AND_BACK, osg::Vec4(0.2f, 0.2f, 0.2f, 1.f));
    geometry->getOrCreateStateSet()->setAttributeAndModes(material, osg::StateAttribute::ON);
    return geode;
}

osg::Image* MakeStripes(int size)
{
    osg::Image* image = new osg::Image;
    image->allocateImage(size, size, 1, GL_RGB, GL_UNSIGNED_BYTE);
    const unsigned char colours[4][3] = {{230, 200, 60}, {40, 60, 160}, {220, 220, 220}, {60, 140, 60}};
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            const unsigned char* c = colours[(x * 8 / size) % 4];
            unsigned char* p = image->data(x, y);
            p[0] = c[0], p[1] = c[1], p[2] = c[2];
        }
    return image;
}

namespace
{
struct ReadBack : osg::Camera::DrawCallback
{
    ReadBack(int s, const std::function<void(osg::State&)>& i) : size(s), inspect(i) {}
    void operator()(osg::RenderInfo& info) const override
    {
        image->readPixels(0, 0, size, size, GL_RGB, GL_UNSIGNED_BYTE);
        if (inspect && last) inspect(*info.getState());
    }
    int size;
    std::function<void(osg::State&)> inspect;
    bool last = false;
    osg::ref_ptr<osg::Image> image = new osg::Image;
};
}

osg::ref_ptr<osg::Image> Draw(osg::Node* scene, int size, const std::function<void(osg::State&)>& inspect)
{
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return nullptr;
    osg::ref_ptr<osg::GraphicsContext::Traits> traits = new osg::GraphicsContext::Traits;
    traits->readDISPLAY();
    traits->setUndefinedScreenDetailsToDefaultScreen();
    traits->width = traits->height = size;
    traits->windowDecoration = false;
    traits->doubleBuffer = true;
    traits->pbuffer = true;
    osg::ref_ptr<osg::GraphicsContext> context = osg::GraphicsContext::createGraphicsContext(traits.get());
    if (!context.valid())
    {
        traits->pbuffer = false;
        context = osg::GraphicsContext::createGraphicsContext(traits.get());
    }
    if (!context.valid()) return nullptr;
    osgViewer::Viewer viewer;
    viewer.setThreadingModel(osgViewer::Viewer::SingleThreaded);
    viewer.setLightingMode(osg::View::HEADLIGHT);
    osg::Camera* camera = viewer.getCamera();
    camera->setGraphicsContext(context.get());
    camera->setViewport(0, 0, size, size);
    camera->setClearColor(osg::Vec4(0.1f, 0.1f, 0.1f, 1));
    camera->setProjectionMatrixAsPerspective(35.0, 1.0, 1.0, 20.0);
    camera->setComputeNearFarMode(osg::Camera::DO_NOT_COMPUTE_NEAR_FAR);
    osg::ref_ptr<ReadBack> readBack = new ReadBack(size, inspect);
    camera->setFinalDrawCallback(readBack.get());
    viewer.setSceneData(scene);
    viewer.realize();
    for (int frame = 0; frame < 3; ++frame)
    {
        readBack->last = frame == 2;
        camera->setViewMatrixAsLookAt(osg::Vec3d(0, 0, 4), osg::Vec3d(0, 0, 0), osg::Vec3d(0, 1, 0));
        viewer.frame();
    }
    return readBack->image;
}

int CountLines(const std::string& text, const std::string& part)
{
    std::istringstream in(text);
    std::string line;
    int count = 0;
    while (std::getline(in, line))
        if (line.find(part) != std::string::npos) ++count;
    return count;
}

std::string BundledPresets()
{
    return TestFolder::ReadFile(std::string(VEXAMARK_SOURCE_DIR) + "/data/models/effects.mfx");
}
