#pragma once
// OpenCV's ArUco detector (contrib module, Debian libopencv-contrib-dev):
// dictionary DICT_4X4_50 drawn with a 2-cell border (8 cells across, so the
// black border is 25 % of the width as on our markers), subpixel corner
// refinement. `process` is the grey conversion and detectMarkers; the pose
// (solvePnP, IPPE for squares) is computed in `collect`, not timed.

#include "MarkerDetector.h"

#include <opencv2/aruco.hpp>

#include <vector>

namespace peerbench
{
class ArucoPeer : public MarkerDetector
{
public:
    static const int kBorderBits = 2;

    /// Camera intrinsics in the footage's pixel convention; marker width in mm.
    ArucoPeer(double fx, double fy, double cx, double cy, double widthMm);
    std::string name() const override { return "ArUco"; }
    void load(const cv::Mat& bgr) override { m_frame = bgr; }
    void process() override;
    int collect(Detection* out, int capacity) override;

    /// The marker picture of `id` (black square filling the picture).
    static cv::Mat markerPicture(int id, int sidePixels);

private:
    cv::Mat m_frame, m_grey;
    cv::Ptr<cv::aruco::Dictionary> m_dictionary;
    cv::Ptr<cv::aruco::DetectorParameters> m_params;
    std::vector<std::vector<cv::Point2f>> m_corners;
    std::vector<int> m_ids;
    cv::Matx33d m_camera;
    double m_width;
};
}
