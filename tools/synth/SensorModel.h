#pragma once
// Turns a rendered frame into what a camera would deliver: a lighting gradient across
// the picture, Gaussian blur, linear motion blur (a straight streak centred on each
// point, so positions stay where they were), Gaussian sensor noise (seeded per frame)
// and rounding to 8 bits. Owns its scratch buffers, reused from frame to frame.

#include <cstdint>
#include <vector>

#include "FloatFrame.h"
#include "Image.h"
#include "SynthScene.h"

namespace vxsynth {

class SensorModel {
public:
    explicit SensorModel(const SynthScene& scene);

    // Lighting gain at pixel centre (x + 0.5, y + 0.5): from lightMin on one side to
    // lightMax on the other, along the direction lightAngleDeg (0 = left to right).
    double gain(int x, int y) const;

    // Applies lighting, blur and noise to `frame` (changed in place) and writes `out`.
    void develop(FloatFrame& frame, int frameIndex, vxtools::Image& out);

private:
    void blur(FloatFrame& frame);
    void streak(FloatFrame& frame);

    const SynthScene& scene_;
    double dirX_ = 1, dirY_ = 0;  // lighting direction
    std::vector<float> kernel_;
    std::vector<float> line_;
    FloatFrame scratch_;
};

}  // namespace vxsynth
