#include "CEntityRandom.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <ctime>

namespace
{
// Entities built in the same second still get different sequences.
std::atomic<uint32_t> g_made{0};
}

CEntityRandom::CEntityRandom() : m_state(static_cast<uint32_t>(std::time(nullptr)) + 7919u * g_made++) {}

float CEntityRandom::Between(float a, float b)
{
    return std::fabs(b - a) * static_cast<float>(Next()) / 32768.f + std::min(a, b);
}
