#include "CHighResCounter.h"

#include <chrono>

int64_t CHighResCounter::Frequency()
{
    return 1000000000LL;
}

int64_t CHighResCounter::Now()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}
