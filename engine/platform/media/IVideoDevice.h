#pragma once
// One video capture device node, V4L2-style. The real backend (V4l2Device) talks to
// the kernel through libv4l2; tests use a scriptable double behind the same calls.
//
// Every call returns 0 on success or an errno value (EBUSY, ENODEV, EAGAIN,
// ETIMEDOUT, ...): device faults are data, never exceptions. Buffers returned by
// dequeueBuffer() belong to the device and stay valid until queued again or until
// requestBuffers(0) / close().
//
// Threading: one thread at a time; the capture session hands the device to its
// streaming thread while streaming and takes it back after stop.
#include "VideoDeviceTypes.h"

#include <string>
#include <vector>

namespace vexa {
namespace media {

class IVideoDevice {
public:
    virtual ~IVideoDevice() = default;

    virtual int open(const std::string& path) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    virtual int queryCapability(VideoCapability& out) = 0;
    virtual int enumerateFormats(std::vector<VideoFormatDesc>& out) = 0;
    virtual int enumerateFrameSizes(uint32_t pixelFormat, std::vector<VideoFrameSize>& out) = 0;
    virtual int enumerateFrameIntervals(uint32_t pixelFormat, uint32_t width, uint32_t height,
                                        std::vector<VideoFrameInterval>& out) = 0;

    virtual int getFormat(VideoPixelFormat& out) = 0;
    // The device may adjust the request; inOut then holds what it chose.
    virtual int setFormat(VideoPixelFormat& inOut) = 0;
    virtual int getFrameInterval(VideoFrameInterval& out) = 0;
    virtual int setFrameInterval(VideoFrameInterval& inOut) = 0;

    virtual int listControls(std::vector<VideoControl>& out) = 0;
    virtual int getControl(uint32_t id, int32_t& value) = 0;
    virtual int setControl(uint32_t id, int32_t value) = 0;

    // Memory-mapped buffers: asks for count, count holds what was granted; 0 frees them.
    virtual int requestBuffers(uint32_t& count) = 0;
    virtual int queueBuffer(uint32_t index) = 0;
    // EAGAIN when no filled buffer is waiting.
    virtual int dequeueBuffer(VideoBufferView& out) = 0;
    virtual int streamOn() = 0;
    virtual int streamOff() = 0;

    // Waits up to timeoutMs for a filled buffer: 0 ready, ETIMEDOUT, or the error.
    virtual int waitForFrame(int timeoutMs) = 0;
};

}  // namespace media
}  // namespace vexa
