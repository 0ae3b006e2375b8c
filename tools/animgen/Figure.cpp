#include "Figure.h"

#include <osg/AnimationPath>
#include <osg/Geode>
#include <osg/Material>
#include <osg/MatrixTransform>
#include <osg/ShapeDrawable>

#include <cmath>
#include <functional>

namespace hopper
{
namespace
{
const double kDegrees = M_PI / 180.0;
const int kLastFrame = kFramesPerPart * kParts;

osg::Geode* part(osg::Shape* shape, const osg::Vec4& colour)
{
    osg::ShapeDrawable* drawable = new osg::ShapeDrawable(shape);
    drawable->setColor(colour);
    osg::Geode* geode = new osg::Geode;
    geode->addDrawable(drawable);
    osg::Material* material = new osg::Material;
    material->setColorMode(osg::Material::AMBIENT_AND_DIFFUSE);
    material->setSpecular(osg::Material::FRONT_AND_BACK, osg::Vec4(0.3f, 0.3f, 0.3f, 1.f));
    material->setShininess(osg::Material::FRONT_AND_BACK, 32.f);
    geode->getOrCreateStateSet()->setAttributeAndModes(material);
    return geode;
}

// A transform moved by a path with one key per frame, its pose from `pose`
// (frame -> control point).
osg::MatrixTransform* animated(const char* name,
                               const std::function<osg::AnimationPath::ControlPoint(int)>& pose)
{
    osg::AnimationPath* path = new osg::AnimationPath;
    path->setLoopMode(osg::AnimationPath::LOOP);
    for (int frame = 0; frame <= kLastFrame; ++frame) path->insert(frame / kFramesPerSecond, pose(frame));
    osg::MatrixTransform* transform = new osg::MatrixTransform;
    transform->setName(name);
    transform->setDataVariance(osg::Object::DYNAMIC);
    transform->setUpdateCallback(new osg::AnimationPathCallback(path));
    return transform;
}

double ease(double t)
{
    return t * t * (3 - 2 * t);
}

// The body: drops from 120 mm with a full turn and a squash on landing,
// then bobs, then leans towards the waving arm.
osg::AnimationPath::ControlPoint bodyPose(int frame)
{
    double z = 0, turn = 0, squash = 1, lean = 0;
    if (frame <= kFramesPerPart)
    {
        const double t = double(frame) / kFramesPerPart;
        const double fall = std::min(1.0, t / 0.7);
        z = 120 * (1 - fall * fall);
        turn = 360 * (1 - ease(fall));
        if (t > 0.7) squash = 1 - 0.25 * std::sin(M_PI * (t - 0.7) / 0.3);
    }
    else if (frame <= 2 * kFramesPerPart)
    {
        const double t = double(frame - kFramesPerPart) / kFramesPerPart;
        z = 4 * std::sin(M_PI * t);
        squash = 1 + 0.04 * std::sin(2 * M_PI * t);
    }
    else
    {
        const double t = double(frame - 2 * kFramesPerPart) / kFramesPerPart;
        lean = -8 * std::sin(M_PI * t);
    }
    const osg::Quat rotation(turn * kDegrees, osg::Z_AXIS, lean * kDegrees, osg::Y_AXIS, 0, osg::X_AXIS);
    return osg::AnimationPath::ControlPoint(osg::Vec3d(0, 0, z), rotation, osg::Vec3d(1, 1, squash));
}

// An arm hangs from its shoulder (x = side * 19, z = 40); the right arm
// waves in the third part, both swing a little while idling.
osg::AnimationPath::ControlPoint armPose(int frame, double side)
{
    double raise = 20;
    if (frame > kFramesPerPart && frame <= 2 * kFramesPerPart)
        raise = 20 + 8 * std::sin(2 * M_PI * (frame - kFramesPerPart) / kFramesPerPart);
    else if (frame > 2 * kFramesPerPart && side > 0)
    {
        const double t = double(frame - 2 * kFramesPerPart) / kFramesPerPart;
        const double up = std::sin(M_PI * std::min(1.0, t * 1.25));
        raise = 20 + 130 * up + 25 * up * std::sin(6 * M_PI * t);
    }
    const osg::Quat rotation(-side * raise * kDegrees, osg::Y_AXIS);
    return osg::AnimationPath::ControlPoint(osg::Vec3d(side * 19, 0, 40), rotation);
}

osg::Node* arm(const char* name, double side)
{
    osg::MatrixTransform* shoulder = animated(name, [side](int frame) { return armPose(frame, side); });
    // The arm points down from the shoulder, the hand at its end.
    shoulder->addChild(part(new osg::Capsule(osg::Vec3(0, 0, -13), 3.5f, 18.f), osg::Vec4(0.95f, 0.6f, 0.1f, 1)));
    shoulder->addChild(part(new osg::Sphere(osg::Vec3(0, 0, -25), 5.f), osg::Vec4(1.f, 0.85f, 0.7f, 1)));
    return shoulder;
}
}

osg::Node* Build()
{
    osg::Group* root = new osg::Group;
    root->setName("hopper");
    osg::MatrixTransform* body = animated("hopper body", bodyPose);
    const osg::Vec4 orange(0.95f, 0.55f, 0.1f, 1), skin(1.f, 0.85f, 0.7f, 1), dark(0.15f, 0.15f, 0.2f, 1);
    body->addChild(part(new osg::Sphere(osg::Vec3(0, 0, 30), 18.f), orange));
    body->addChild(part(new osg::Sphere(osg::Vec3(0, 0, 58), 12.f), skin));
    body->addChild(part(new osg::Sphere(osg::Vec3(-4.5f, -10.5f, 61), 2.2f), dark));  // eyes look along -y
    body->addChild(part(new osg::Sphere(osg::Vec3(4.5f, -10.5f, 61), 2.2f), dark));
    body->addChild(part(new osg::Box(osg::Vec3(-8, -3, 4), 9.f, 16.f, 8.f), dark));   // feet
    body->addChild(part(new osg::Box(osg::Vec3(8, -3, 4), 9.f, 16.f, 8.f), dark));
    body->addChild(arm("hopper left arm", -1));
    body->addChild(arm("hopper right arm", 1));
    root->addChild(body);
    return root;
}
}
