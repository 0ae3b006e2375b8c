#pragma once
// Small deterministic random source (SplitMix64) so that a clip depends only on its
// seed, never on the standard library's distributions.

#include <cmath>
#include <cstdint>

namespace vxsynth {

class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}

    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
    double uniform(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    // Standard normal (Box-Muller; each pair of uniforms gives two values).
    double normal() {
        if (hasSpare_) {
            hasSpare_ = false;
            return spare_;
        }
        const double u1 = 1.0 - uniform(), u2 = uniform();
        const double r = std::sqrt(-2.0 * std::log(u1)), a = 6.283185307179586 * u2;
        spare_ = r * std::sin(a);
        hasSpare_ = true;
        return r * std::cos(a);
    }
    // Mixes two values into a seed for an independent stream.
    static uint64_t mix(uint64_t a, uint64_t b) { return Random(a * 0x632BE59BD9B4E019ull ^ b).next(); }

private:
    uint64_t state_;
    double spare_ = 0;
    bool hasSpare_ = false;
};

}  // namespace vxsynth
