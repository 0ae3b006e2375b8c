#include "MarkerTransform.h"

#include "MarkerTransformCallback.h"

#include <osg/Notify>

MarkerTransform::MarkerTransform(BaseMarker* marker) : m_marker(marker)
{
    if (!marker)
    {
        OSG_FATAL << "MarkerTransform::MarkerTransform(marker): " << "Could not create a transform callback"
                  << std::endl;
        return;
    }
    setUpdateCallback(new MarkerTransformCallback(marker));
}

MarkerTransform::MarkerTransform() = default;

MarkerTransform::MarkerTransform(const MarkerTransform& other, const osg::CopyOp& op)
    : osg::MatrixTransform(other, op), m_marker(other.m_marker)
{
}

MarkerTransform::~MarkerTransform()
{
    setUpdateCallback(nullptr);
}
