#pragma once
// IVideoDevice test double: plays a FakeCamera's script. Buffers are plain memory;
// each dequeue copies the next scripted frame into a queued buffer.
#include "FakeCamera.h"
#include "IVideoDevice.h"

#include <functional>
#include <memory>

namespace vexa {
namespace media {
namespace testing {

class FakeVideoDevice : public IVideoDevice {
public:
    using Lookup = std::function<std::shared_ptr<FakeCamera>(const std::string& path)>;
    explicit FakeVideoDevice(Lookup lookup);
    ~FakeVideoDevice() override;

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
    bool frameWaiting() const;  // with the camera's mutex held

    Lookup lookup_;
    std::shared_ptr<FakeCamera> camera_;
    std::vector<std::vector<uint8_t>> buffers_;
    std::deque<uint32_t> queued_;
    bool streaming_ = false;
};

}  // namespace testing
}  // namespace media
}  // namespace vexa
