#pragma once
// The random numbers of the particle trails and the bubbles: values 0 to
// 32767, as the C library's generator gives them on the platforms the
// content was made for, so the ranges written in content files
// (|b - a| x value / 32768 + min(a, b)) mean the same everywhere. The C
// library on Linux gives values up to 2^31 - 1, which would throw particles
// far beyond their ranges; this generator keeps to 15 bits.
//
// Each entity owns one generator: seeded with the time when the entity is
// built, or with a fixed seed (tests, reproducible runs). Not shared between
// threads; Next allocates nothing.

#include <cstdint>

class CEntityRandom
{
public:
    static constexpr int kMax = 32767;

    /// Seeded with the current time.
    CEntityRandom();
    explicit CEntityRandom(uint32_t seed) : m_state(seed) {}

    void Seed(uint32_t seed) { m_state = seed; }
    /// The next value, 0 to 32767.
    int Next()
    {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int>((m_state >> 16) & 0x7FFFu);
    }
    /// |b - a| x Next() / 32768 added to the smaller of the two: between a
    /// and b whatever their order.
    float Between(float a, float b);
    /// a + Next() x (b - a) / 32768: uniform in [a, b).
    float Uniform(float a, float b) { return a + static_cast<float>(Next()) * (b - a) / 32768.f; }
    /// Next() / 16384 - 1: between -1 and 1.
    float Signed() { return static_cast<float>(Next()) / 16384.f - 1.f; }

private:
    uint32_t m_state;
};
