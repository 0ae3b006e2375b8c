#include "OursDetector.h"

#include <cassert>
#include <cstring>

namespace peerbench
{
OursDetector::~OursDetector() = default;

bool OursDetector::init(int width, int height, const std::string& cameraFile, const std::vector<std::string>& patterns,
                        double widthMm, bool globalOnly, std::string& error)
{
    m_globalOnly = globalOnly;
    m_tracker = new SquareTracker();
    if (!m_tracker->init(width, height, "", cameraFile))
    {
        error = "SquareTracker::init failed with '" + cameraFile + "'";
        return false;
    }
    if (globalOnly) m_tracker->SetAdaptiveThreshold(false);
    const double centre[2] = {0.0, 0.0};
    for (const std::string& p : patterns)
        if (m_tracker->addSingleMarker(p, widthMm, centre) < 0)
        {
            error = "SquareTracker::addSingleMarker failed with '" + p + "'";
            return false;
        }
    m_image = new osg::Image();
    m_image->allocateImage(width, height, 1, GL_BGR, GL_UNSIGNED_BYTE);
    m_tracker->setImageSource(m_image.get());
    return true;
}

void OursDetector::load(const cv::Mat& bgr)
{
    assert(bgr.cols == m_image->s() && bgr.rows == m_image->t() && "OursDetector::load: frame size changed");
    const size_t row = static_cast<size_t>(bgr.cols) * 3;
    for (int y = 0; y < bgr.rows; ++y) std::memcpy(m_image->data(0, y), bgr.ptr(y), row);
    m_image->dirty();
}

void OursDetector::process()
{
    m_tracker->update();
}

int OursDetector::collect(Detection* out, int capacity)
{
    int n = 0;
    for (int i = 0; i < m_tracker->getMarkerCount() && n < capacity; ++i)
    {
        BaseMarker* marker = m_tracker->getMarker(i);
        if (!marker->isValid()) continue;
        Detection& d = out[n++];
        d.id = i;
        // Corners run in detector order; the direction names the printed top-left.
        const int dir = marker->getDirection();
        for (int k = 0; k < 4; ++k)
        {
            const osg::Vec2f& c = marker->getCorners()[static_cast<size_t>((dir + k) % 4)];
            d.corner[k][0] = c.x();
            d.corner[k][1] = c.y();
        }
        // The transform is an OpenGL modelview (y up, z toward the viewer).
        const osg::Vec3d t = marker->getTransform().getTrans();
        d.hasPose = true;
        d.t[0] = t.x();
        d.t[1] = -t.y();
        d.t[2] = -t.z();
    }
    return n;
}
}
