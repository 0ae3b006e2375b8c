#include "RateLimitedLog.h"

#include <chrono>

namespace vexa {
namespace media {

RateLimitedLog::RateLimitedLog(LogSink sink, double intervalSeconds, Clock clock)
    : sink_(std::move(sink)), interval_(intervalSeconds), clock_(OrSteady(std::move(clock))) {}

double RateLimitedLog::SteadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void RateLimitedLog::log(const std::string& key, const std::string& message) {
    std::lock_guard<std::mutex> lock(mutex_);
    const double now = clock_();
    auto it = entries_.find(key);
    if (it != entries_.end() && now - it->second.lastSent < interval_) {
        ++it->second.heldBack;
        return;
    }
    long repeats = 0;
    if (it == entries_.end()) {
        it = entries_.emplace(key, Entry()).first;
    } else {
        repeats = it->second.heldBack;
    }
    it->second.lastSent = now;
    it->second.heldBack = 0;
    if (!sink_) return;
    sink_(repeats > 0 ? message + " (repeated " + std::to_string(repeats) + " times)" : message);
}

void RateLimitedLog::always(const std::string& message) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (sink_) sink_(message);
}

long RateLimitedLog::heldBack(const std::string& key) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = entries_.find(key);
    return it == entries_.end() ? 0 : it->second.heldBack;
}

void RateLimitedLog::setSink(LogSink sink) {
    std::lock_guard<std::mutex> lock(mutex_);
    sink_ = std::move(sink);
}

}  // namespace media
}  // namespace vexa
