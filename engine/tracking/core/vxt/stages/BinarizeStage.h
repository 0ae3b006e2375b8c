#pragma once
// Step 2a: foreground mask at the labeling threshold.
#include <cstdint>
#include <vector>

#include "vxt/ImageView.h"

namespace vxt {

struct BinarizeParams {
    int threshold = 100;     // grey level, 0..255, default 100; foreground is below it (mode 0) or above (mode 1)
    int labelingMode = 0;    // 0: dark squares on a light ground; 1: light squares on a dark ground. Default 0
    // Local threshold: `threshold` is applied as if the surroundings were
    // stretched to the full range (darkest nearby grey 0, brightest 255), so
    // the decision lies at darkest + (brightest - darkest) * threshold / 255;
    // where the surroundings have less than `minContrast`, `threshold`
    // itself decides. Default off.
    bool adaptive = false;
    int tileSize = 16;       // adaptive: tile side in labelling pixels, 4..64, default 16
    int tileRadius = 1;      // adaptive: tiles on each side pooled for the local range, 0..8, default 1
    int minContrast = 40;    // adaptive: grey levels (2x2 means) of range below which a tile takes the global threshold, 0..255, default 40
};

struct BinaryOutput {
    Plane mask;  // 255 foreground (the squares' colour), 0 background
    std::vector<std::uint8_t> buffer;
    // Adaptive only: 2x2-averaged image, per-tile ranges and thresholds.
    std::vector<std::uint8_t> smallBuffer, tileMin, tileMax, tileScratch, tileThreshold;
    std::vector<std::uint8_t> colMin, colMax, rowThreshold;
};

void binarizeStage(const Plane& grey, const BinarizeParams& p, BinaryOutput& out);

}  // namespace vxt
