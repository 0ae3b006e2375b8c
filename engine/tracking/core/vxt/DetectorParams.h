#pragma once
#include <string>

#include "vxt/PixelFormat.h"
#include "vxt/stages/BinarizeStage.h"
#include "vxt/stages/LabelStage.h"
#include "vxt/stages/LuminanceStage.h"
#include "vxt/stages/PatternStage.h"
#include "vxt/stages/QuadStage.h"
#include "vxt/stages/ResultStage.h"

namespace vxt {

// Everything that steers one detection: one parameter struct per stage, the
// frame's pixel format and the debug switch.
struct DetectorParams {
    LuminanceParams luminance;
    BinarizeParams binarize;
    LabelParams label;
    QuadParams quad;
    PatternParams pattern;
    ResultParams result;
    PixelFormat pixelFormat = PixelFormat::BGR;  // format of frames given as bare pointers, default BGR
    int debugMode = 0;        // 1: write each stage's image to `debugFolder` (PGM), 0..1, default 0
    std::string debugFolder;  // folder for the debug images; empty: none written
};

}  // namespace vxt
