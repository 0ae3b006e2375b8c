#pragma once
// Camera calibration from views of a flat chessboard (OpenCV's calib3d):
// finds the board's inner corners in each grey picture, refines them to
// subpixel accuracy and, once enough views are collected, solves for the
// intrinsics and the Brown-Conrady lens model (k1 k2 p1 p2 k3).
// Results are in the tracking core's pixel convention (pixel (i, j) covers
// [i, i+1) x [j, j+1)), not OpenCV's.

#include "BoardSpec.h"

#include <opencv2/core.hpp>

#include <string>
#include <vector>

namespace vxtools
{
struct CalibrationResult
{
    int width = 0, height = 0;      // pixels
    double fx = 0, fy = 0;          // pixels
    double cx = 0, cy = 0;          // pixels, core convention
    double dist[5] = {0, 0, 0, 0, 0};  // k1 k2 p1 p2 k3
    double rms = 0;                 // reprojection error, pixels
    int views = 0;
};

class ChessboardCalibration
{
public:
    /// At least this many views with the board found are needed.
    static const int kMinViews = 3;

    explicit ChessboardCalibration(const BoardSpec& board);

    /// Looks for the board in an 8-bit grey picture. True when found (the view
    /// is kept); false with `why` set when the picture does not fit (size
    /// differs from the first view) or holds no complete board.
    bool addView(const cv::Mat& grey, std::string& why);
    int viewCount() const { return static_cast<int>(m_imagePoints.size()); }

    /// Keeps at most `count` views, evenly spread over those collected (a
    /// solve over hundreds of video frames is slow and adds little).
    void thinTo(int count);

    /// Which lens coefficients the solve fits.
    enum class LensModel
    {
        NoK3,          // k1 k2 p1 p2, k3 = 0 (default: with views that do not
                       // reach the picture's corners, the usual case, a free k3
                       // trades off against k2 and the focal length)
        Full,          // k1 k2 p1 p2 k3
        Distortionless // all zero: a good lens; the intrinsics are then best determined
    };

    /// Solves with the views collected; false with `error` set when there are
    /// too few views or the solve fails.
    bool calibrate(CalibrationResult& result, std::string& error, LensModel model = LensModel::NoK3) const;

private:
    BoardSpec m_board;
    cv::Size m_size;
    std::vector<std::vector<cv::Point2f>> m_imagePoints;
};
}
