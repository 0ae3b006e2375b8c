#include "BaseMarker.h"

#include <osg/Notify>

#include <cmath>
#include <typeinfo>

BaseMarker::BaseMarker() : m_corners(4, osg::Vec2f(0.f, 0.f)) {}

BaseMarker::~BaseMarker()
{
    OSG_INFO << "BaseMarker::~BaseMarker() : Deleted BaseMarker " << m_name << " of type '" << typeid(*this).name()
             << "' " << std::endl;
}

void BaseMarker::updateTransform(const osg::Matrixd& pose)
{
    if (!m_valid) return;
    if (m_filter.valid())
        (*m_filter)(*this, pose);
    else
        m_transform = pose;
}

double BaseMarker::CornerDisplacement(const std::vector<osg::Vec2f>& previous, int previousDirection,
                                      const double (*corners)[2], int direction)
{
    if (previousDirection < 0 || previous.size() < 4) return 0.0;
    double sum = 0.0;
    for (int k = 0; k < 4; ++k)
    {
        const double* now = corners[(direction + k) % 4];
        const osg::Vec2f& before = previous[static_cast<size_t>((previousDirection + k) % 4)];
        const double dx = now[0] - before.x(), dy = now[1] - before.y();
        sum += dx * dx + dy * dy;
    }
    return std::sqrt(sum) * 0.25;
}
