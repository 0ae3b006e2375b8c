#pragma once
// Whole-image helpers shared by the stages.
#include "vxt/ImageView.h"

namespace vxt {

// Half-size image: mean of each 2x2 block (an odd last row or column is
// dropped). `half` must be (full.width/2) x (full.height/2).
void halveImage(const Plane& full, Plane& half);

}  // namespace vxt
