// The video manager's choice of source, its configuration file, and the
// background layer's geometry and state.
#include "CVideo.h"
#include "VideoLayer.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <osg/BlendFunc>

namespace
{
class VideoManager : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder.CopyWorkingFolder();
        ::testing::internal::CaptureStdout();
    }
    void TearDown() override { ::testing::internal::GetCapturedStdout(); }
    TestFolder folder;
    ScopedCurrentFolder inFolder{folder.Path()};
};

TEST_F(VideoManager, CameraConfigurationKeepsTheLastPlainLineWithItsLineEnd)
{
    TestFolder::WriteFile(folder / "Data/camera.cfg", "# comment\n\nA\nB\n$ end\nC\n");
    std::string config;
    ASSERT_TRUE(CVideo::ReadCameraConfig("Data/camera.cfg", config));
    EXPECT_EQ(config, "B\n");
    EXPECT_FALSE(CVideo::ReadCameraConfig("Data/missing.cfg", config));
}

TEST_F(VideoManager, AnUnreadableConfigurationFileIsTheOnlyFailure)
{
    CVideo video;
    TearDown();
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(video.InitWebCamStream(1, "camvideo", false, false, "Data/missing.cfg"));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Error: Failed to load Video congfig file Data/missing.cfg\n");
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(video.GetStream(), nullptr);
}

TEST_F(VideoManager, SourcesWithoutAClassStillGiveALayerAndAPicture)
{
    for (const char* type : {"imagingsource", "VRMAGIC"})
    {
        CVideo video;
        ASSERT_TRUE(video.InitWebCamStream(1, type, false, false, ""));
        ASSERT_NE(video.GetStream(), nullptr);
        EXPECT_EQ(video.GetVideoWidth(), 640);
        EXPECT_EQ(video.GetVideoHeight(), 480);
        ASSERT_NE(video.GetLayer(), nullptr);
        EXPECT_TRUE(video.IsVisible());
    }
}

TEST_F(VideoManager, LayerProjectionCoversTheVideoCentredOnTheOrigin)
{
    struct Case
    {
        int width, height;
        double halfW, halfH;
    };
    for (const Case& c : {Case{640, 480, 320, 240}, Case{641, 481, 320, 240}})
    {
        osg::ref_ptr<osg::Image> image = new osg::Image;
        image->allocateImage(c.width, c.height, 1, GL_BGRA, GL_UNSIGNED_BYTE);
        osg::ref_ptr<VideoLayer> layer = new VideoLayer(nullptr, 1);
        layer->setImageSource(image.get());
        layer->init();
        double l, r, b, t, n, f;
        ASSERT_TRUE(layer->getProjection()->getMatrix().getOrtho(l, r, b, t, n, f));
        EXPECT_DOUBLE_EQ(l, -c.halfW);
        EXPECT_DOUBLE_EQ(r, c.halfW);
        EXPECT_DOUBLE_EQ(b, -c.halfH);
        EXPECT_DOUBLE_EQ(t, c.halfH);
    }
}

TEST_F(VideoManager, ToggleFlipTwiceRestoresTheIdentity)
{
    CVideo video;
    ASSERT_TRUE(video.InitWebCamStream(1, "VRMAGIC", false, false, ""));
    video.ToggleFlip();
    EXPECT_TRUE(video.IsFlipped());
    const osg::Vec3 right = osg::Vec3(1.f, 0.f, 0.f) * video.GetLayer()->getTransform()->getMatrix();
    EXPECT_NEAR(right.x(), -1.f, 1e-6f);  // mirrored left to right
    video.ToggleFlip();
    EXPECT_TRUE(video.GetLayer()->getTransform()->getMatrix().isIdentity());
}

TEST_F(VideoManager, TransparencyBlendsOnlyBelowOne)
{
    osg::ref_ptr<VideoLayer> layer = new VideoLayer(nullptr, 1);
    layer->init();
    layer->setTransparency(1.0f);
    auto colour = [&]() { return (*static_cast<osg::Vec4Array*>(layer->getGeometry()->getColorArray()))[0]; };
    EXPECT_EQ(colour(), osg::Vec4(1.f, 1.f, 1.f, 1.f));
    EXPECT_EQ(layer->getGeometry()->getStateSet(), nullptr);
    layer->setTransparency(0.5f);
    EXPECT_EQ(colour(), osg::Vec4(1.f, 1.f, 1.f, 0.5f));
    ASSERT_NE(layer->getGeometry()->getStateSet(), nullptr);
    EXPECT_NE(layer->getGeometry()->getStateSet()->getAttribute(osg::StateAttribute::BLENDFUNC), nullptr);
    EXPECT_FLOAT_EQ(layer->getTransparency(), 0.5f);
}

TEST_F(VideoManager, ThresholdViewAndUpdateDriveTheUniforms)
{
    CVideo video;
    ASSERT_TRUE(video.InitWebCamStream(1, "VRMAGIC", false, false, ""));
    osg::StateSet* state = video.GetLayer()->getStateSet();
    ASSERT_NE(state, nullptr);
    int useThreshold = -1;
    float threshold = -1.f;
    int tex = -1;
    ASSERT_TRUE(state->getUniform("useThreshold")->get(useThreshold));
    EXPECT_EQ(useThreshold, 0);
    ASSERT_TRUE(state->getUniform("tex")->get(tex));
    EXPECT_EQ(tex, 0);
    video.ToggleUseThreshold();
    state->getUniform("useThreshold")->get(useThreshold);
    EXPECT_EQ(useThreshold, 1);
    EXPECT_TRUE(video.UsingThreshold());
    video.Update(100.f / 255.f);
    state->getUniform("threshold")->get(threshold);
    EXPECT_FLOAT_EQ(threshold, 100.f / 255.f);
    ASSERT_NE(state->getAttribute(osg::StateAttribute::PROGRAM), nullptr);
    EXPECT_EQ(state->getAttribute(osg::StateAttribute::PROGRAM)->getName(), "video_binary_threshold_program");
}

TEST_F(VideoManager, AMissingShaderIsReportedOnStandardOutput)
{
    TearDown();
    ::testing::internal::CaptureStdout();
    osg::ref_ptr<osg::Shader> shader = new osg::Shader(osg::Shader::FRAGMENT);
    CVideo::LoadShaderSource(shader.get(), "shaders/none.frag");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "File \"shaders/none.frag\" not found.\n");
    ::testing::internal::CaptureStdout();
}
}
