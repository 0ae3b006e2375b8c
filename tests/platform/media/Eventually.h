#pragma once
// Waits, bounded, for something another thread does (a capture thread, the
// camera library's watcher): true as soon as the condition holds, false when it
// still does not after `tries` looks 10 ms apart.
#include <chrono>
#include <thread>

namespace vexa {
namespace media {
namespace testing {

template <typename F>
bool eventually(F f, int tries = 300) {
    for (int i = 0; i < tries; ++i) {
        if (f()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return f();
}

}  // namespace testing
}  // namespace media
}  // namespace vexa
