#include "DemoSounds.h"

#include <algorithm>
#include <cmath>

namespace
{
const double kTwoPi = 6.283185307179586;

std::vector<float> silence(double seconds)
{
    return std::vector<float>(static_cast<size_t>(std::lround(seconds * DemoSounds::kRate)), 0.f);
}

double timeOf(size_t i)
{
    return static_cast<double>(i) / DemoSounds::kRate;
}

// A sine partial dying away with time constant `decay` (seconds).
void addPartial(std::vector<float>& samples, double hertz, double amplitude, double decay)
{
    for (size_t i = 0; i < samples.size(); ++i)
    {
        const double t = timeOf(i);
        samples[i] += static_cast<float>(amplitude * std::sin(kTwoPi * hertz * t) * std::exp(-t / decay));
    }
}

// Raises the first `seconds` from silence, so the start makes no click.
void fadeIn(std::vector<float>& samples, double seconds)
{
    const size_t n = static_cast<size_t>(seconds * DemoSounds::kRate);
    for (size_t i = 0; i < n && i < samples.size(); ++i) samples[i] *= static_cast<float>(i) / n;
}
}

void DemoSounds::Normalise(std::vector<float>& samples, float peak)
{
    float largest = 0.f;
    for (float s : samples) largest = std::max(largest, std::fabs(s));
    if (largest <= 0.f) return;
    for (float& s : samples) s *= peak / largest;
}

std::vector<float> DemoSounds::Chime()
{
    std::vector<float> samples = silence(1.6);
    addPartial(samples, 880.0, 1.0, 0.6);
    addPartial(samples, 880.0 * 2.76, 0.5, 0.3);
    addPartial(samples, 880.0 * 5.40, 0.25, 0.15);
    fadeIn(samples, 0.005);
    Normalise(samples, 0.7f);
    return samples;
}

std::vector<float> DemoSounds::Loop()
{
    // 220, 330 and 440 Hz and a 2 Hz swell all repeat whole times in 2 s.
    std::vector<float> samples = silence(2.0);
    for (size_t i = 0; i < samples.size(); ++i)
    {
        const double t = timeOf(i);
        const double chord = std::sin(kTwoPi * 220.0 * t) + 0.6 * std::sin(kTwoPi * 330.0 * t) +
                             0.3 * std::sin(kTwoPi * 440.0 * t);
        samples[i] = static_cast<float>(chord * (1.0 + 0.3 * std::sin(kTwoPi * 2.0 * t)));
    }
    Normalise(samples, 0.5f);
    return samples;
}

std::vector<float> DemoSounds::Click()
{
    std::vector<float> samples = silence(0.03);
    addPartial(samples, 2000.0, 1.0, 0.005);
    Normalise(samples, 0.8f);
    return samples;
}

std::vector<float> DemoSounds::MenuClick(int kind)
{
    // Going deeper sounds higher, going back lower; an object gets a brighter tick.
    const double pitch[] = {1500.0, 2200.0, 1100.0, 800.0};
    const double hertz = pitch[kind < 0 || kind > 3 ? 0 : kind];
    std::vector<float> samples = silence(0.06);
    addPartial(samples, hertz, 1.0, 0.012);
    addPartial(samples, hertz * 1.5, 0.4, 0.008);
    Normalise(samples, 0.7f);
    return samples;
}

std::vector<float> DemoSounds::Tone(double hertz, double seconds, float amplitude)
{
    std::vector<float> samples = silence(seconds);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<float>(amplitude * std::sin(kTwoPi * hertz * timeOf(i)));
    return samples;
}
