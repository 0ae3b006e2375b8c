#pragma once
// Everything that defines a synthetic clip: picture size and timing, camera, the
// marker cards and how they move, and the picture conditions. Filled with defaults,
// then by a preset, a scene file and command-line options (SceneReader).

#include <cstdint>
#include <string>
#include <vector>

#include "CameraModel.h"
#include "MarkerSpec.h"

namespace vxsynth {

struct SynthScene {
    int width = 640, height = 480;
    int frames = 50;
    double fps = 25.0;
    uint64_t seed = 1;
    CameraModel camera;
    bool centreSet = false;   // false: cx, cy follow the picture size (its centre)
    double distMin = 400, distMax = 1400;  // mm
    double tiltMaxDeg = 50;
    double spinDegPerS = 20;  // largest in-plane turning speed
    double speed = 1.0;       // scales all motion frequencies
    double markerPx = 0;      // > 0: every marker about this many pixels wide
    std::string background = "wood";  // wood, cloth or flat
    double lightMin = 1.0, lightMax = 1.0, lightAngleDeg = 0.0;
    double noiseSigma = 0;    // sensor noise, 8-bit units
    double blurSigma = 0;     // Gaussian blur, pixels
    double shutter = 0;       // exposure as a fraction of the frame time (motion blur)
    double motionBlurPx = 0, motionBlurAngleDeg = 0;  // linear streak over the whole picture
    int occluders = 0;
    double occlusionLimit = 0.0;  // largest occluded fraction of a marker still counted visible
    int quality = 90;         // video quality 1..100
    int threads = 1;          // rendering threads; never changes the pictures
    bool frameCode = false;   // frame number drawn as blocks in the top-right corner (FrameCode)
    std::vector<MarkerSpec> markers;
};

}  // namespace vxsynth
