#include "V4l2CaptureSession.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>

namespace vexa {
namespace media {

namespace {

constexpr int kWaitSliceMs = 50;         // longest a stop request waits for the thread
constexpr int kUnknownRateTimeoutMs = 1000;
constexpr uint32_t kBuffers = 4;
constexpr int kMaxIoErrorsInARow = 3;    // EIO can be a single bad transfer

const uint32_t kBgr24 = fourcc('B', 'G', 'R', '3');

std::string errorText(int error) { return std::strerror(error); }

}  // namespace

V4l2CaptureSession::V4l2CaptureSession(std::unique_ptr<IVideoDevice> device, LogSink log, RateLimitedLog::Clock clock)
    : device_(std::move(device)), log_(std::move(log), 10.0, std::move(clock)) {
    assert(device_ && "V4l2CaptureSession: device must not be null");
}

V4l2CaptureSession::~V4l2CaptureSession() { close(); }

bool V4l2CaptureSession::open(const std::string& path) {
    streamedFormat_.reset();
    return openNode(path);
}

bool V4l2CaptureSession::openNode(const std::string& path) {
    close();
    path_ = path;
    lost_ = false;
    const int rc = device_->open(path);
    if (rc) {
        if (rc == EBUSY)
            log_.log("open:" + path, who() + " is busy (in use by another program)");
        else if (rc == ENOENT || rc == ENODEV || rc == ENXIO)
            log_.log("open:" + path, who() + " not found");
        else if (rc == ENOTTY)  // libv4l2 refuses nodes that are not V4L2 devices
            log_.log("open:" + path, who() + " is not a streaming video capture device");
        else
            log_.log("open:" + path, who() + " cannot be opened: " + errorText(rc));
        return false;
    }
    VideoCapability cap;
    if (device_->queryCapability(cap) != 0 || !cap.canCapture() || !cap.canStream()) {
        log_.log("open:" + path, who() + " is not a streaming video capture device");
        device_->close();
        return false;
    }
    card_ = cap.card;
    const int listRc = CaptureFormat::listFormats(*device_, formats_, defaultFormat_);
    if (listRc) log_.always(who() + ": cannot list capture formats: " + errorText(listRc));
    if (formats_.empty()) defaultFormat_ = -1;
    currentFormat_ = defaultFormat_;
    return true;
}

void V4l2CaptureSession::close() {
    stop();
    if (device_->isOpen()) device_->close();
    formats_.clear();
    defaultFormat_ = currentFormat_ = -1;
    formatReady_ = false;
    card_.clear();
}

bool V4l2CaptureSession::isOpen() const { return device_->isOpen(); }
bool V4l2CaptureSession::isValid() const { return device_->isOpen() && !lost_.load(); }
bool V4l2CaptureSession::isStreaming() const { return streaming_.load(); }

std::vector<std::string> V4l2CaptureSession::formatNames() const {
    std::vector<std::string> names;
    for (const CaptureFormat& f : formats_) names.push_back(f.name);
    return names;
}

bool V4l2CaptureSession::configureConverter(const VideoPixelFormat& f) {
    if (converter_.configure(f.pixelFormat, static_cast<int>(f.width), static_cast<int>(f.height),
                             static_cast<int>(f.bytesPerLine)))
        return true;
    log_.always(who() + " delivers " + fourccText(f.pixelFormat) + " " + std::to_string(f.width) + "x" +
                std::to_string(f.height) + ", which cannot be converted");
    return false;
}

void V4l2CaptureSession::setTimeoutFrom(const VideoFrameInterval& interval, const std::string& formatName) {
    const double fps = CaptureFormat::framesPerSecond(interval);
    if (fps <= 0.0 || !std::isfinite(fps)) {
        timeoutMs_ = kUnknownRateTimeoutMs;
        log_.always(who() + " gives no frame rate for " + formatName + "; waiting up to " +
                    std::to_string(timeoutMs_) + " ms per frame");
        return;
    }
    // Four frame periods, at least 250 ms (auto exposure can slow cameras down), at most 2 s.
    timeoutMs_ = std::clamp(static_cast<int>(4000.0 / fps), 250, 2000);
}

bool V4l2CaptureSession::applyFormat(int index) {
    assert(index >= 0 && index < static_cast<int>(formats_.size()) && "V4l2CaptureSession::applyFormat: bad index");
    assert(!streaming_ && "V4l2CaptureSession::applyFormat: not while streaming");
    if (!isValid()) return false;
    const CaptureFormat& c = formats_[static_cast<size_t>(index)];
    // Formats we cannot decode ourselves are asked for as BGR24, which libv4l2 converts.
    VideoPixelFormat f{FrameConverter::supports(c.pixelFormat) ? c.pixelFormat : kBgr24, c.width, c.height, 0, 0};
    const int rc = device_->setFormat(f);
    if (rc) {
        if (rc == EBUSY)
            log_.log("format", who() + " is busy: cannot set " + c.name + " (in use by another program)");
        else
            log_.log("format", who() + ": cannot set " + c.name + ": " + errorText(rc));
        return false;
    }
    if (!configureConverter(f)) return false;
    if (c.interval.valid()) {
        VideoFrameInterval wanted = c.interval;
        device_->setFrameInterval(wanted);  // a device may not allow rates; keep its own then
    }
    setTimeoutFrom(c.interval, c.name);
    currentFormat_ = index;
    formatReady_ = true;
    streamedFormat_ = c;
    return true;
}

bool V4l2CaptureSession::prepareFormat() {
    if (formatReady_) return true;
    if (currentFormat_ >= 0) return applyFormat(currentFormat_);
    VideoPixelFormat f;
    int rc = device_->getFormat(f);
    if (rc == 0 && !FrameConverter::supports(f.pixelFormat)) {
        f.pixelFormat = kBgr24;
        rc = device_->setFormat(f);
    }
    if (rc) {
        log_.log("format", who() + ": cannot read or set its format: " + errorText(rc));
        return false;
    }
    if (!configureConverter(f)) return false;
    VideoFrameInterval interval;
    device_->getFrameInterval(interval);
    setTimeoutFrom(interval, std::to_string(f.width) + "x" + std::to_string(f.height));
    formatReady_ = true;
    streamedFormat_.reset();
    return true;
}

bool V4l2CaptureSession::reopen(FrameCallback onFrame) {
    assert(!path_.empty() && "V4l2CaptureSession::reopen: the session was never opened");
    assert((lost_ || !streaming_) && "V4l2CaptureSession::reopen: not while streaming");
    if (!openNode(path_)) return false;
    if (restoreFormat(streamedWidth_, streamedHeight_) && start(std::move(onFrame))) return true;
    close();
    return false;
}

// The format streamed before a reopen: the same entry of the new list, or the
// device's own format when none was applied; either must give the same frame size.
bool V4l2CaptureSession::restoreFormat(int width, int height) {
    if (!streamedFormat_) return prepareFormat() && sameSize(width, height);
    const CaptureFormat& w = *streamedFormat_;
    for (size_t i = 0; i < formats_.size(); ++i) {
        const CaptureFormat& c = formats_[i];
        if (c.pixelFormat == w.pixelFormat && c.width == w.width && c.height == w.height &&
            c.interval.numerator == w.interval.numerator && c.interval.denominator == w.interval.denominator)
            return applyFormat(static_cast<int>(i));
    }
    log_.log("reopen", who() + " came back without its format " + w.name);
    return false;
}

bool V4l2CaptureSession::sameSize(int width, int height) {
    if (converter_.width() == width && converter_.height() == height) return true;
    log_.log("reopen", who() + " came back with " + std::to_string(converter_.width()) + "x" +
                           std::to_string(converter_.height()) + " frames instead of " + std::to_string(width) +
                           "x" + std::to_string(height));
    return false;
}

bool V4l2CaptureSession::start(FrameCallback onFrame) {
    if (streaming_) return true;
    if (!isValid()) {
        log_.log("start", "cannot start " + who() + ": it is not open");
        return false;
    }
    if (!prepareFormat()) return false;
    bufferCount_ = kBuffers;
    int rc = device_->requestBuffers(bufferCount_);
    if (rc == 0 && bufferCount_ < 2) rc = ENOMEM;
    for (uint32_t i = 0; rc == 0 && i < bufferCount_; ++i) rc = device_->queueBuffer(i);
    if (rc) {
        log_.log("buffers", who() + (rc == EBUSY ? " is busy (in use by another program)" : ": cannot get capture buffers: " + errorText(rc)));
        uint32_t none = 0;
        device_->requestBuffers(none);
        return false;
    }
    rc = device_->streamOn();
    if (rc) {
        const std::string name = currentFormat_ >= 0 ? formats_[static_cast<size_t>(currentFormat_)].name : "its format";
        if (rc == ENOSPC)
            log_.log("streamon", who() + ": not enough USB bandwidth to stream " + name +
                                     " (No space left on device); choose a smaller size or rate, or another USB port");
        else
            log_.log("streamon", who() + ": cannot start streaming: " + errorText(rc));
        uint32_t none = 0;
        device_->requestBuffers(none);
        return false;
    }
    onFrame_ = std::move(onFrame);
    streamedWidth_ = width();
    streamedHeight_ = height();
    stopRequested_ = false;
    streaming_ = true;
    thread_ = std::thread(&V4l2CaptureSession::run, this);
    return true;
}

void V4l2CaptureSession::stop() {
    if (!thread_.joinable()) return;
    stopRequested_ = true;
    thread_.join();
    streaming_ = false;
    if (!lost_) device_->streamOff();
    uint32_t none = 0;
    device_->requestBuffers(none);
    onFrame_ = nullptr;
}

void V4l2CaptureSession::lost(int error, const char* during) {
    lost_ = true;
    log_.always(who() + " stopped working (" + errorText(error) + " while " + during +
                "; unplugged?); capture stopped");
}

void V4l2CaptureSession::run() {
    int waitedMs = 0;
    int ioErrors = 0;
    while (!stopRequested_) {
        const int rc = device_->waitForFrame(std::min(kWaitSliceMs, timeoutMs_));
        if (rc == ETIMEDOUT) {
            waitedMs += std::min(kWaitSliceMs, timeoutMs_);
            if (waitedMs >= timeoutMs_) {
                log_.log("timeout", who() + ": no frame for " + std::to_string(timeoutMs_) + " ms");
                waitedMs = 0;
            }
            continue;
        }
        if (rc == EINTR) continue;
        if (rc == EAGAIN) {
            log_.log("eagain", who() + ": no frame ready (" + errorText(rc) + ")");
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            continue;
        }
        if (rc == EIO && ++ioErrors < kMaxIoErrorsInARow) continue;
        if (rc) { lost(rc, "waiting for a frame"); break; }
        ioErrors = 0;
        waitedMs = 0;
        if (!handleFrame()) break;
    }
    streaming_ = false;
}

// Dequeues one frame, hands it to the callback (which converts it) and requeues it.
// False when the device is gone.
bool V4l2CaptureSession::handleFrame() {
    VideoBufferView buffer;
    int rc = device_->dequeueBuffer(buffer);
    if (rc == EAGAIN || rc == EINTR) {
        log_.log("eagain", who() + ": no frame ready (" + errorText(EAGAIN) + ")");
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return true;
    }
    if (rc) { lost(rc, "taking a frame"); return false; }
    using Result = FrameConverter::Result;
    const CameraFrame frame(converter_, buffer.data, std::min(buffer.bytesUsed, buffer.length));
    const Result r = onFrame_ ? onFrame_(frame) : Result::Skipped;
    if (r == Result::Ok) {
        ++delivered_;
    } else if (r != Result::Skipped) {
        ++dropped_;
        const char* why = r == Result::Truncated ? ": dropped a truncated frame ("
                          : r == Result::Corrupt ? ": dropped a corrupt frame ("
                                                 : ": dropped a frame it cannot convert (";
        log_.log("drop", who() + why + std::to_string(buffer.bytesUsed) + " bytes)");
    }
    rc = device_->queueBuffer(buffer.index);
    if (rc) { lost(rc, "returning a buffer"); return false; }
    return true;
}

std::vector<VideoControl> V4l2CaptureSession::controls() {
    std::vector<VideoControl> list;
    if (isValid()) device_->listControls(list);
    return list;
}

bool V4l2CaptureSession::getControl(uint32_t id, int32_t& value) { return isValid() && device_->getControl(id, value) == 0; }

bool V4l2CaptureSession::setControl(uint32_t id, int32_t value) {
    if (!isValid()) return false;
    const int rc = device_->setControl(id, value);
    if (rc) log_.log("control", who() + ": cannot set control " + std::to_string(id) + ": " + errorText(rc));
    return rc == 0;
}

}  // namespace media
}  // namespace vexa
