#include "MarkerTransformCallback.h"

#include <osg/MatrixTransform>
#include <osg/NodeVisitor>

void MarkerTransformCallback::operator()(osg::Node* node, osg::NodeVisitor* nv)
{
    // Hidden nodes must still be visited, or a hidden marker never reappears.
    nv->setNodeMaskOverride(~0u);
    if (auto* transform = dynamic_cast<osg::MatrixTransform*>(node))
    {
        if (m_marker.valid() && m_marker->isValid())
        {
            transform->setMatrix(m_marker->getTransform());
            transform->setNodeMask(~0u);
        }
        else if (m_marker.valid())
            transform->setNodeMask(0u);
    }
    traverse(node, nv);
}
