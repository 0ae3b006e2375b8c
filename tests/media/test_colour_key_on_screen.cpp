// Colour-keyed video drawn through the real scene graph on an X server of the
// test's own: on a plane showing stripes of a clip, texels within the key's
// tolerance let the background through and the others show the clip; a video
// material keys the same way on a model.
#include "CColourKey.h"
#include "CVideoEntity.h"
#include "CVideoMaterialEntity.h"
#include "MediaFileWriter.h"
#include "MediaTestSupport.h"
#include "ObjectTestSupport.h"
#include "XvfbServer.h"

#include <osg/Camera>
#include <osg/Geode>
#include <osg/Geometry>
#include <osgViewer/Viewer>

#include <array>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace
{
const int kSize = 160;
const int kStripes = 4;
// The clip's stripes, left to right (0..255): the key colour itself, a colour
// 0.18 from it, a colour 0.39 from it, and red far from it.
const uint8_t kStripeColours[kStripes][3] = {{0, 178, 64}, {30, 200, 90}, {100, 178, 64}, {200, 60, 40}};
const osg::Vec3f kKey(0.f, 178.f / 255.f, 64.f / 255.f);
const float kTolerance = 0.3f;
const uint8_t kBackground[3] = {0, 0, 255};

struct ReadBack : osg::Camera::DrawCallback
{
    void operator()(osg::RenderInfo&) const override { image->readPixels(0, 0, kSize, kSize, GL_RGB, GL_UNSIGNED_BYTE); }
    osg::ref_ptr<osg::Image> image = new osg::Image;
};

// A clip of `frames` frames of four upright stripes.
std::string WriteStripes(const std::string& path, int frames)
{
    vexa::media::MediaFileWriter writer;
    vexa::media::MediaFileWriter::Settings settings;
    settings.width = 160, settings.height = 120, settings.quality = 95;
    if (!writer.open(path, settings)) return writer.lastError();
    std::vector<uint8_t> bgra(size_t(settings.width) * size_t(settings.height) * 4);
    for (int y = 0; y < settings.height; ++y)
        for (int x = 0; x < settings.width; ++x)
        {
            const uint8_t* c = kStripeColours[x * kStripes / settings.width];
            uint8_t* p = &bgra[(size_t(y) * size_t(settings.width) + size_t(x)) * 4];
            p[0] = c[2], p[1] = c[1], p[2] = c[0], p[3] = 255;
        }
    for (int i = 0; i < frames; ++i)
        if (!writer.writeVideoFrame(bgra.data())) return writer.lastError();
    return writer.close() ? "" : writer.lastError();
}

class ColourKeyOnScreen : public ContentFolder
{
protected:
    void SetUp() override
    {
        ContentFolder::SetUp();
        ASSERT_FALSE(server.Name().empty()) << "Xvfb did not start";
        ASSERT_EQ(WriteStripes(Path("stripes.mp4"), 50), "");
        osg::ref_ptr<osg::GraphicsContext::Traits> traits = new osg::GraphicsContext::Traits;
        traits->displayNum = std::atoi(server.Name().c_str() + 1);
        traits->width = traits->height = kSize;
        traits->windowDecoration = false;
        traits->doubleBuffer = true;
        context = osg::GraphicsContext::createGraphicsContext(traits.get());
        ASSERT_TRUE(context.valid());
        viewer.setThreadingModel(osgViewer::Viewer::SingleThreaded);
        osg::Camera* camera = viewer.getCamera();
        camera->setGraphicsContext(context.get());
        camera->setViewport(0, 0, kSize, kSize);
        camera->setClearColor(osg::Vec4(kBackground[0] / 255.f, kBackground[1] / 255.f, kBackground[2] / 255.f, 1));
        camera->setProjectionMatrixAsOrtho(-40, 40, -40, 40, 1, 1000);
        camera->setViewMatrixAsLookAt(osg::Vec3d(0, 0, 100), osg::Vec3d(), osg::Vec3d(0, 1, 0));
        camera->setFinalDrawCallback(readBack.get());
        viewer.setCameraManipulator(nullptr);
    }
    // Draws frames (the marker seen) until the red stripe shows; the pixels
    // at the middle of each stripe.
    std::vector<std::array<int, 3>> Stripes(CMarkerEntity& entity)
    {
        std::vector<std::array<int, 3>> shown;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        do
        {
            entity.update(0.04f, marker.Seen());
            viewer.frame();
            shown.clear();
            for (int s = 0; s < kStripes; ++s)
            {
                const uint8_t* p = readBack->image->data(kSize * (2 * s + 1) / (2 * kStripes), kSize / 2);
                shown.push_back({p[0], p[1], p[2]});
            }
            if (shown[3][0] > 150 && shown[3][2] < 100) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        } while (std::chrono::steady_clock::now() < end);
        return shown;
    }
    static bool Near(const std::array<int, 3>& pixel, const uint8_t* colour)
    {
        return std::abs(pixel[0] - colour[0]) + std::abs(pixel[1] - colour[1]) + std::abs(pixel[2] - colour[2]) < 40;
    }
    void ExpectKeyed(const std::vector<std::array<int, 3>>& shown)
    {
        ASSERT_EQ(shown.size(), size_t(kStripes));
        for (int s = 0; s < kStripes; ++s)
        {
            const bool keyed = CColourKey::KeyedOut(
                osg::Vec3f(kStripeColours[s][0], kStripeColours[s][1], kStripeColours[s][2]) / 255.f, kKey, kTolerance);
            const uint8_t* expected = keyed ? kBackground : kStripeColours[s];
            EXPECT_TRUE(Near(shown[size_t(s)], expected))
                << "stripe " << s << (keyed ? " keyed out" : " kept") << ": " << shown[size_t(s)][0] << " "
                << shown[size_t(s)][1] << " " << shown[size_t(s)][2];
        }
    }

    XvfbServer server;
    osg::ref_ptr<osg::GraphicsContext> context;
    osgViewer::Viewer viewer;
    osg::ref_ptr<ReadBack> readBack = new ReadBack;
    MarkerScript marker;
};

TEST_F(ColourKeyOnScreen, APlaneLetsTheBackgroundThroughWhereTheClipIsNearItsKeyColour)
{
    CVideoEntity::Settings settings;
    settings.file = "stripes.mp4";
    settings.type = 1;  // square: the plane fills the view
    settings.blend = true;
    settings.keyColour = kKey;
    settings.tolerance = kTolerance;
    CVideoEntity plane(settings, false);
    viewer.setSceneData(plane.GetNode());
    viewer.realize();
    const std::vector<std::array<int, 3>> shown = Stripes(plane);
    EXPECT_FALSE(CColourKey::KeyedOut(osg::Vec3f(100, 178, 64) / 255.f, kKey, kTolerance)) << "the third stripe stays";
    EXPECT_TRUE(CColourKey::KeyedOut(osg::Vec3f(30, 200, 90) / 255.f, kKey, kTolerance)) << "the second goes";
    ExpectKeyed(shown);
    plane.CleanUp();
}

TEST_F(ColourKeyOnScreen, WithoutBlendTheWholeClipShows)
{
    CVideoEntity::Settings settings;
    settings.file = "stripes.mp4";
    settings.type = 1;
    CVideoEntity plane(settings, false);
    viewer.setSceneData(plane.GetNode());
    viewer.realize();
    const std::vector<std::array<int, 3>> shown = Stripes(plane);
    for (int s = 0; s < kStripes; ++s) EXPECT_TRUE(Near(shown[size_t(s)], kStripeColours[s])) << "stripe " << s;
    plane.CleanUp();
}

TEST_F(ColourKeyOnScreen, AVideoMaterialKeysTheModelsTexture)
{
    // A square of the view's size with texture coordinates 0..1.
    osg::ref_ptr<osg::Geometry> square = osg::createTexturedQuadGeometry(osg::Vec3(-40, -40, 0), osg::Vec3(80, 0, 0),
                                                                         osg::Vec3(0, 80, 0));
    osg::ref_ptr<osg::Geode> model = new osg::Geode;
    model->addDrawable(square.get());
    CVideoMaterialEntity::Settings settings;
    settings.file = "stripes.mp4";
    settings.blend = true;
    settings.keyColour = kKey;
    settings.tolerance = kTolerance;
    CVideoMaterialEntity material(settings, model.get(), false);
    viewer.setSceneData(model.get());
    viewer.realize();
    ExpectKeyed(Stripes(material));
    material.CleanUp();
}
}
