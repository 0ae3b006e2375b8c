#pragma once
// A monotonic high-resolution counter with a fixed frequency, for frame timing.

#include <cstdint>

class CHighResCounter
{
public:
    /// Counts per second (nanosecond resolution).
    static int64_t Frequency();
    /// Current count; never goes backwards.
    static int64_t Now();
};
