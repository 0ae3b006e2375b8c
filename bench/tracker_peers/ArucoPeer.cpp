#include "ArucoPeer.h"

#include "SquarePose.h"

#include <opencv2/imgproc.hpp>

namespace peerbench
{
ArucoPeer::ArucoPeer(double fx, double fy, double cx, double cy, double widthMm)
    : m_dictionary(cv::aruco::getPredefinedDictionary(cv::aruco::DICT_4X4_50)),
      m_params(cv::aruco::DetectorParameters::create()), m_camera(fx, 0, cx, 0, fy, cy, 0, 0, 1), m_width(widthMm)
{
    m_params->markerBorderBits = kBorderBits;
    m_params->cornerRefinementMethod = cv::aruco::CORNER_REFINE_SUBPIX;
}

cv::Mat ArucoPeer::markerPicture(int id, int sidePixels)
{
    cv::Mat img;
    cv::aruco::drawMarker(cv::aruco::getPredefinedDictionary(cv::aruco::DICT_4X4_50), id, sidePixels, img,
                          kBorderBits);
    return img;
}

void ArucoPeer::process()
{
    cv::cvtColor(m_frame, m_grey, cv::COLOR_BGR2GRAY);
    cv::aruco::detectMarkers(m_grey, m_dictionary, m_corners, m_ids, m_params);
}

int ArucoPeer::collect(Detection* out, int capacity)
{
    int n = 0;
    for (size_t i = 0; i < m_ids.size() && n < capacity; ++i)
    {
        Detection& d = out[n++];
        d.id = m_ids[i];
        // OpenCV puts pixel centres on whole numbers, the footage at i + 0.5.
        for (int k = 0; k < 4; ++k)
        {
            d.corner[k][0] = m_corners[i][static_cast<size_t>(k)].x + 0.5;
            d.corner[k][1] = m_corners[i][static_cast<size_t>(k)].y + 0.5;
        }
        solveSquarePose(m_camera, m_width, d);
    }
    return n;
}
}
