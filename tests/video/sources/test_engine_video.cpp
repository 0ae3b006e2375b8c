// The engine showing a clip: the console host run unattended with a fixed
// time step, and the engine in this process drawing the clip's frames into
// its window in order.
#include "CVexaBox.h"
#include "SourceTestSupport.h"

#include "ChildProcess.h"
#include "TestClips.h"
#include "TestFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <osgUtil/SceneView>

#include <cstdlib>
#include <sstream>

using ::testing::HasSubstr;

namespace
{
bool haveDisplay()
{
    const char* d = std::getenv("DISPLAY");
    return d && *d;
}

std::vector<std::string> logMessages(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("MSG ", 0) == 0) lines.push_back(line.substr(9, line.size() - 10));
    return lines;
}

class EngineVideo : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!haveDisplay()) GTEST_SKIP() << "needs an X display";
        folder.CopyWorkingFolder();
    }
    std::unique_ptr<ChildProcess> Run(const std::vector<std::string>& args)
    {
        auto host = std::make_unique<ChildProcess>(VEXAMARK_BASIC_PATH, args, folder.Path(),
                                                   std::vector<std::string>{"VEXAMARK_NONINTERACTIVE=1"});
        EXPECT_TRUE(host->Wait(90.0)) << "the host did not stop by itself";
        return host;
    }
    std::vector<std::string> Log() const { return logMessages(TestFolder::ReadFile(folder / "Data/messageLog.txt")); }

    TestFolder folder;
};

TEST_F(EngineVideo, TheConsoleHostPlaysAClipFrameLockedAndExitsCleanly)
{
    const std::string clip = sourcetest::Clip(160, 120, 30, 25);
    auto host = Run({"-FFMPEG", "-video:", clip, "-frames:", "40"});
    EXPECT_EQ(host->ExitCode(), 0) << host->StandardError();
    const std::vector<std::string> log = Log();
    EXPECT_THAT(log, ::testing::IsSupersetOf(std::vector<std::string>{"CVideo::Init : Attempting to use FFMPEG",
                                              "CVideo::Init : Successfully connect to Stream"}));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "VexaBox :Init : Complete");
}

TEST_F(EngineVideo, ABrokenClipOrNoCameraLeavesARunningEngine)
{
    const std::string bad = folder / "bad.mp4";
    TestFolder::WriteFile(bad, "not a video at all");
    auto host = Run({"-FFMPEG", "-video:", bad, "-frames:", "10"});
    EXPECT_EQ(host->ExitCode(), 0);
    EXPECT_THAT(host->StandardError(), HasSubstr("setupCamera(): Unable to open connection to camera.\n"));
    EXPECT_THAT(Log(), ::testing::Contains("CVideo::Init: Error: Could not initialize video!"));

    // The default source is a camera, and this machine may have none.
    auto camera = Run({"-frames:", "10"});
    EXPECT_EQ(camera->ExitCode(), 0);
    const std::vector<std::string> log = Log();
    EXPECT_THAT(log, ::testing::Contains("CVideo::Init : Attempting to use DSHOW"));
    if (::testing::Matches(::testing::Contains("CVideo::Init: Error: Could not initialize video!"))(log))
        EXPECT_THAT(camera->StandardError(), ::testing::AnyOf(HasSubstr("Warning! No WebCam Detected: "),
                                                             HasSubstr("Unable to connect to webcam: "),
                                                             HasSubstr("Webcam error: ")));
}

TEST_F(EngineVideo, TheWindowShowsTheClipsFramesInOrder)
{
    const std::string clip = sourcetest::Clip(160, 120, 30, 25);
    ScopedCurrentFolder inFolder(folder.Path());
    std::vector<std::string> args = {"engine", "-FFMPEG", "-video:", clip};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    CVexaBox box;
    ASSERT_TRUE(box.Init(static_cast<int>(argv.size()), argv.data(), "Data/dataList.dat", false, false, false, false));
    ASSERT_NE(box.GetRenderSurface(), nullptr);
    std::vector<int> shown;
    for (int frame = 0; frame < 35; ++frame)
    {
        ASSERT_TRUE(box.Update(0.f));
        box.Render();
        CRenderSurface* surface = box.GetRenderSurface();
        ASSERT_TRUE(surface->makeCurrent());
        const int w = surface->getWindowWidth(), h = surface->getWindowHeight();
        std::vector<unsigned char> pixels(static_cast<size_t>(w) * h * 4);
        // Draw the same frame once more into the back buffer and read it there
        // (what a front buffer holds after a swap is not dependable).
        osgUtil::SceneView* view = box.GetSceneView();
        view->cull();
        view->draw();
        glFinish();
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, w, h, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
        shown.push_back(vexa::media::testing::readFrameNumber(pixels.data(), w, h, w * 4, true));
    }
    box.CleanUp();
    std::vector<int> expected;
    for (int i = 0; i < 35; ++i) expected.push_back(i % 30);
    EXPECT_EQ(shown, expected);
}
}
