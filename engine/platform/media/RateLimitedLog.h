#pragma once
// Passes messages to a LogSink, at most one per key per interval, so a fault that
// repeats every frame (a camera timing out, corrupt frames) gives one line now and
// then a line with the count of repeats, never a flood.
//
// Thread-safe: the capture thread and the caller's thread may log at once.
#include "LogSink.h"

#include <functional>
#include <map>
#include <mutex>
#include <string>

namespace vexa {
namespace media {

class RateLimitedLog {
public:
    using Clock = std::function<double()>;  // seconds, monotonic
    // The clock used when none is given: std::chrono::steady_clock in seconds.
    static double SteadySeconds();
    // `clock`, or SteadySeconds when it is empty.
    static Clock OrSteady(Clock clock) { return clock ? std::move(clock) : Clock(&SteadySeconds); }

    // An empty clock uses std::chrono::steady_clock.
    explicit RateLimitedLog(LogSink sink, double intervalSeconds = 10.0, Clock clock = Clock());

    // First message of a key goes out at once; later ones within the interval are
    // counted; the first after the interval goes out with " (repeated N times)".
    void log(const std::string& key, const std::string& message);

    // Goes out every time (one-off events such as opening or closing a device).
    void always(const std::string& message);

    // Messages of this key held back since its last line.
    long heldBack(const std::string& key) const;

    void setSink(LogSink sink);

private:
    struct Entry {
        double lastSent = 0.0;
        long heldBack = 0;
    };
    mutable std::mutex mutex_;
    LogSink sink_;
    double interval_;
    Clock clock_;
    std::map<std::string, Entry> entries_;
};

}  // namespace media
}  // namespace vexa
