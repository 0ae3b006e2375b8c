#include "Shapes.h"

#include <osg/CullFace>
#include <osg/LightModel>
#include <osg/Material>
#include <osg/Texture2D>

#include <cmath>

namespace
{
const float kPi = 3.14159265f;

osg::Geometry* makeGeometry(osg::Vec3Array* v, osg::Vec3Array* n, osg::Vec2Array* t, GLenum mode)
{
    osg::Geometry* geometry = new osg::Geometry;
    geometry->setVertexArray(v);
    geometry->setNormalArray(n, osg::Array::BIND_PER_VERTEX);
    geometry->setTexCoordArray(0, t);
    osg::Vec4Array* colours = new osg::Vec4Array;
    colours->push_back(osg::Vec4(1, 1, 1, 1));
    geometry->setColorArray(colours, osg::Array::BIND_OVERALL);
    geometry->addPrimitiveSet(new osg::DrawArrays(mode, 0, static_cast<GLsizei>(v->size())));
    return geometry;
}

void quad(osg::Vec3Array* v, osg::Vec3Array* n, osg::Vec2Array* t, const osg::Vec3& a, const osg::Vec3& b,
          const osg::Vec3& c, const osg::Vec3& d, float su, float sv)
{
    osg::Vec3 normal = (b - a) ^ (d - a);
    normal.normalize();
    const osg::Vec3 corners[4] = {a, b, c, d};
    const osg::Vec2 uv[4] = {{0, 0}, {su, 0}, {su, sv}, {0, sv}};
    for (int i = 0; i < 4; ++i)
    {
        v->push_back(corners[i]);
        n->push_back(normal);
        t->push_back(uv[i]);
    }
}
}

namespace shapes
{
osg::Geometry* Box(const osg::Vec3& lo, const osg::Vec3& hi, float repeat)
{
    osg::Vec3Array* v = new osg::Vec3Array;
    osg::Vec3Array* n = new osg::Vec3Array;
    osg::Vec2Array* t = new osg::Vec2Array;
    const float r = repeat;
    quad(v, n, t, {lo.x(), lo.y(), lo.z()}, {hi.x(), lo.y(), lo.z()}, {hi.x(), lo.y(), hi.z()}, {lo.x(), lo.y(), hi.z()}, r, r);
    quad(v, n, t, {hi.x(), lo.y(), lo.z()}, {hi.x(), hi.y(), lo.z()}, {hi.x(), hi.y(), hi.z()}, {hi.x(), lo.y(), hi.z()}, r, r);
    quad(v, n, t, {hi.x(), hi.y(), lo.z()}, {lo.x(), hi.y(), lo.z()}, {lo.x(), hi.y(), hi.z()}, {hi.x(), hi.y(), hi.z()}, r, r);
    quad(v, n, t, {lo.x(), hi.y(), lo.z()}, {lo.x(), lo.y(), lo.z()}, {lo.x(), lo.y(), hi.z()}, {lo.x(), hi.y(), hi.z()}, r, r);
    quad(v, n, t, {lo.x(), lo.y(), hi.z()}, {hi.x(), lo.y(), hi.z()}, {hi.x(), hi.y(), hi.z()}, {lo.x(), hi.y(), hi.z()}, r, r);
    quad(v, n, t, {lo.x(), hi.y(), lo.z()}, {hi.x(), hi.y(), lo.z()}, {hi.x(), lo.y(), lo.z()}, {lo.x(), lo.y(), lo.z()}, r, r);
    return makeGeometry(v, n, t, GL_QUADS);
}

osg::Geometry* Lathe(const std::function<float(float)>& radius, const std::function<float(float)>& height, int rings,
                     int segments, const osg::Vec3& centre)
{
    osg::Vec3Array* v = new osg::Vec3Array;
    osg::Vec3Array* n = new osg::Vec3Array;
    osg::Vec2Array* t = new osg::Vec2Array;
    auto point = [&](float s, float a) {
        return centre + osg::Vec3(radius(s) * std::cos(a), radius(s) * std::sin(a), height(s));
    };
    auto normal = [&](float s, float a) {
        const float ds = 1e-3f;
        const float s0 = std::max(0.f, s - ds), s1 = std::min(1.f, s + ds);
        const float dr = radius(s1) - radius(s0), dh = height(s1) - height(s0);
        osg::Vec3 nrm(dh * std::cos(a), dh * std::sin(a), -dr);  // profile tangent turned outwards
        if (nrm.length2() < 1e-12f) nrm.set(0, 0, height(1.f) > height(0.f) ? (s > 0.5f ? 1.f : -1.f) : 1.f);
        nrm.normalize();
        return nrm;
    };
    for (int i = 0; i < rings; ++i)
    {
        const float s0 = float(i) / rings, s1 = float(i + 1) / rings;
        for (int j = 0; j < segments; ++j)
        {
            const float a0 = 2 * kPi * j / segments, a1 = 2 * kPi * (j + 1) / segments;
            const float u0 = float(j) / segments, u1 = float(j + 1) / segments;
            const float sa[4] = {s0, s0, s1, s1};
            const float aa[4] = {a0, a1, a1, a0};
            const float ua[4] = {u0, u1, u1, u0};
            for (int k = 0; k < 4; ++k)
            {
                v->push_back(point(sa[k], aa[k]));
                n->push_back(normal(sa[k], aa[k]));
                t->push_back(osg::Vec2(ua[k], sa[k]));
            }
        }
    }
    return makeGeometry(v, n, t, GL_QUADS);
}

osg::Geometry* Cylinder(const osg::Vec3& base, float radius, float height, int segments)
{
    // Profile: bottom cap, side, top cap.
    auto r = [=](float s) { return s < 0.1f ? radius * s / 0.1f : (s > 0.9f ? radius * (1 - s) / 0.1f : radius); };
    auto h = [=](float s) { return s < 0.1f ? 0.f : (s > 0.9f ? height : height * (s - 0.1f) / 0.8f); };
    return Lathe(r, h, 10, segments, base);
}

osg::Geometry* Cone(const osg::Vec3& base, float radius, float height, int segments)
{
    auto r = [=](float s) { return s < 0.2f ? radius * s / 0.2f : radius * (1 - s) / 0.8f; };
    auto h = [=](float s) { return s < 0.2f ? 0.f : height * (s - 0.2f) / 0.8f; };
    return Lathe(r, h, 5, segments, base);
}

osg::Geometry* Sphere(const osg::Vec3& centre, float radius, int segments)
{
    auto r = [=](float s) { return radius * std::sin(kPi * s); };
    auto h = [=](float s) { return -radius * std::cos(kPi * s); };
    return Lathe(r, h, segments / 2, segments, centre);
}

osg::Geometry* Polygon(const std::vector<osg::Vec3>& corners)
{
    osg::Vec3Array* v = new osg::Vec3Array;
    osg::Vec3Array* n = new osg::Vec3Array;
    osg::Vec2Array* t = new osg::Vec2Array;
    osg::Vec3 normal = (corners[1] - corners[0]) ^ (corners[2] - corners[0]);
    normal.normalize();
    osg::Vec3 u = corners[1] - corners[0];
    const float length = u.normalize();
    const osg::Vec3 w = normal ^ u;
    for (const osg::Vec3& c : corners)
    {
        v->push_back(c);
        n->push_back(normal);
        t->push_back(osg::Vec2((c - corners[0]) * u / length, (c - corners[0]) * w / length));
    }
    return makeGeometry(v, n, t, GL_POLYGON);
}

osg::Geometry* Roof(float x0, float x1, float y0, float y1, float z0, float ridge, float o)
{
    osg::Vec3Array* v = new osg::Vec3Array;
    osg::Vec3Array* n = new osg::Vec3Array;
    osg::Vec2Array* t = new osg::Vec2Array;
    const float ym = 0.5f * (y0 + y1);
    quad(v, n, t, {x0 - o, y0 - o, z0}, {x1 + o, y0 - o, z0}, {x1 + o, ym, ridge}, {x0 - o, ym, ridge}, 3, 2);
    quad(v, n, t, {x1 + o, y1 + o, z0}, {x0 - o, y1 + o, z0}, {x0 - o, ym, ridge}, {x1 + o, ym, ridge}, 3, 2);
    osg::Geometry* geometry = makeGeometry(v, n, t, GL_QUADS);
    return geometry;
}

osg::Geode* Part(osg::Geometry* geometry, osg::Image* texture, const osg::Vec4& colour, float shininess, bool twoSided)
{
    osg::Geode* geode = new osg::Geode;
    geode->addDrawable(geometry);
    osg::StateSet* state = geode->getOrCreateStateSet();
    osg::Material* material = new osg::Material;
    material->setAmbient(osg::Material::FRONT_AND_BACK, colour * 0.3f);
    material->setDiffuse(osg::Material::FRONT_AND_BACK, colour);
    material->setSpecular(osg::Material::FRONT_AND_BACK, osg::Vec4(0.4f, 0.4f, 0.4f, 1.f));
    material->setShininess(osg::Material::FRONT_AND_BACK, shininess);
    state->setAttributeAndModes(material, osg::StateAttribute::ON);
    if (texture)
    {
        osg::Texture2D* map = new osg::Texture2D(texture);
        map->setWrap(osg::Texture::WRAP_S, osg::Texture::REPEAT);
        map->setWrap(osg::Texture::WRAP_T, osg::Texture::REPEAT);
        map->setFilter(osg::Texture::MIN_FILTER, osg::Texture::LINEAR_MIPMAP_LINEAR);
        state->setTextureAttributeAndModes(0, map, osg::StateAttribute::ON);
    }
    if (twoSided)
    {
        osg::LightModel* model = new osg::LightModel;
        model->setTwoSided(true);
        state->setAttributeAndModes(model, osg::StateAttribute::ON);
        state->setMode(GL_CULL_FACE, osg::StateAttribute::OFF);
    }
    return geode;
}
}
