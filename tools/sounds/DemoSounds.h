#pragma once
// The sounds of the bundled content set, synthesised (no recordings), always
// the same samples: one channel at kRate samples a second, values in -1..1.
//   Chime  1.6 s  a struck bell (three partials dying away), peak 0.7
//   Loop   2.0 s  a soft chord with a slow swell whose every part repeats a
//                 whole number of times, so it loops without a seam; peak 0.5
//   Click  0.03 s a short tick for menu buttons, peak 0.8
//   MenuClick  the object menu's four clicks (0 page, 1 object, 2 up,
//              3 close): short two-tone ticks of their own pitch, peak 0.7
// Tone is a plain sine for measurements.

#include <vector>

class DemoSounds
{
public:
    static constexpr int kRate = 22050;

    static std::vector<float> Chime();
    static std::vector<float> Loop();
    static std::vector<float> Click();
    static std::vector<float> MenuClick(int kind);
    /// A sine of `hertz` for `seconds` at `amplitude`, starting at phase 0.
    static std::vector<float> Tone(double hertz, double seconds, float amplitude);

    /// Scales the samples so that the largest magnitude is `peak`.
    static void Normalise(std::vector<float>& samples, float peak);
};
