#include "RateLimitedLog.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace vexa {
namespace media {
namespace {

TEST(RateLimitedLog, OneLinePerKeyPerIntervalWithRepeatCount) {
    double now = 100.0;
    std::vector<std::string> lines;
    RateLimitedLog log([&](const std::string& m) { lines.push_back(m); }, 10.0, [&] { return now; });
    for (int i = 0; i < 500; ++i) log.log("timeout", "no frame");
    log.log("drop", "dropped a frame");
    EXPECT_EQ((std::vector<std::string>{"no frame", "dropped a frame"}), lines);
    EXPECT_EQ(499, log.heldBack("timeout"));
    now += 9.9;
    log.log("timeout", "no frame");
    EXPECT_EQ(2u, lines.size());
    now += 0.2;
    log.log("timeout", "no frame");
    EXPECT_EQ("no frame (repeated 500 times)", lines.back());
    EXPECT_EQ(0, log.heldBack("timeout"));
    now += 60.0;
    log.log("timeout", "no frame");
    EXPECT_EQ("no frame", lines.back());
    log.always("opened");
    log.always("opened");
    EXPECT_EQ(6u, lines.size());
}

TEST(RateLimitedLog, SafeFromTwoThreadsAndWithoutSink) {
    std::vector<std::string> lines;
    RateLimitedLog log([&](const std::string& m) { lines.push_back(m); });
    std::thread a([&] { for (int i = 0; i < 1000; ++i) log.log("k", "x"); });
    std::thread b([&] { for (int i = 0; i < 1000; ++i) log.log("k", "x"); });
    a.join();
    b.join();
    EXPECT_EQ(1u, lines.size());
    RateLimitedLog quiet{LogSink()};
    quiet.log("k", "nobody hears this");
    quiet.always("nor this");
}

}  // namespace
}  // namespace media
}  // namespace vexa
