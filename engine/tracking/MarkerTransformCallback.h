#pragma once
// Update callback of a MarkerTransform: copies the marker's filtered pose
// into the node while the marker is found, hides the node otherwise.

#include "BaseMarker.h"

#include <osg/NodeCallback>

class MarkerTransformCallback : public osg::NodeCallback
{
public:
    explicit MarkerTransformCallback(BaseMarker* marker) : m_marker(marker) {}

    void operator()(osg::Node* node, osg::NodeVisitor* nv) override;

private:
    osg::ref_ptr<BaseMarker> m_marker;
};
