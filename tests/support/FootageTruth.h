#pragma once
// The ground-truth table written by the footage synthesiser with its video:
// per frame and marker, visibility, the four corners and the pose.

#include <map>
#include <string>

struct FootageTruth
{
    bool visible = false;
    double corners[4][2] = {};  // image pixels, printed top-left, top-right, bottom-right, bottom-left
    double r[3][3] = {};        // rotation, marker frame to camera frame
    double t[3] = {};           // translation, mm

    /// frame -> marker name -> truth; empty when the file cannot be read.
    static std::map<int, std::map<std::string, FootageTruth>> Read(const std::string& path);
};
