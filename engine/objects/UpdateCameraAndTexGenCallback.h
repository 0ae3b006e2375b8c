#pragma once
// Update callback of a light's shadow-map pass: every frame it aims the depth
// camera from the light at what the camera renders (a perspective frustum for
// a positioned light, an orthographic box for a directional one, w = 0), and
// sets the texture generation planes and the texture matrix that map a point
// of the lit scene (in the frame of the pass) into the depth texture:
// view x projection x bias (row vectors), bias taking -1..1 to 0..1.

#include <osg/Camera>
#include <osg/NodeCallback>
#include <osg/TexGenNode>
#include <osg/TexMat>
#include <osg/Vec4>
#include <osg/ref_ptr>

class UpdateCameraAndTexGenCallback : public osg::NodeCallback
{
public:
    UpdateCameraAndTexGenCallback(const osg::Vec4& lightPosition, osg::Camera* camera, osg::TexGenNode* texGen,
                                  osg::TexMat* texMat);

    void operator()(osg::Node* node, osg::NodeVisitor* visitor) override;

    /// Aims the camera at a sphere and updates the planes; false when the
    /// sphere is empty (nothing changes then).
    bool Aim(const osg::BoundingSphere& bound);

private:
    osg::Vec4 m_position;
    osg::observer_ptr<osg::Camera> m_camera;
    osg::observer_ptr<osg::TexGenNode> m_texGen;
    osg::ref_ptr<osg::TexMat> m_texMat;
};
