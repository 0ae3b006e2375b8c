#pragma once
// One marker card of a synthetic clip: its picture, size and how it moves.
// Values of -1 take the scene's setting.

#include <string>

namespace vxsynth {

struct MarkerSpec {
    std::string name;
    std::string source;       // PNG path, or design:NAME for a built-in picture printed as a marker
    double widthMm = 80.0;    // marker square (outer edge of the black border), mm
    double cardScale = 1.5;   // card side / marker width (white paper around the marker)
    std::string box = "auto"; // marker square in the picture: auto, full or X:Y:SIDE (pixels)
    double distMin = -1, distMax = -1;  // mm; -1 = scene default
    double tiltMaxDeg = -1;   // -1 = scene default
    double spinDegPerS = -1;  // -1 = scene default
    double markerPx = -1;     // > 0: distance chosen so the marker is about this many pixels wide
    std::string path = "drift";  // drift, orbit, sweep or still
};

}  // namespace vxsynth
