#pragma once
// Step 4: identify each candidate by sampling its inner half into a 16x16
// grid and correlating with every active pattern in all four rotations.
#include <vector>

#include "vxt/ImageView.h"
#include "vxt/MarkerInfo.h"

namespace vxt {

class PatternSet;

struct PatternParams {
    // 0: colour templates; 1: grey templates; 2: grey with the linear shading
    // across the marker removed from sample and template (for strong lighting
    // gradients). Range 0..2, default 0.
    int mode = 0;
    double minConfidence = 0.5;  // correlation below which id stays -1, 0..1, default 0.5
};

struct PatternInput {
    ImageView frame;        // original frame (colour sampling)
    Plane fullGrey;         // full-size grey image
    const PatternSet* patterns = nullptr;  // may be null: nothing matches
};

// Sampled grid of one square (scratch, reused).
struct PatternSample {
    float colour[16 * 16 * 3];
    float grey[16 * 16];
};

// Fills id, dir and cf of every candidate.
void patternStage(const PatternInput& in, const PatternParams& p, std::vector<MarkerInfo>& candidates);

// Samples the inner half of a square with corner `first` as top-left into a
// 16x16 RGB grid (0..255), upright. Used to save a pattern.
void samplePattern(const PatternInput& in, const MarkerInfo& square, int first, PatternSample& out);

}  // namespace vxt
