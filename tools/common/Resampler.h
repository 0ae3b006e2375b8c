#pragma once
// Scaling of pictures by exact area averaging: each output pixel is the mean of the
// input over the area it covers (input pixels are treated as uniform squares).
// Works for enlarging and reducing alike and keeps edges where the pixel grid puts them.

#include "Image.h"

namespace vxtools {

class Resampler {
public:
    // Returns `src` scaled to width x height (both positive).
    static Image scale(const Image& src, int width, int height);

    // Returns `src` scaled to fit a size x size square, keeping its aspect ratio;
    // the rest of the square is white.
    static Image fitSquare(const Image& src, int size);
};

}  // namespace vxtools
