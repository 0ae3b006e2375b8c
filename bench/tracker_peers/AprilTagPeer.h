#pragma once
// AprilTag 3 (Debian libapriltag-dev), family tag36h11, default settings
// (decimation 2, edge refinement on), one thread. Its black square (8 of the
// tag's 10 cells; the outer cell is white) is placed where our marker's
// square lies, so the outer corners share the poses of our footage; the
// black border is 12.5 % of that width (the family's own layout). `process`
// is the grey conversion and apriltag_detector_detect; the pose (solvePnP,
// IPPE for squares, as for ArUco) is computed in `collect`, not timed.

#include "MarkerDetector.h"

struct apriltag_detector;
struct apriltag_family;
struct zarray;

namespace peerbench
{
class AprilTagPeer : public MarkerDetector
{
public:
    AprilTagPeer(double fx, double fy, double cx, double cy, double widthMm);
    ~AprilTagPeer() override;
    AprilTagPeer(const AprilTagPeer&) = delete;
    AprilTagPeer& operator=(const AprilTagPeer&) = delete;

    std::string name() const override { return "AprilTag 3"; }
    void load(const cv::Mat& bgr) override { m_frame = bgr; }
    void process() override;
    int collect(Detection* out, int capacity) override;

    /// The tag picture of `id`, `cellPixels` per cell (10 cells across with
    /// the white outer cell); false when the picture cannot be made.
    static cv::Mat tagPicture(int id, int cellPixels);

private:
    cv::Mat m_frame, m_grey;
    apriltag_family* m_family = nullptr;
    apriltag_detector* m_detector = nullptr;
    zarray* m_found = nullptr;
    cv::Matx33d m_camera;
    double m_width;
};
}
