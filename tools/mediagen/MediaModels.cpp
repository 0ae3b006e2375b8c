#include "MediaModels.h"

#include <osg/AnimationPath>
#include <osg/Geode>
#include <osg/Geometry>
#include <osg/Material>
#include <osg/MatrixTransform>
#include <osg/ShapeDrawable>

#include <cmath>

namespace mediamodels
{
namespace
{
const double kOrbitRadius = 45.0, kOrbitHeight = 50.0, kOrbitSeconds = 3.0;
const int kKeys = 72;

osg::Geode* lit(osg::Drawable* drawable, const osg::Vec4& colour, const osg::Vec4& glow)
{
    osg::Geode* geode = new osg::Geode;
    geode->addDrawable(drawable);
    osg::Material* material = new osg::Material;
    material->setDiffuse(osg::Material::FRONT_AND_BACK, colour);
    material->setAmbient(osg::Material::FRONT_AND_BACK, colour);
    material->setEmission(osg::Material::FRONT_AND_BACK, glow);
    geode->getOrCreateStateSet()->setAttributeAndModes(material);
    return geode;
}
}

osg::Node* Comet()
{
    osg::AnimationPath* path = new osg::AnimationPath;
    path->setLoopMode(osg::AnimationPath::LOOP);
    for (int i = 0; i <= kKeys; ++i)
    {
        const double a = 2 * M_PI * i / kKeys;
        const osg::Vec3d at(kOrbitRadius * std::cos(a), kOrbitRadius * std::sin(a),
                            kOrbitHeight + 12.0 * std::sin(2 * a));
        path->insert(kOrbitSeconds * i / kKeys, osg::AnimationPath::ControlPoint(at));
    }
    osg::MatrixTransform* comet = new osg::MatrixTransform;
    comet->setName("Comet");
    comet->setDataVariance(osg::Object::DYNAMIC);
    comet->setUpdateCallback(new osg::AnimationPathCallback(path));
    comet->addChild(lit(new osg::ShapeDrawable(new osg::Sphere(osg::Vec3(), 6.f)), osg::Vec4(1.f, 0.9f, 0.5f, 1.f),
                        osg::Vec4(0.6f, 0.5f, 0.2f, 1.f)));
    osg::Group* root = new osg::Group;
    root->setName("CometOrbit");
    root->addChild(comet);
    return root;
}

osg::Node* Screen()
{
    const float w = 96.f, h = 72.f, bottom = 10.f, back = 60.f;
    osg::Geometry* quad = new osg::Geometry;
    osg::Vec3Array* corners = new osg::Vec3Array;
    corners->push_back(osg::Vec3(-w / 2, back, bottom));
    corners->push_back(osg::Vec3(w / 2, back, bottom));
    corners->push_back(osg::Vec3(w / 2, back, bottom + h));
    corners->push_back(osg::Vec3(-w / 2, back, bottom + h));
    osg::Vec2Array* coords = new osg::Vec2Array;
    coords->push_back(osg::Vec2(0, 0));
    coords->push_back(osg::Vec2(1, 0));
    coords->push_back(osg::Vec2(1, 1));
    coords->push_back(osg::Vec2(0, 1));
    osg::Vec3Array* normal = new osg::Vec3Array;
    normal->push_back(osg::Vec3(0, -1, 0));
    quad->setVertexArray(corners);
    quad->setTexCoordArray(0, coords);
    quad->setNormalArray(normal, osg::Array::BIND_OVERALL);
    quad->addPrimitiveSet(new osg::DrawArrays(GL_QUADS, 0, 4));
    osg::Geode* screen = lit(quad, osg::Vec4(1, 1, 1, 1), osg::Vec4(0.4f, 0.4f, 0.4f, 1));
    screen->setName("ScreenFace");

    osg::Group* root = new osg::Group;
    root->setName("Screen");
    root->addChild(screen);
    osg::Box* post = new osg::Box(osg::Vec3(0, back + 2, bottom / 2), 8.f, 4.f, bottom);
    root->addChild(lit(new osg::ShapeDrawable(post), osg::Vec4(0.15f, 0.15f, 0.18f, 1), osg::Vec4()));
    return root;
}
}
