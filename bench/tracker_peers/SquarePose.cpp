#include "SquarePose.h"

#include <opencv2/calib3d.hpp>

#include <vector>

namespace peerbench
{
void solveSquarePose(const cv::Matx33d& camera, double widthMm, Detection& d)
{
    const float h = static_cast<float>(widthMm / 2);
    // Marker frame: x right, y up toward the printed top, z toward the viewer.
    const std::vector<cv::Point3f> object = {{-h, h, 0}, {h, h, 0}, {h, -h, 0}, {-h, -h, 0}};
    std::vector<cv::Point2f> image;
    for (int k = 0; k < 4; ++k)
        image.emplace_back(static_cast<float>(d.corner[k][0]), static_cast<float>(d.corner[k][1]));
    cv::Vec3d rvec, tvec;
    d.hasPose = cv::solvePnP(object, image, camera, cv::noArray(), rvec, tvec, false, cv::SOLVEPNP_IPPE_SQUARE);
    for (int i = 0; i < 3; ++i) d.t[i] = tvec[i];
}
}
