#include "UpdateCameraAndTexGenCallback.h"

#include <osg/ComputeBoundsVisitor>

#include <algorithm>

namespace
{
const double kNearRatio = 0.001;  // nearest plane allowed, as a share of the farthest
}

UpdateCameraAndTexGenCallback::UpdateCameraAndTexGenCallback(const osg::Vec4& lightPosition, osg::Camera* camera,
                                                             osg::TexGenNode* texGen, osg::TexMat* texMat)
    : m_position(lightPosition), m_camera(camera), m_texGen(texGen), m_texMat(texMat)
{
}

void UpdateCameraAndTexGenCallback::operator()(osg::Node* node, osg::NodeVisitor* visitor)
{
    traverse(node, visitor);
    osg::ref_ptr<osg::Camera> camera;
    if (!m_camera.lock(camera)) return;
    // Only what is drawn counts: hidden markers and the object store (node mask 0) are left out.
    osg::ComputeBoundsVisitor bounds;
    for (unsigned i = 0; i < camera->getNumChildren(); ++i) camera->getChild(i)->accept(bounds);
    const osg::BoundingBox& box = bounds.getBoundingBox();
    if (box.valid()) Aim(osg::BoundingSphere(box.center(), std::max(box.radius(), 1e-3f)));
}

bool UpdateCameraAndTexGenCallback::Aim(const osg::BoundingSphere& bound)
{
    osg::ref_ptr<osg::Camera> camera;
    if (!bound.valid() || !m_camera.lock(camera)) return false;
    const osg::Vec3d center = bound.center();
    const double radius = bound.radius();
    osg::Vec3d eye, direction;
    if (m_position.w() == 0.f)
    {
        direction = osg::Vec3d(m_position.x(), m_position.y(), m_position.z());
        if (direction.length2() == 0.0) direction.set(0, 0, 1);
        direction.normalize();
        eye = center + direction * (2.0 * radius);
        camera->setProjectionMatrixAsOrtho(-radius, radius, -radius, radius, radius * 0.5, radius * 3.5);
    }
    else
    {
        eye = osg::Vec3d(m_position.x(), m_position.y(), m_position.z()) / m_position.w();
        direction = eye - center;
        const double distance = std::max(direction.length(), 1e-6);
        if (direction.length2() == 0.0) direction.set(0, 0, 1);
        direction.normalize();
        const double zFar = distance + radius;
        const double zNear = std::max(distance - radius, zFar * kNearRatio);
        const double half = (distance > radius ? radius / std::sqrt(distance * distance - radius * radius) : 1.0) * zNear;
        camera->setProjectionMatrixAsFrustum(-half, half, -half, half, zNear, zFar);
    }
    const osg::Vec3d up = std::fabs(direction.y()) > 0.99 ? osg::Vec3d(1, 0, 0) : osg::Vec3d(0, 1, 0);
    camera->setViewMatrixAsLookAt(eye, center, up);
    const osg::Matrixd toTexture = camera->getViewMatrix() * camera->getProjectionMatrix() *
                                   osg::Matrixd::translate(1.0, 1.0, 1.0) * osg::Matrixd::scale(0.5, 0.5, 0.5);
    osg::ref_ptr<osg::TexGenNode> texGen;
    if (m_texGen.lock(texGen))
    {
        texGen->getTexGen()->setMode(osg::TexGen::EYE_LINEAR);
        texGen->getTexGen()->setPlanesFromMatrix(toTexture);
    }
    if (m_texMat.valid()) m_texMat->setMatrix(toTexture);
    return true;
}
