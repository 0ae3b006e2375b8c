#pragma once
// The scene node that follows one marker: content below it moves with the
// marker and is hidden in every frame in which the marker is not found.

#include "BaseMarker.h"

#include <osg/MatrixTransform>

class MarkerTransform : public osg::MatrixTransform
{
public:
    /// Holds a reference to the marker; a null marker makes a node that
    /// never moves and is never hidden.
    explicit MarkerTransform(BaseMarker* marker);
    MarkerTransform();
    MarkerTransform(const MarkerTransform& other, const osg::CopyOp& op = osg::CopyOp::SHALLOW_COPY);

    osg::Object* cloneType() const override { return new MarkerTransform(); }
    osg::Object* clone(const osg::CopyOp& op) const override { return new MarkerTransform(*this, op); }
    bool isSameKindAs(const osg::Object* obj) const override
    {
        return dynamic_cast<const MarkerTransform*>(obj) != nullptr;
    }
    const char* libraryName() const override { return "NULL"; }
    const char* className() const override { return "MarkerTransform"; }

    BaseMarker* getMarker() { return m_marker.get(); }

protected:
    ~MarkerTransform() override;

private:
    osg::ref_ptr<BaseMarker> m_marker;
};
