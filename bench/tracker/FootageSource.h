#pragma once
// Frames from footage written as PNG files with a ground-truth table
// (DIR/frame_000000.png ..., DIR/truth.csv: frame, marker name, visible, four
// corners, R row-major, t in mm, occluded fraction), as the footage
// synthesiser writes them.
#include <memory>
#include <string>
#include <vector>

#include "FrameSource.h"

namespace vxtbench {

struct FootageSettings {
    std::string folder;       // holds frame_NNNNNN.png and truth.csv
    std::string cameraFile;   // camera parameter file
    struct Marker {
        std::string name;     // marker name used in the table
        std::string patternFile;
        double width = 80.0;  // mm
    };
    std::vector<Marker> markers;
    int maxFrames = 200;
    double maxOccluded = 0.1;  // markers covered more than this are not counted
};

// Null with `error` set when the footage cannot be read.
std::unique_ptr<FrameSource> makeFootageSource(const FootageSettings& settings, std::string& error);

}  // namespace vxtbench
