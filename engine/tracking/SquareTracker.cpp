#include "SquareTracker.h"

#include <algorithm>

namespace
{
// Frustum of a pinhole camera with the principal point at the image centre.
void cameraFrustum(double fx, double fy, double width, double height, double nearPlane, double farPlane,
                   double* m)
{
    std::fill(m, m + 16, 0.0);
    m[0] = 2.0 * fx / width;
    m[5] = 2.0 * fy / height;
    m[10] = -(farPlane + nearPlane) / (farPlane - nearPlane);
    m[11] = -1.0;
    m[14] = -2.0 * farPlane * nearPlane / (farPlane - nearPlane);
}
}

SquareTracker::SquareTracker()
{
    cameraFrustum(700.0, 700.0, 640.0, 480.0, 10.0, 8000.0, m_projection);
}

void SquareTracker::setUserThreshold(int threshold)
{
    m_userThreshold = std::clamp(threshold, 0, 255);
}

void SquareTracker::setMaxAutoSteps(int steps)
{
    m_maxAutoSteps = std::clamp(steps, 0, 20);
}

void SquareTracker::setAutoStepSize(int size)
{
    m_autoStepSize = std::clamp(size, 0, 20);
}

osg::Node* SquareTracker::BuildDebugLayer(const osg::Vec2f&)
{
    m_debugGroup = new osg::Group;
    return m_debugGroup.get();
}
