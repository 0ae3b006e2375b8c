// A recording holds what the window showed: its frames are the frames the
// continuous captures of the same run wrote, within the video's compression.
#include "CVexaBox.h"

#include "TestFolder.h"

#include "MediaFileReader.h"

#include <gtest/gtest.h>

#include <osgDB/ReadFile>

#include <cmath>
#include <cstdlib>

namespace
{
TEST(Recording, ItsFramesAreTheFramesTheCapturesOfTheSameRunHold)
{
    const char* display = std::getenv("DISPLAY");
    ASSERT_TRUE(display && *display) << "needs an X display";
    TestFolder folder;
    folder.CopyWorkingFolder();
    ScopedCurrentFolder inFolder(folder.Path());
    const int frames = 12;
    {
        CVexaBox box;
        std::vector<std::string> args{"Vexamark_basic", "-FFMPEG", "-video:", "Videos/demo.mp4", "-record:", "run.mp4"};
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        ::testing::internal::CaptureStdout();
        box.Init(static_cast<int>(argv.size()), argv.data(), "Data/dataList.dat", false, false, false, false);
        ::testing::internal::GetCapturedStdout();
        box.ToggleCapture();
        for (int i = 0; i < frames; ++i)
        {
            ASSERT_TRUE(box.Update(0.01f));
            box.Render();
        }
        box.CleanUp();
    }
    vexa::media::MediaFileReader recording;
    ASSERT_TRUE(recording.open(folder / "run.mp4")) << recording.lastError();
    ASSERT_EQ(recording.info().frameCount, frames);
    const int w = recording.info().width, h = recording.info().height;
    std::vector<uint8_t> frame(static_cast<size_t>(w) * h * 4);
    for (int i = 0; i < frames; ++i)
    {
        ASSERT_EQ(recording.readNextFrame(frame.data(), w * 4, true), vexa::media::MediaFileReader::ReadResult::Frame);
        osg::ref_ptr<osg::Image> capture =
            osgDB::readRefImageFile(folder / ("captures/video/frame" + std::to_string(i) + ".jpg"));
        ASSERT_TRUE(capture.valid()) << i;
        ASSERT_EQ(capture->s(), w);
        // Both bottom-up; the recording is BGRA, the capture RGB.
        double difference = 0;
        for (int y = 0; y < h; y += 3)
            for (int x = 0; x < w; x += 3)
            {
                const uint8_t* r = &frame[(static_cast<size_t>(y) * w + x) * 4];
                const unsigned char* c = capture->data(x, y);
                difference += std::abs(r[2] - c[0]) + std::abs(r[1] - c[1]) + std::abs(r[0] - c[2]);
            }
        difference /= 3.0 * (h / 3) * (w / 3);
        EXPECT_LT(difference, 6.0) << "frame " << i;
    }
}
}
