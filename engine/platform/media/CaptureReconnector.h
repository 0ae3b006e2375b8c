#pragma once
// Brings back a camera that disappeared while streaming (unplugged, reset by its
// driver, taken by another program). The owner of a V4l2CaptureSession calls poll()
// now and then from its own thread; once the session reports its device lost,
// poll() reopens it (V4l2CaptureSession::reopen: same node, same format, the
// owner's frame callback) at most once per second until it streams again.
//
// Messages: the session logs the loss and each reason an attempt fails (not found,
// busy, ...) rate-limited; this adds "camera '<node>' is not back yet; trying again
// every second", rate-limited the same way, and one line when it is back.
//
// Threading: not thread-safe; call poll() and reset() from the thread that owns
// the session (never its capture thread), so a reopen never races stop()/close().
// poll() never waits: between attempts it returns at once.
#include "LogSink.h"
#include "RateLimitedLog.h"
#include "V4l2CaptureSession.h"

namespace vexa {
namespace media {

class CaptureReconnector {
public:
    static constexpr double kRetrySeconds = 1.0;

    // An empty clock uses std::chrono::steady_clock.
    explicit CaptureReconnector(LogSink log, RateLimitedLog::Clock clock = RateLimitedLog::Clock());

    // Notices a lost device and, when an attempt is due, reopens it streaming to
    // onFrame. True on the call that brought it back.
    bool poll(V4l2CaptureSession& session, const V4l2CaptureSession::FrameCallback& onFrame);
    // A lost device is waited for.
    bool isReconnecting() const { return reconnecting_; }
    // The owner closed or replaced the session: forget a device being waited for.
    void reset() { reconnecting_ = false; }

private:
    RateLimitedLog log_;
    RateLimitedLog::Clock clock_;
    bool reconnecting_ = false;
    double nextAttempt_ = 0.0;
};

}  // namespace media
}  // namespace vexa
