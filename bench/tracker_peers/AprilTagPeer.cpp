#include "AprilTagPeer.h"

#include "SquarePose.h"

// The C headers do not all declare C linkage themselves.
extern "C" {
#include <apriltag/apriltag.h>
#include <apriltag/tag36h11.h>
}

#include <opencv2/imgproc.hpp>

#include <cstdlib>

namespace peerbench
{
namespace
{
// AprilTag's corner k is printed-order corner kCorner[k] (its corners run
// from the bottom-left the other way round). Checked on rendered frames: the
// benchmark prints the mean signed corner error, about 0.00 px this way.
const int kCorner[4] = {3, 2, 1, 0};
// AprilTag already places pixel centres at i + 0.5 (mean signed error about
// 0.00 px without an offset, 0.5 px with one).
const double kOffset = 0.0;
}

AprilTagPeer::AprilTagPeer(double fx, double fy, double cx, double cy, double widthMm)
    : m_family(tag36h11_create()), m_detector(apriltag_detector_create()), m_camera(fx, 0, cx, 0, fy, cy, 0, 0, 1),
      m_width(widthMm)
{
    apriltag_detector_add_family(m_detector, m_family);
    m_detector->nthreads = 1;
}

AprilTagPeer::~AprilTagPeer()
{
    if (m_found) apriltag_detections_destroy(m_found);
    apriltag_detector_destroy(m_detector);
    tag36h11_destroy(m_family);
}

cv::Mat AprilTagPeer::tagPicture(int id, int cellPixels)
{
    apriltag_family_t* family = tag36h11_create();
    image_u8_t* tag = apriltag_to_image(family, id);
    cv::Mat out;
    if (tag)
    {
        const cv::Mat view(tag->height, tag->width, CV_8UC1, tag->buf, static_cast<size_t>(tag->stride));
        cv::resize(view, out, cv::Size(), cellPixels, cellPixels, cv::INTER_NEAREST);
        // The library does not export image_u8_destroy; this is what it does.
        std::free(tag->buf);
        std::free(tag);
    }
    tag36h11_destroy(family);
    return out;
}

void AprilTagPeer::process()
{
    cv::cvtColor(m_frame, m_grey, cv::COLOR_BGR2GRAY);
    image_u8_t image = {m_grey.cols, m_grey.rows, static_cast<int32_t>(m_grey.step), m_grey.data};
    if (m_found) apriltag_detections_destroy(m_found);
    m_found = apriltag_detector_detect(m_detector, &image);
}

int AprilTagPeer::collect(Detection* out, int capacity)
{
    int n = 0;
    for (int i = 0; m_found && i < zarray_size(m_found) && n < capacity; ++i)
    {
        apriltag_detection_t* det = nullptr;
        zarray_get(m_found, i, &det);
        Detection& d = out[n++];
        d.id = det->id;
        for (int k = 0; k < 4; ++k)
        {
            d.corner[kCorner[k]][0] = det->p[k][0] + kOffset;
            d.corner[kCorner[k]][1] = det->p[k][1] + kOffset;
        }
        solveSquarePose(m_camera, m_width, d);
    }
    return n;
}
}
