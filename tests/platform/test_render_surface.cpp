// The render surface and the splash window on a real X display.
#include "CKeyboardMouseCallback.h"
#include "CRenderSurface.h"
#include "cSplash.h"

#include "EngineLog.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
struct CountingCallback : CKeyboardMouseCallback
{
    int events = 0;
    void mouseMotion(float, float) override { ++events; }
    void keyPress(int) override { ++events; }
};

TEST(RenderSurface, RealiseStopAndRealiseAgain)
{
    if (!HaveDisplay()) GTEST_SKIP() << "needs an X display";
    osg::ref_ptr<CRenderSurface> surface = new CRenderSurface;
    surface->setWindowName("surface test");
    surface->setWindowRectangle(10, 20, 320, 240);
    EXPECT_FALSE(surface->isRealized());
    for (int round = 0; round < 2; ++round)
    {
        ASSERT_TRUE(surface->realize());
        EXPECT_TRUE(surface->isRealized());
        EXPECT_EQ(surface->getWindowWidth(), 320u);
        EXPECT_EQ(surface->getWindowHeight(), 240u);
        EXPECT_TRUE(surface->makeCurrent());
        surface->swapBuffers();
        CountingCallback input;
        surface->pollInput(input);  // nothing pending: returns at once
        surface->stop();
        EXPECT_FALSE(surface->isRealized());
    }
    surface->stop();  // stopping twice is harmless
}

TEST(RenderSurface, WithoutADisplayRealisingFails)
{
    const char* saved = std::getenv("DISPLAY");
    const std::string display = saved ? saved : "";
    ::unsetenv("DISPLAY");
    osg::ref_ptr<CRenderSurface> surface = new CRenderSurface;
    EXPECT_FALSE(surface->realize());
    EXPECT_FALSE(surface->isRealized());
    if (!display.empty()) ::setenv("DISPLAY", display.c_str(), 1);
}

TEST(Splash, ProgressFillsExactlyAtTheLastStep)
{
    if (!HaveDisplay()) GTEST_SKIP() << "needs an X display";
    TestFolder folder;
    folder.CopyWorkingFolder();
    ScopedCurrentFolder inFolder(folder.Path());
    for (int round = 0; round < 2; ++round)
    {
        cSplash splash;
        splash.init(4);
        EXPECT_TRUE(splash.IsOpen());
        splash.step(0, "first");
        EXPECT_FLOAT_EQ(splash.GetProgress(), 0.25f);
        splash.step(3, "last");
        EXPECT_FLOAT_EQ(splash.GetProgress(), 1.0f);
        splash.kill();
        EXPECT_FALSE(splash.IsOpen());
        splash.kill();
    }
}

TEST(Splash, StepsWithoutAWindowOnlyMoveTheBar)
{
    const char* saved = std::getenv("DISPLAY");
    const std::string display = saved ? saved : "";
    ::unsetenv("DISPLAY");
    cSplash splash;
    splash.init(2);
    EXPECT_FALSE(splash.IsOpen());
    splash.step(0, "a");
    EXPECT_FLOAT_EQ(splash.GetProgress(), 0.5f);
    if (!display.empty()) ::setenv("DISPLAY", display.c_str(), 1);
}
}
