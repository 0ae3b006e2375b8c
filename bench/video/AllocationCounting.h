#pragma once
// Counts heap allocations of the whole program: operator new (our C++ code)
// and the C allocator (FFmpeg allocates through it). Linking
// AllocationCounting.cpp into a benchmark replaces both for that program.

#include <atomic>

namespace AllocationCounting
{
long news();
long mallocs();
}
