#include "FakeVideoDevice.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <linux/videodev2.h>
#include <thread>

namespace vexa {
namespace media {
namespace testing {

namespace {
uint32_t bytesPerPixel(uint32_t f) {
    if (f == fourcc('Y', 'U', 'Y', 'V') || f == fourcc('U', 'Y', 'V', 'Y')) return 2;
    if (f == fourcc('B', 'G', 'R', '4') || f == fourcc('R', 'G', 'B', '4')) return 4;
    if (f == fourcc('G', 'R', 'E', 'Y')) return 1;
    return 3;
}
}  // namespace

FakeVideoDevice::FakeVideoDevice(Lookup lookup) : lookup_(std::move(lookup)) {}
FakeVideoDevice::~FakeVideoDevice() { close(); }

int FakeVideoDevice::open(const std::string& path) {
    close();
    std::shared_ptr<FakeCamera> cam = lookup_(path);
    if (!cam) return ENOENT;
    std::lock_guard<std::mutex> lock(cam->mutex);
    if (cam->unplugged) return ENODEV;
    if (int e = cam->takeError("open")) return e;
    ++cam->opens;
    camera_ = cam;
    return 0;
}

void FakeVideoDevice::close() {
    if (!camera_) return;
    {
        std::lock_guard<std::mutex> lock(camera_->mutex);
        ++camera_->closes;
    }
    camera_.reset();
    buffers_.clear();
    queued_.clear();
    streaming_ = false;
}

bool FakeVideoDevice::isOpen() const { return camera_ != nullptr; }

#define FAKE_LOCK                                  \
    if (!camera_) return EBADF;                    \
    std::lock_guard<std::mutex> lock(camera_->mutex); \
    if (camera_->unplugged) return ENODEV

int FakeVideoDevice::queryCapability(VideoCapability& out) {
    FAKE_LOCK;
    if (int e = camera_->takeError("querycap")) return e;
    out = camera_->capability;
    return 0;
}

int FakeVideoDevice::enumerateFormats(std::vector<VideoFormatDesc>& out) {
    FAKE_LOCK;
    out.clear();
    for (const FakeCamera::Format& f : camera_->formats) {
        VideoFormatDesc d;
        d.pixelFormat = f.pixelFormat;
        d.description = fourccText(f.pixelFormat);
        d.compressed = f.pixelFormat == fourcc('M', 'J', 'P', 'G');
        d.emulated = f.emulated;
        out.push_back(d);
    }
    return 0;
}

int FakeVideoDevice::enumerateFrameSizes(uint32_t pixelFormat, std::vector<VideoFrameSize>& out) {
    FAKE_LOCK;
    out.clear();
    for (const FakeCamera::Format& f : camera_->formats)
        if (f.pixelFormat == pixelFormat)
            for (const FakeCamera::Size& s : f.sizes) out.push_back(s.size);
    return 0;
}

int FakeVideoDevice::enumerateFrameIntervals(uint32_t pixelFormat, uint32_t width, uint32_t height,
                                             std::vector<VideoFrameInterval>& out) {
    FAKE_LOCK;
    out.clear();
    for (const FakeCamera::Format& f : camera_->formats)
        if (f.pixelFormat == pixelFormat)
            for (const FakeCamera::Size& s : f.sizes)
                if (s.size.width == width && s.size.height == height) out = s.intervals;
    return 0;
}

int FakeVideoDevice::getFormat(VideoPixelFormat& out) {
    FAKE_LOCK;
    out = camera_->current;
    return 0;
}

int FakeVideoDevice::setFormat(VideoPixelFormat& f) {
    FAKE_LOCK;
    if (int e = camera_->takeError("setFormat")) return e;
    if (streaming_) return EBUSY;
    // Like a driver: an unknown format or size is replaced by the first one offered.
    const FakeCamera::Format* chosen = nullptr;
    for (const FakeCamera::Format& c : camera_->formats)
        if (c.pixelFormat == f.pixelFormat) chosen = &c;
    if (!chosen && !camera_->formats.empty()) chosen = &camera_->formats.front();
    if (chosen) {
        f.pixelFormat = chosen->pixelFormat;
        const bool sizeOffered = std::any_of(chosen->sizes.begin(), chosen->sizes.end(), [&](const FakeCamera::Size& s) {
            return s.size.width == f.width && s.size.height == f.height;
        });
        if (!sizeOffered && !chosen->sizes.empty()) {
            f.width = chosen->sizes.front().size.width;
            f.height = chosen->sizes.front().size.height;
        }
    }
    f.bytesPerLine = f.pixelFormat == fourcc('M', 'J', 'P', 'G') ? 0 : f.width * bytesPerPixel(f.pixelFormat);
    f.sizeImage = f.width * f.height * bytesPerPixel(f.pixelFormat);
    camera_->current = f;
    camera_->formatsSet.push_back(f);
    return 0;
}

int FakeVideoDevice::getFrameInterval(VideoFrameInterval& out) {
    FAKE_LOCK;
    out = camera_->currentInterval;
    return 0;
}

int FakeVideoDevice::setFrameInterval(VideoFrameInterval& inOut) {
    FAKE_LOCK;
    camera_->currentInterval = inOut;
    camera_->intervalsSet.push_back(inOut);
    return 0;
}

int FakeVideoDevice::listControls(std::vector<VideoControl>& out) {
    FAKE_LOCK;
    out = camera_->controls;
    return 0;
}

int FakeVideoDevice::getControl(uint32_t id, int32_t& value) {
    FAKE_LOCK;
    for (const VideoControl& c : camera_->controls)
        if (c.id == id) { value = c.value; return 0; }
    return EINVAL;
}

int FakeVideoDevice::setControl(uint32_t id, int32_t value) {
    FAKE_LOCK;
    for (VideoControl& c : camera_->controls) {
        if (c.id != id) continue;
        if (value < c.minimum || value > c.maximum) return ERANGE;
        c.value = value;
        return 0;
    }
    return EINVAL;
}

int FakeVideoDevice::requestBuffers(uint32_t& count) {
    FAKE_LOCK;
    if (count > 0) {
        if (int e = camera_->takeError("requestBuffers")) return e;
    }
    buffers_.clear();
    queued_.clear();
    const size_t size = std::max<size_t>(camera_->current.sizeImage, 1);
    for (uint32_t i = 0; i < count; ++i) buffers_.emplace_back(size);
    return 0;
}

int FakeVideoDevice::queueBuffer(uint32_t index) {
    FAKE_LOCK;
    if (int e = camera_->takeError("queue")) return e;
    if (index >= buffers_.size()) return EINVAL;
    queued_.push_back(index);
    return 0;
}

bool FakeVideoDevice::frameWaiting() const {
    return streaming_ && !queued_.empty() && (!camera_->frames.empty() || !camera_->steadyFrame.empty());
}

int FakeVideoDevice::dequeueBuffer(VideoBufferView& out) {
    FAKE_LOCK;
    if (int e = camera_->takeError("dequeue")) return e;
    if (!frameWaiting()) return EAGAIN;
    std::vector<uint8_t> frame;
    if (!camera_->frames.empty()) {
        frame = std::move(camera_->frames.front());
        camera_->frames.pop_front();
    } else {
        frame = camera_->steadyFrame;
    }
    const uint32_t index = queued_.front();
    queued_.pop_front();
    std::vector<uint8_t>& buffer = buffers_[index];
    if (buffer.size() < frame.size()) buffer.resize(frame.size());
    std::copy(frame.begin(), frame.end(), buffer.begin());
    out.index = index;
    out.data = buffer.data();
    out.length = buffer.size();
    out.bytesUsed = frame.size();
    out.sequence = static_cast<uint32_t>(camera_->framesDequeued++);
    if (camera_->unplugAfterFrames >= 0 && camera_->framesDequeued >= camera_->unplugAfterFrames) camera_->unplugged = true;
    return 0;
}

int FakeVideoDevice::streamOn() {
    FAKE_LOCK;
    if (int e = camera_->takeError("streamOn")) return e;
    streaming_ = true;
    ++camera_->streamOns;
    return 0;
}

int FakeVideoDevice::streamOff() {
    FAKE_LOCK;
    streaming_ = false;
    ++camera_->streamOffs;
    return 0;
}

int FakeVideoDevice::waitForFrame(int timeoutMs) {
    {
        FAKE_LOCK;
        if (int e = camera_->takeError("wait")) {
            if (e == ETIMEDOUT) std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
            return e;
        }
        if (frameWaiting()) return 0;
    }
    // Nothing scripted: behave like a silent camera.
    std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
    return ETIMEDOUT;
}

}  // namespace testing
}  // namespace media
}  // namespace vexa
