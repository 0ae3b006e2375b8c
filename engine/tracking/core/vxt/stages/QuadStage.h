#pragma once
// Step 3: candidate squares from the components: size and fill limits,
// contour, four corners, subpixel edges refined on the grey image.
#include <cstdint>
#include <vector>

#include "vxt/ImageView.h"
#include "vxt/MarkerInfo.h"
#include "vxt/stages/LabelStage.h"

namespace vxt {

struct QuadParams {
    int minArea = 60;               // full-size pixels of the border component, 1.., default 60
    double maxAreaFraction = 0.5;   // of the frame area, 0..1, default 0.5
    double minFill = 0.05;          // component area / bounding-box area, 0..1, default 0.05
    double maxFill = 1.0;           // same, upper limit, default 1 (a marker with a dark picture fills its box)
    double minSide = 8.0;           // full-size pixels, shortest edge allowed, default 8
    double vertexTolerance = 0.07;  // largest contour deviation from an edge, fraction of the mean side, 0.01..0.3, default 0.07
    bool refine = true;             // subpixel edges on the grey image; default on
    double searchRadius = 3.0;      // full-size pixels searched on each side of an edge, 1..10, default 3
    int maxEdgeSamples = 32;        // edge points per edge in the final pass, 4..256, default 32
    int minEdgeContrast = 12;       // grey levels across an edge for a usable edge point, default 12
    double maxCornerShift = 6.0;    // labelling pixels a corner may move in refinement (or 0.15 of the side if more) before the candidate is dropped, default 6
};

struct QuadInput {
    const Labels* labels = nullptr;
    Plane mask;       // labelling image (foreground 255)
    Plane fullGrey;   // full-size grey image for refinement
    int scale = 1;    // full-size pixels per labelling pixel
};

struct QuadOutput {
    std::vector<MarkerInfo> candidates;  // id -1, cf 0; pattern fields filled by step 4
    // Scratch reused from frame to frame.
    std::vector<std::int32_t> contour;   // packed x | y << 16
    std::vector<float> edgeX, edgeY, edgeW;
};

void quadStage(const QuadInput& in, const QuadParams& p, QuadOutput& out);

}  // namespace vxt
