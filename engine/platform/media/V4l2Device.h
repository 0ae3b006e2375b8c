#pragma once
// IVideoDevice on a real V4L2 node through libv4l2 (v4l2_open, v4l2_ioctl, v4l2_mmap),
// which also offers converted pixel formats for formats we do not decode ourselves.
// Owns the file descriptor and the buffer mappings; close() or destruction releases them.
#include "IVideoDevice.h"

#include <vector>

struct v4l2_queryctrl;

namespace vexa {
namespace media {

class V4l2Device : public IVideoDevice {
public:
    V4l2Device() = default;
    ~V4l2Device() override;
    V4l2Device(const V4l2Device&) = delete;
    V4l2Device& operator=(const V4l2Device&) = delete;

    int open(const std::string& path) override;
    void close() override;
    bool isOpen() const override;

    int queryCapability(VideoCapability& out) override;
    int enumerateFormats(std::vector<VideoFormatDesc>& out) override;
    int enumerateFrameSizes(uint32_t pixelFormat, std::vector<VideoFrameSize>& out) override;
    int enumerateFrameIntervals(uint32_t pixelFormat, uint32_t width, uint32_t height,
                                std::vector<VideoFrameInterval>& out) override;
    int getFormat(VideoPixelFormat& out) override;
    int setFormat(VideoPixelFormat& inOut) override;
    int getFrameInterval(VideoFrameInterval& out) override;
    int setFrameInterval(VideoFrameInterval& inOut) override;
    int listControls(std::vector<VideoControl>& out) override;
    int getControl(uint32_t id, int32_t& value) override;
    int setControl(uint32_t id, int32_t value) override;
    int requestBuffers(uint32_t& count) override;
    int queueBuffer(uint32_t index) override;
    int dequeueBuffer(VideoBufferView& out) override;
    int streamOn() override;
    int streamOff() override;
    int waitForFrame(int timeoutMs) override;

private:
    int xioctl(unsigned long request, void* arg);
    void readMenu(const v4l2_queryctrl& q, VideoControl& control);
    void unmapBuffers();

    struct Mapping {
        void* start = nullptr;
        size_t length = 0;
    };
    int fd_ = -1;
    std::vector<Mapping> buffers_;
};

}  // namespace media
}  // namespace vexa
