#pragma once
// One marker found in a frame, in the footage's conventions: corners in image
// pixels with pixel (i, j) covering [i, i+1) x [j, j+1), in the printed
// picture's order (top-left, top-right, bottom-right, bottom-left); pose
// translation in the camera frame (x right, y down, z forward), mm.

namespace peerbench
{
struct Detection
{
    int id = -1;              // marker index in the scene (0..7), -1 unknown
    double corner[4][2] = {};
    bool hasPose = false;
    double t[3] = {0, 0, 0};  // mm
};
}
