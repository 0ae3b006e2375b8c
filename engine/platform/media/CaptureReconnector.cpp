#include "CaptureReconnector.h"

namespace vexa {
namespace media {

CaptureReconnector::CaptureReconnector(LogSink log, RateLimitedLog::Clock clock)
    : log_(std::move(log), 10.0, clock), clock_(RateLimitedLog::OrSteady(std::move(clock))) {}

bool CaptureReconnector::poll(V4l2CaptureSession& session, const V4l2CaptureSession::FrameCallback& onFrame) {
    if (!reconnecting_) {
        // Open but no longer valid: the capture thread found the device gone.
        if (!session.isOpen() || session.isValid()) return false;
        reconnecting_ = true;
        nextAttempt_ = clock_() + kRetrySeconds;
        return false;
    }
    const double t = clock_();
    if (t < nextAttempt_) return false;
    nextAttempt_ = t + kRetrySeconds;
    const std::string who = "camera '" + session.path() + "'";
    if (!session.reopen(onFrame)) {
        log_.log("retry", who + " is not back yet; trying again every second");
        return false;
    }
    reconnecting_ = false;
    log_.always(who + " is back; capture resumed");
    return true;
}

}  // namespace media
}  // namespace vexa
