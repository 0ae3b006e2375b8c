// The background layer drawn for real: the video fills the window upright,
// and the threshold view turns it two-valued around the threshold.
#include "CRenderSurface.h"
#include "CVideo.h"
#include "VideoLayer.h"

#include "TestFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <osgUtil/SceneView>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{
const int kWinW = 320, kWinH = 240;  // pixels

// Four quadrants in memory order (first row = top of the picture):
// top-left red, top-right green, bottom-left blue, bottom-right white.
class QuadrantStream : public CVideoStream
{
public:
    QuadrantStream() : CVideoStream(false)
    {
        allocateImage(64, 48, 1, GL_BGRA, GL_UNSIGNED_BYTE);
        setInternalTextureFormat(GL_RGBA);
        for (int y = 0; y < t(); ++y)
            for (int x = 0; x < s(); ++x)
            {
                unsigned char* p = data(x, y);
                const bool top = y < t() / 2, left = x < s() / 2;
                const unsigned char r = (top && left) || (!top && !left) ? 255 : 0;
                const unsigned char g = (top && !left) || (!top && !left) ? 255 : 0;
                const unsigned char b = (!top) ? 255 : 0;
                p[0] = b;
                p[1] = g;
                p[2] = r;
                p[3] = 255;
            }
        m_valid = true;
    }
};

class BackgroundLayer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* d = std::getenv("DISPLAY");
        if (!d || !*d) GTEST_SKIP() << "needs an X display";
        folder.CopyWorkingFolder();
        surface = new CRenderSurface;
        surface->setWindowName("layer test");
        surface->setWindowRectangle(0, 0, kWinW, kWinH);
        ASSERT_TRUE(surface->realize());
        video.InitWithStream(new QuadrantStream, 1);
        view = new osgUtil::SceneView;
        view->setDefaults(osgUtil::SceneView::COMPILE_GLOBJECTS_AT_INIT);
        view->setState(surface->getGraphicsContext()->getState());
        view->setClearColor(osg::Vec4(1.f, 0.f, 1.f, 1.f));  // magenta: not video
        view->setSceneData(video.GetVideoNode());
    }
    void TearDown() override
    {
        view = nullptr;
        if (surface.valid()) surface->stop();
    }

    // RGB at a window position measured from the top-left corner.
    std::vector<int> Draw(int x, int y)
    {
        surface->makeCurrent();
        view->setViewport(0, 0, kWinW, kWinH);
        view->update();
        view->cull();
        view->draw();
        glFinish();
        unsigned char rgb[3];
        glReadPixels(x, kWinH - 1 - y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
        return {rgb[0], rgb[1], rgb[2]};
    }

    TestFolder folder;
    ScopedCurrentFolder inFolder{folder.Path()};
    osg::ref_ptr<CRenderSurface> surface;
    CVideo video;
    osg::ref_ptr<osgUtil::SceneView> view;
};

MATCHER_P3(NearRgb, r, g, b, "")
{
    return std::abs(arg[0] - r) <= 8 && std::abs(arg[1] - g) <= 8 && std::abs(arg[2] - b) <= 8;
}

TEST_F(BackgroundLayer, TheVideoFillsTheWindowUpright)
{
    EXPECT_THAT(Draw(kWinW / 4, kWinH / 4), NearRgb(255, 0, 0));
    EXPECT_THAT(Draw(3 * kWinW / 4, kWinH / 4), NearRgb(0, 255, 0));
    EXPECT_THAT(Draw(kWinW / 4, 3 * kWinH / 4), NearRgb(0, 0, 255));
    EXPECT_THAT(Draw(3 * kWinW / 4, 3 * kWinH / 4), NearRgb(255, 255, 255));
    // Next to the corners it is video too, not the clear colour (the outermost
    // half texel blends with the texture's border).
    EXPECT_THAT(Draw(3, 3), NearRgb(255, 0, 0));
    EXPECT_THAT(Draw(kWinW - 4, kWinH - 4), NearRgb(255, 255, 255));
}

TEST_F(BackgroundLayer, FlippedTheVideoIsMirroredLeftToRight)
{
    video.ToggleFlip();
    EXPECT_THAT(Draw(kWinW / 4, kWinH / 4), NearRgb(0, 255, 0));
    EXPECT_THAT(Draw(3 * kWinW / 4, kWinH / 4), NearRgb(255, 0, 0));
}

TEST_F(BackgroundLayer, ThresholdViewIsTwoValuedAroundTheThreshold)
{
    video.ToggleUseThreshold();
    video.Update(0.5f);
    // Luminance: red 0.30 and blue 0.11 fall below 0.5, green 0.59 and white above.
    EXPECT_THAT(Draw(kWinW / 4, kWinH / 4), NearRgb(0, 0, 0));
    EXPECT_THAT(Draw(3 * kWinW / 4, kWinH / 4), NearRgb(255, 255, 255));
    EXPECT_THAT(Draw(kWinW / 4, 3 * kWinH / 4), NearRgb(0, 0, 0));
    EXPECT_THAT(Draw(3 * kWinW / 4, 3 * kWinH / 4), NearRgb(255, 255, 255));
    video.Update(0.2f);  // now only blue is darker
    EXPECT_THAT(Draw(kWinW / 4, kWinH / 4), NearRgb(255, 255, 255));
    EXPECT_THAT(Draw(kWinW / 4, 3 * kWinH / 4), NearRgb(0, 0, 0));
}
}
