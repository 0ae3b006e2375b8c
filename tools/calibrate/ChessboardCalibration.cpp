#include "ChessboardCalibration.h"

#include <opencv2/calib3d.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdio>

namespace vxtools
{
namespace
{
std::string sizeText(const cv::Size& s)
{
    return std::to_string(s.width) + " x " + std::to_string(s.height);
}

// Smallest distance between neighbouring corners, pixels: the refinement
// window must stay inside one square.
double smallestSpacing(const std::vector<cv::Point2f>& corners, int cols, int rows)
{
    double best = 1e9;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
        {
            const cv::Point2f& p = corners[static_cast<size_t>(r * cols + c)];
            if (c + 1 < cols) best = std::min(best, cv::norm(p - corners[static_cast<size_t>(r * cols + c + 1)]));
            if (r + 1 < rows) best = std::min(best, cv::norm(p - corners[static_cast<size_t>((r + 1) * cols + c)]));
        }
    return best;
}
}

ChessboardCalibration::ChessboardCalibration(const BoardSpec& board) : m_board(board)
{
    assert(board.cols >= 2 && board.rows >= 2 && "ChessboardCalibration: board needs 2 x 2 inner corners or more");
    assert(board.squareMm > 0 && "ChessboardCalibration: square size must be positive");
}

bool ChessboardCalibration::addView(const cv::Mat& grey, std::string& why)
{
    assert(grey.type() == CV_8UC1 && "ChessboardCalibration::addView: expects an 8-bit grey picture");
    if (!m_imagePoints.empty() && grey.size() != m_size)
    {
        why = "picture is " + sizeText(grey.size()) + ", expected " + sizeText(m_size) + " like the first";
        return false;
    }
    const cv::Size pattern(m_board.cols, m_board.rows);
    std::vector<cv::Point2f> corners;
    const int flags = cv::CALIB_CB_ADAPTIVE_THRESH | cv::CALIB_CB_NORMALIZE_IMAGE;
    if (!cv::findChessboardCorners(grey, pattern, corners, flags))
    {
        why = "no complete " + std::to_string(m_board.cols) + "x" + std::to_string(m_board.rows) +
              " chessboard found";
        return false;
    }
    // Half window: 40 % of the smallest corner spacing, 2..11 pixels.
    const int half = std::max(2, std::min(11, static_cast<int>(0.4 * smallestSpacing(corners, m_board.cols,
                                                                                       m_board.rows))));
    cv::cornerSubPix(grey, corners, cv::Size(half, half), cv::Size(-1, -1),
                     cv::TermCriteria(cv::TermCriteria::EPS + cv::TermCriteria::COUNT, 50, 0.001));
    m_size = grey.size();
    m_imagePoints.push_back(std::move(corners));
    return true;
}

void ChessboardCalibration::thinTo(int count)
{
    assert(count >= kMinViews && "ChessboardCalibration::thinTo: keep at least the minimum of views");
    const int n = viewCount();
    if (n <= count) return;
    std::vector<std::vector<cv::Point2f>> kept;
    for (int i = 0; i < count; ++i) kept.push_back(m_imagePoints[static_cast<size_t>(i * n / count)]);
    m_imagePoints.swap(kept);
}

bool ChessboardCalibration::calibrate(CalibrationResult& result, std::string& error, LensModel model) const
{
    if (viewCount() < kMinViews)
    {
        error = "need the board in at least " + std::to_string(kMinViews) + " pictures, found it in " +
                std::to_string(viewCount());
        return false;
    }
    std::vector<cv::Point3f> board;
    for (int r = 0; r < m_board.rows; ++r)
        for (int c = 0; c < m_board.cols; ++c)
            board.emplace_back(static_cast<float>(c * m_board.squareMm), static_cast<float>(r * m_board.squareMm),
                               0.f);
    const std::vector<std::vector<cv::Point3f>> objectPoints(m_imagePoints.size(), board);
    cv::Mat camera, dist;
    std::vector<cv::Mat> rvecs, tvecs;
    int flags = cv::CALIB_FIX_K3;
    if (model == LensModel::Full) flags = 0;
    if (model == LensModel::Distortionless)
        flags = cv::CALIB_FIX_K1 | cv::CALIB_FIX_K2 | cv::CALIB_FIX_K3 | cv::CALIB_ZERO_TANGENT_DIST;
    double rms = 0;
    try
    {
        rms = cv::calibrateCamera(objectPoints, m_imagePoints, m_size, camera, dist, rvecs, tvecs, flags);
    }
    catch (const cv::Exception& e)
    {
        error = std::string("calibration failed: ") + e.what();
        return false;
    }
    if (!std::isfinite(rms) || camera.empty())
    {
        error = "calibration failed: no finite solution";
        return false;
    }
    result.width = m_size.width;
    result.height = m_size.height;
    result.fx = camera.at<double>(0, 0);
    result.fy = camera.at<double>(1, 1);
    // OpenCV puts pixel centres on whole numbers, the core at i + 0.5: the
    // principal point moves by half a pixel.
    result.cx = camera.at<double>(0, 2) + 0.5;
    result.cy = camera.at<double>(1, 2) + 0.5;
    for (int i = 0; i < 5; ++i) result.dist[i] = dist.at<double>(0, i);
    result.rms = rms;
    result.views = viewCount();
    return true;
}
}
