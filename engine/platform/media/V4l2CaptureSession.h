#pragma once
// A streaming connection to one camera: opens the device, lists its capture
// formats, sets one, and runs its own streaming thread (memory-mapped buffers,
// bounded waits) that hands every frame, still in the driver's buffer, to a
// callback. The callback converts it once, straight into the memory where it
// belongs, in the layout and orientation it needs (CameraFrame::convertTo with a
// FrameTarget); the session keeps no converted copy.
//
// Faults are logged as one clear line each, rate-limited (a repeating fault gives a
// line now and a count later, never a flood): a busy device, too little USB
// bandwidth, time-outs, corrupt or truncated frames (dropped, never passed on) and a
// device that disappears (the thread ends, isValid() turns false, stop()/close()
// still work). The session never reopens a lost device by itself: its owner calls
// reopen() (see CaptureReconnector), so opening never races the owner's stop/close.
//
// Ownership and threading: the session owns the device. Call everything except
// isValid()/isStreaming()/counters from one thread. The frame callback runs on the
// streaming thread; its CameraFrame is valid only during the call. stop() and the
// destructor wait for the thread, at most one wait slice (50 ms) plus the
// callback's own time.
#include "CameraFrame.h"
#include "CaptureFormat.h"
#include "FrameConverter.h"
#include "IVideoDevice.h"
#include "RateLimitedLog.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace vexa {
namespace media {

class V4l2CaptureSession {
public:
    // Returns what the frame's convertTo gave: Ok counts the frame as delivered;
    // Truncated, Corrupt and NotConfigured as dropped (with a log line); Skipped
    // as not wanted.
    using FrameCallback = std::function<FrameResult(const CameraFrame& frame)>;

    V4l2CaptureSession(std::unique_ptr<IVideoDevice> device, LogSink log, RateLimitedLog::Clock clock = RateLimitedLog::Clock());
    ~V4l2CaptureSession();
    V4l2CaptureSession(const V4l2CaptureSession&) = delete;
    V4l2CaptureSession& operator=(const V4l2CaptureSession&) = delete;

    // Opens the node (e.g. /dev/video0 or a /dev/v4l/by-id/... link) and lists its formats.
    bool open(const std::string& path);
    void close();
    bool isOpen() const;
    // Open and not lost.
    bool isValid() const;
    bool isStreaming() const;

    const std::string& path() const { return path_; }
    const std::string& cardName() const { return card_; }
    const std::vector<CaptureFormat>& formats() const { return formats_; }
    std::vector<std::string> formatNames() const;
    // The format the device was using when opened (index into formats()).
    int defaultFormatIndex() const { return defaultFormat_; }
    int currentFormatIndex() const { return currentFormat_; }

    // Sets formats()[index] on the device (not while streaming).
    bool applyFormat(int index);

    // Makes the device's current format ready for streaming when applyFormat() was
    // not called (start() does this itself); afterwards width()/height() are known.
    bool prepareFormat();

    // Size of the frames the callback receives (after applyFormat/prepareFormat/start).
    int width() const { return converter_.width(); }
    int height() const { return converter_.height(); }
    // How long the streaming thread waits for a frame before reporting a time-out.
    int frameTimeoutMs() const { return timeoutMs_; }

    // Starts streaming; uses the device's current format when none was applied.
    bool start(FrameCallback onFrame);
    void stop();

    // After the device was lost (or an earlier reopen failed): opens the same node
    // again, sets the format it streamed before (same pixel format, size and rate)
    // and streams to onFrame. Not while streaming. False while the device is not
    // back; the reason is logged, rate-limited.
    bool reopen(FrameCallback onFrame);

    // Device controls (brightness, contrast, ...), the camera's "property page".
    std::vector<VideoControl> controls();
    bool getControl(uint32_t id, int32_t& value);
    bool setControl(uint32_t id, int32_t value);

    uint64_t framesDelivered() const { return delivered_.load(); }
    uint64_t framesDropped() const { return dropped_.load(); }

private:
    bool openNode(const std::string& path);
    bool restoreFormat(int width, int height);
    bool sameSize(int width, int height);
    bool configureConverter(const VideoPixelFormat& f);
    void setTimeoutFrom(const VideoFrameInterval& interval, const std::string& formatName);
    void run();
    bool handleFrame();
    void lost(int error, const char* during);
    std::string who() const { return "camera '" + path_ + "'"; }

    std::unique_ptr<IVideoDevice> device_;
    RateLimitedLog log_;
    FrameConverter converter_;
    FrameCallback onFrame_;
    std::thread thread_;
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> streaming_{false};
    std::atomic<bool> lost_{false};
    std::atomic<uint64_t> delivered_{0};
    std::atomic<uint64_t> dropped_{0};
    std::string path_;
    std::string card_;
    std::vector<CaptureFormat> formats_;
    int defaultFormat_ = -1;
    int currentFormat_ = -1;
    bool formatReady_ = false;
    std::optional<CaptureFormat> streamedFormat_;  // applied format, kept for reopen()
    int streamedWidth_ = 0, streamedHeight_ = 0;   // frame size of the last start()
    int timeoutMs_ = 1000;
    uint32_t bufferCount_ = 0;
};

}  // namespace media
}  // namespace vexa
