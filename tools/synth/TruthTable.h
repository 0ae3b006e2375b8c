#pragma once
// The ground-truth CSV: a header line, then one row per frame and marker:
//   frame,marker,visible,x0,y0,x1,y1,x2,y2,x3,y3,r00,...,r22,tx,ty,tz,occluded
// Corners are the marker square's corners in image pixels (pixel (i, j) covers
// [i, i+1) x [j, j+1)), in the printed picture's order: top-left, top-right,
// bottom-right, bottom-left as printed. R (row-major) and t (mm) take marker-frame
// points to the camera frame. occluded is the covered fraction of the marker square.

#include <string>

#include "Pose.h"

namespace vxsynth {

class TruthTable {
public:
    static std::string header();

    struct Row {
        int frame = 0;
        std::string marker;
        bool visible = false;
        double corners[4][2] = {};
        Pose pose;
        double occluded = 0;
    };

    // Appends one row (with its newline) to `out`.
    static void append(const Row& row, std::string& out);
};

}  // namespace vxsynth
