#pragma once
#include <vector>

#include "vxt/MarkerInfo.h"
#include "vxt/stages/BinarizeStage.h"
#include "vxt/stages/LabelStage.h"
#include "vxt/stages/LuminanceStage.h"
#include "vxt/stages/QuadStage.h"

namespace vxt {

// All buffers of one detection, kept from frame to frame: once they have
// grown to a frame's needs, later frames of the same kind allocate nothing.
struct FrameWorkspace {
    LuminanceOutput luminance;
    BinaryOutput binary;
    Labels labels;
    QuadOutput quads;
    std::vector<MarkerInfo> results;

    // Reserves room for a frame size so even the first frames rarely grow.
    void reserve(int width, int height);
};

}  // namespace vxt
