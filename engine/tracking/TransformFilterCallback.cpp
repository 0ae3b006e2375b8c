#include "TransformFilterCallback.h"

#include "SingleMarker.h"

#include <cmath>

namespace
{
const double kSteadyDisplacement = 2.0;  // pixels: below this a marker counts as still
}

TransformFilterCallback::TransformFilterCallback() = default;

bool TransformFilterCallback::RejectsJump(const osg::Matrixd& pose)
{
    if (!m_jumpRejectionOn) return false;
    const osg::Vec3f t = pose.getTrans();
    if ((t - m_translation).length() <= m_jumpDistance) return false;
    ++m_jumpCount;
    return m_jumpCount < m_jumpFrameLimit;
}

void TransformFilterCallback::AdaptRotationSmoothing(const BaseMarker& marker)
{
    const SingleMarker* single = marker.getType() == 1 ? dynamic_cast<const SingleMarker*>(&marker) : nullptr;
    if (single && single->getDisplacement() <= kSteadyDisplacement)
    {
        // A still marker whose axis keeps wobbling gets heavy smoothing.
        const bool jittery = m_windowFrames == 0 ? m_jitter > 0.0 : m_jitter / m_windowFrames > 0.01;
        m_rotationSmoothing = jittery ? 0.2f : 0.8f;
    }
    else
        m_rotationSmoothing = 0.8f;
}

bool TransformFilterCallback::RejectsOrientation(const BaseMarker& marker, const osg::Matrixd& pose)
{
    if (!m_orientationCheckOn) return false;
    osg::Vec3f d = pose.preMult(osg::Vec3d(0.0, 0.0, 1000.0)) - pose.getTrans();
    if (d.length() > 0.f) d.normalize();
    const float c = d * m_referenceDirection;
    m_jitter += std::fabs(static_cast<double>(c) - m_previousCosine);
    AdaptRotationSmoothing(marker);
    m_previousCosine = c;
    if (++m_windowFrames >= m_windowLength)
    {
        m_windowFrames = 0;
        m_jitter = 0.0;
    }
    m_currentDirection = d;
    // Only a turn away from the reference axis is a jump; a pose that agrees
    // with it exactly (a card moved without turning) is the best case, not
    // a suspicious one.
    if (c < m_orientationThreshold)
    {
        ++m_orientationCount;
        if (m_orientationCount < m_orientationFrameLimit) return true;
    }
    else
        m_referenceDirection = d;
    return false;
}

void TransformFilterCallback::operator()(BaseMarker& marker, const osg::Matrixd& pose)
{
    if (RejectsJump(pose)) return;
    if (RejectsOrientation(marker, pose)) return;
    m_jumpCount = 0;
    m_orientationCount = 0;
    m_referenceDirection = m_currentDirection;
    m_lastMatrix = pose;
    osg::Matrixd result = pose;
    if (m_rotationSmoothingOn)
    {
        osg::Quat smoothed;
        smoothed.slerp(m_rotationSmoothing, m_rotation, pose.getRotate());
        m_rotation = smoothed;
        result.makeRotate(m_rotation);
    }
    if (m_translationSmoothingOn)
    {
        m_translation += (osg::Vec3f(pose.getTrans()) - m_translation) * m_translationSmoothing;
        result.setTrans(m_translation);
    }
    else if (m_rotationSmoothingOn)
        result.setTrans(pose.getTrans());
    marker.setTransform(result);
}
