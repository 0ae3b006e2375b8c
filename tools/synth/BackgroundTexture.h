#pragma once
// Procedural, seeded backgrounds behind the cards, smooth at the pixel scale so that
// one value per pixel centre represents them well: "wood" (a table top with grain),
// "cloth" (a blue-grey mottled cloth) and "flat" (uniform grey).

#include <cstdint>
#include <string>

#include "FloatFrame.h"

namespace vxsynth {

class BackgroundTexture {
public:
    // Renders `kind` at width x height, values 0..255. `kind` must be wood, cloth or flat.
    static FloatFrame render(const std::string& kind, uint64_t seed, int width, int height);

    // Smooth value noise in [0, 1] at (x, y) in lattice units.
    static double valueNoise(double x, double y, uint64_t seed);
    // Sum of `octaves` noise layers, each twice as fine and half as strong; in [0, 1].
    static double fbm(double x, double y, uint64_t seed, int octaves);
};

}  // namespace vxsynth
