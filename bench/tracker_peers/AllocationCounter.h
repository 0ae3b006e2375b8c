#pragma once
// Counts heap allocations made by this program: calls of the global operator
// new (replaced in AllocationCounter.cpp) and, separately, every C-level
// allocation (malloc, calloc, realloc, posix_memalign, ...; operator new goes
// through malloc too, so it is counted there as well). C libraries such as
// AprilTag allocate with malloc, so the C-level count is the one that compares
// all detectors. Counts are process-wide; the benchmark runs one thread.

#include <cstdint>

namespace peerbench
{
struct AllocationCount
{
    uint64_t news = 0;     // global operator new calls
    uint64_t mallocs = 0;  // C-level allocations, operator new included
};

AllocationCount allocationsSoFar();
}
