#include "CamVideoConfig.h"

#include <gtest/gtest.h>

namespace vexa {
namespace media {
namespace {

using Source = CamVideoConfig::Source;

TEST(CamVideoConfig, Grammar) {
    struct Case {
        std::string text;
        Source source;
        std::string path;
        int w, h;
        bool loop, locked;
    };
    const Case cases[] = {
        {"", Source::FirstCamera, "", 0, 0, true, false},
        {"   \r\n", Source::FirstCamera, "", 0, 0, true, false},
        {"v4l2", Source::FirstCamera, "", 0, 0, true, false},
        {"v4l2 640x480", Source::FirstCamera, "", 640, 480, true, false},
        {"v4l2 /dev/video0 640x480\n", Source::Camera, "/dev/video0", 640, 480, true, false},
        {"V4L2 1280X720 /dev/video2", Source::Camera, "/dev/video2", 1280, 720, true, false},
        {"v4l2 1", Source::Camera, "/dev/video1", 0, 0, true, false},
        {"v4l2 /dev/v4l/by-id/usb-Acme_Cam-video-index0", Source::Camera, "/dev/v4l/by-id/usb-Acme_Cam-video-index0", 0, 0, true, false},
        {"file Videos/demo.mp4 loop", Source::File, "Videos/demo.mp4", 0, 0, true, false},
        {"file Videos\\demo.mp4 noloop", Source::File, "Videos/demo.mp4", 0, 0, false, false},
        {"file clip.avi once locked\r\n", Source::File, "clip.avi", 0, 0, false, true},
        {"FILE \"My Videos/a b.mkv\" LOOP realtime", Source::File, "My Videos/a b.mkv", 0, 0, true, false},
        {"\tfile   x.mp4  ", Source::File, "x.mp4", 0, 0, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CamVideoConfig cfg;
        std::string error;
        ASSERT_TRUE(CamVideoConfig::parse(c.text, cfg, error)) << error;
        EXPECT_EQ(c.source, cfg.source);
        EXPECT_EQ(c.path, cfg.path);
        EXPECT_EQ(c.w, cfg.width);
        EXPECT_EQ(c.h, cfg.height);
        EXPECT_EQ(c.loop, cfg.loop);
        EXPECT_EQ(c.locked, cfg.frameLocked);
    }
}

TEST(CamVideoConfig, MistakesGiveOneLine) {
    const std::string g = "expected 'v4l2 [DEVICE] [WxH]' or 'file PATH [loop|noloop] [locked|realtime]'";
    struct Case { std::string text, error; };
    const Case cases[] = {
        {"webcam 0", "camera configuration: unknown source 'webcam'; " + g},
        {"file", "camera configuration: 'file' needs a file name; " + g},
        {"file a.mp4 backwards", "camera configuration: unknown file option 'backwards'; " + g},
        {"v4l2 640x", "camera configuration: '640x' is neither a device nor a size WxH; " + g},
        {"v4l2 0x480", "camera configuration: '0x480' is neither a device nor a size WxH; " + g},
        {"v4l2 99999x99999", "camera configuration: '99999x99999' is neither a device nor a size WxH; " + g},
        {"file \"open.mp4", "camera configuration 'file \"open.mp4' has an unclosed quote"},
    };
    for (const Case& c : cases) {
        CamVideoConfig cfg;
        std::string error;
        EXPECT_FALSE(CamVideoConfig::parse(c.text, cfg, error)) << c.text;
        EXPECT_EQ(c.error, error);
    }
}

}  // namespace
}  // namespace media
}  // namespace vexa
