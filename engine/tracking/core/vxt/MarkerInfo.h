#pragma once

namespace vxt {

// One detected square, as the detector reports it. Coordinates are observed
// (distorted) image pixels of the full-size frame, pixel (i, j) covering
// [i, i+1) x [j, j+1),
// y down. Corners run clockwise on screen (y down); `dir` names the corner
// that is the pattern's first (its printed top-left): vertex[dir] is top-left,
// vertex[(dir+1)%4] top-right, vertex[(dir+2)%4] bottom-right,
// vertex[(dir+3)%4] bottom-left.
struct MarkerInfo {
    int area = 0;             // pixels covered by the border component, full-size frame
    int id = -1;              // pattern id in the pattern set, -1 when nothing matched
    int dir = 0;              // 0..3, see above
    double cf = 0.0;          // confidence 0..1 of the match (0 when id is -1)
    double pos[2] = {0, 0};   // centre (intersection of the diagonals), pixels
    double vertex[4][2] = {}; // corners, pixels
    double line[4][3] = {};   // edge k (vertex k to k+1) as a*x + b*y + c = 0, (a,b) unit
};

}  // namespace vxt
