#pragma once
// Pose of a square marker from its four corners (printed order, footage pixel
// convention) with OpenCV's solvePnP (IPPE for squares), for the peers.

#include "Detection.h"

#include <opencv2/core.hpp>

namespace peerbench
{
/// Fills d.t and d.hasPose from d.corner; camera matrix in the same pixel
/// convention as the corners.
void solveSquarePose(const cv::Matx33d& camera, double widthMm, Detection& d);
}
