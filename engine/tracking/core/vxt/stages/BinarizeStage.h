#pragma once
// Step 2a: foreground mask at the labeling threshold.
#include <cstdint>
#include <vector>

#include "vxt/ImageView.h"

namespace vxt {

struct BinarizeParams {
    int threshold = 100;     // grey level, 0..255, default 100; foreground is below it (mode 0) or above (mode 1)
    int labelingMode = 0;    // 0: dark squares on a light ground; 1: light squares on a dark ground. Default 0
    bool adaptive = false;   // local threshold instead of `threshold`; default off
    int tileSize = 8;        // adaptive: tile side in labelling pixels, 4..64, default 8
    int tileRadius = 2;      // adaptive: tiles on each side pooled for the local range, 0..8, default 2
    int minContrast = 24;    // adaptive: grey levels; tiles whose pooled range is lower are background, 0..255, default 24
};

struct BinaryOutput {
    Plane mask;  // 255 foreground (the squares' colour), 0 background
    std::vector<std::uint8_t> buffer;
    std::vector<std::uint8_t> tileMin, tileMax, tileScratch, tileThreshold;  // adaptive only
};

void binarizeStage(const Plane& grey, const BinarizeParams& p, BinaryOutput& out);

}  // namespace vxt
