#include "EffectDemo.h"

#include <osg/Geode>
#include <osg/Geometry>
#include <osg/Material>
#include <osg/Texture2D>

#include <cmath>
#include <functional>

namespace effectdemo
{
namespace
{
const float kPi = 3.14159265f;

// A surface of revolution about z: profile(t) gives (radius, height) for t
// in 0..1, texture s runs round, t along the profile.
osg::Geometry* lathe(const std::function<osg::Vec2(float)>& profile, int rings, int segments,
                     const osg::Vec3& centre = osg::Vec3())
{
    osg::Geometry* geometry = new osg::Geometry;
    osg::Vec3Array* v = new osg::Vec3Array;
    osg::Vec3Array* n = new osg::Vec3Array;
    osg::Vec2Array* t = new osg::Vec2Array;
    for (int r = 0; r <= rings; ++r)
    {
        const float s = float(r) / rings, ds = 0.5f / rings;
        const osg::Vec2 p = profile(s);
        const osg::Vec2 tangent = profile(std::min(1.f, s + ds)) - profile(std::max(0.f, s - ds));
        for (int k = 0; k <= segments; ++k)
        {
            const float a = 2.f * kPi * k / segments;
            const osg::Vec3 out(std::cos(a), std::sin(a), 0.f);
            v->push_back(centre + out * p.x() + osg::Vec3(0, 0, p.y()));
            osg::Vec3 normal = out * tangent.y() - osg::Vec3(0, 0, tangent.x());
            if (normal.length2() < 1e-12f) normal = osg::Vec3(0, 0, s < 0.5f ? -1.f : 1.f);
            normal.normalize();
            n->push_back(normal);
            t->push_back(osg::Vec2(float(k) / segments, s));
        }
    }
    osg::DrawElementsUInt* quads = new osg::DrawElementsUInt(GL_TRIANGLES);
    for (int r = 0; r < rings; ++r)
        for (int k = 0; k < segments; ++k)
        {
            const unsigned a = r * (segments + 1) + k, b = a + segments + 1;
            quads->push_back(a), quads->push_back(a + 1), quads->push_back(b + 1);
            quads->push_back(a), quads->push_back(b + 1), quads->push_back(b);
        }
    geometry->setVertexArray(v);
    geometry->setNormalArray(n, osg::Array::BIND_PER_VERTEX);
    geometry->setTexCoordArray(0, t);
    geometry->addPrimitiveSet(quads);
    return geometry;
}

osg::Geode* part(osg::Geometry* geometry, const osg::Vec4& colour, osg::Image* texture = nullptr)
{
    osg::Geode* geode = new osg::Geode;
    geode->addDrawable(geometry);
    osg::Material* material = new osg::Material;
    material->setAmbient(osg::Material::FRONT_AND_BACK, colour * 0.3f);
    material->setDiffuse(osg::Material::FRONT_AND_BACK, colour);
    material->setSpecular(osg::Material::FRONT_AND_BACK, osg::Vec4(0.5f, 0.5f, 0.5f, 1.f));
    material->setShininess(osg::Material::FRONT_AND_BACK, 48.f);
    geode->getOrCreateStateSet()->setAttributeAndModes(material, osg::StateAttribute::ON);
    if (texture)
    {
        osg::Texture2D* map = new osg::Texture2D(texture);
        map->setWrap(osg::Texture::WRAP_S, osg::Texture::REPEAT);
        map->setWrap(osg::Texture::WRAP_T, osg::Texture::REPEAT);
        geode->getOrCreateStateSet()->setTextureAttributeAndModes(0, map, osg::StateAttribute::ON);
    }
    return geode;
}

// An ellipsoid with the given radii about `centre`.
osg::Geometry* sphere(const osg::Vec3& centre, const osg::Vec3& radii, int rings, int segments)
{
    osg::Geometry* g = lathe([](float s) {
        const float a = -0.5f * kPi + kPi * s;
        return osg::Vec2(std::cos(a), std::sin(a));
    }, rings, segments);
    osg::Vec3Array* v = static_cast<osg::Vec3Array*>(g->getVertexArray());
    osg::Vec3Array* n = static_cast<osg::Vec3Array*>(g->getNormalArray());
    for (size_t i = 0; i < v->size(); ++i)
    {
        const osg::Vec3 unit = (*v)[i];
        (*v)[i] = centre + osg::Vec3(unit.x() * radii.x(), unit.y() * radii.y(), unit.z() * radii.z());
        osg::Vec3 normal(unit.x() / radii.x(), unit.y() / radii.y(), unit.z() / radii.z());
        normal.normalize();
        (*n)[i] = normal;
    }
    return g;
}

osg::Geometry* torus(const osg::Vec3& centre, float major, float minor, int rings, int segments)
{
    return lathe([=](float s) {
        const float a = 2.f * kPi * s;
        return osg::Vec2(major + minor * std::cos(a + kPi), minor * std::sin(a + kPi));
    }, rings, segments, centre);
}

osg::Node* orb() { return part(sphere(osg::Vec3(0, 0, 22), osg::Vec3(20, 20, 20), 48, 64), osg::Vec4(0.8f, 0.8f, 0.8f, 1)); }
osg::Node* pebble() { return part(sphere(osg::Vec3(0, 0, 13), osg::Vec3(26, 19, 13), 40, 64), osg::Vec4(0.8f, 0.8f, 0.8f, 1)); }
osg::Node* ring() { return part(torus(osg::Vec3(0, 0, 9), 18, 8, 32, 64), osg::Vec4(0.8f, 0.8f, 0.8f, 1)); }
osg::Node* tyre() { return part(torus(osg::Vec3(0, 0, 11), 16, 10, 32, 64), osg::Vec4(0.8f, 0.8f, 0.8f, 1)); }
osg::Node* goblet()
{
    // Foot, stem, bowl: a smooth profile from the base up.
    auto profile = [](float s) {
        const float h = 48.f * s;
        float r;
        if (h < 3.f) r = 16.f - 4.f * h / 3.f;
        else if (h < 18.f) r = 4.f + 8.f * std::pow((h - 3.f) / 15.f, 3.f) * 0.2f;
        else r = 5.6f + 13.f * std::sin(std::min(1.f, (h - 18.f) / 26.f) * 1.9f);
        return osg::Vec2(r, h);
    };
    return part(lathe(profile, 64, 64), osg::Vec4(0.8f, 0.8f, 0.8f, 1));
}
osg::Node* vase()
{
    auto profile = [](float s) {
        const float h = 50.f * s;
        return osg::Vec2(9.f + 9.f * std::sin(s * 3.3f + 0.2f) * (1.f - 0.3f * s), h);
    };
    return part(lathe(profile, 48, 64), osg::Vec4(1, 1, 1, 1));
}
osg::Node* tiledOrb()
{
    return part(sphere(osg::Vec3(0, 0, 22), osg::Vec3(20, 20, 20), 48, 64), osg::Vec4(1, 1, 1, 1), TileColours());
}
}

const std::vector<Mesh>& Meshes()
{
    static const std::vector<Mesh> meshes = {{"orb.osgt", orb},       {"pebble.osgt", pebble}, {"ring.osgt", ring},
                                             {"tyre.osgt", tyre},     {"goblet.osgt", goblet}, {"vase.osgt", vase},
                                             {"tiledOrb.ive", tiledOrb}};
    return meshes;
}

osg::Node* GridOrb(int index)
{
    const int column = index % 4, row = index / 4;
    const osg::Vec3 centre(-30.f + 20.f * column, 20.f - 20.f * row, 9.f);
    osg::Image* texture = index == 4 || index == 5 ? TileColours() : nullptr;  // the gloss-map orbs
    return part(sphere(centre, osg::Vec3(8.5f, 8.5f, 8.5f), 24, 32), osg::Vec4(0.8f, 0.8f, 0.8f, 1), texture);
}

namespace
{
osg::Image* picture(int size, const std::function<osg::Vec3(float, float)>& colour)
{
    osg::Image* image = new osg::Image;
    image->allocateImage(size, size, 1, GL_RGB, GL_UNSIGNED_BYTE);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            const osg::Vec3 c = colour((x + 0.5f) / size, (y + 0.5f) / size);
            unsigned char* p = image->data(x, y);
            for (int k = 0; k < 3; ++k) p[k] = static_cast<unsigned char>(std::lround(std::min(1.f, std::max(0.f, c[k])) * 255.f));
        }
    return image;
}

// 0 inside a tile, 1 on the grout between tiles (8 x 8 tiles over the map).
float grout(float s, float t)
{
    const float fs = std::fabs(std::fmod(s * 8.f, 1.f) - 0.5f), ft = std::fabs(std::fmod(t * 8.f, 1.f) - 0.5f);
    const float edge = std::max(fs, ft);
    return std::min(1.f, std::max(0.f, (edge - 0.42f) / 0.03f));
}
}

osg::Image* GlossTiles()
{
    return picture(256, [](float s, float t) {
        const float g = 1.f - grout(s, t);
        return osg::Vec3(g, g, g);
    });
}

osg::Image* TileColours()
{
    return picture(256, [](float s, float t) {
        const int i = int(s * 8.f), j = int(t * 8.f);
        const bool dark = (i + j) % 2 == 0;
        const osg::Vec3 tile = dark ? osg::Vec3(0.10f, 0.30f, 0.62f) : osg::Vec3(0.86f, 0.88f, 0.92f);
        return tile * (1.f - grout(s, t)) + osg::Vec3(0.55f, 0.52f, 0.48f) * grout(s, t);
    });
}

osg::Image* PaintedBands()
{
    return picture(256, [](float s, float t) {
        const osg::Vec3 clay(0.78f, 0.42f, 0.25f), cream(0.93f, 0.87f, 0.72f), ink(0.12f, 0.16f, 0.28f);
        const float wave = 0.03f * std::sin(s * 2.f * kPi * 6.f);
        const float band = std::fmod(t + wave + 1.f, 0.25f) / 0.25f;
        if (band > 0.40f && band < 0.60f) return cream;
        if ((band > 0.34f && band < 0.40f) || (band > 0.60f && band < 0.66f)) return ink;
        // Clay with a faint brush texture.
        return clay * (0.92f + 0.08f * std::sin(s * 90.f) * std::sin(t * 70.f));
    });
}

osg::Image* Rainbow()
{
    osg::Image* image = new osg::Image;
    const int width = 256, height = 32;
    image->allocateImage(width, height, 1, GL_RGB, GL_UNSIGNED_BYTE);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            // Thin-film colours: hue round the wheel, washed towards white at the ends.
            const float h = float(x) / width * 6.f;
            const float r = std::min(1.f, std::max(0.f, std::fabs(h - 3.f) - 1.f));
            const float g = std::min(1.f, std::max(0.f, 2.f - std::fabs(h - 2.f)));
            const float b = std::min(1.f, std::max(0.f, 2.f - std::fabs(h - 4.f)));
            const float wash = 0.25f + 0.25f * std::cos(float(x) / width * 2.f * kPi);
            unsigned char* p = image->data(x, y);
            p[0] = static_cast<unsigned char>((r * (1 - wash) + wash) * 255.f);
            p[1] = static_cast<unsigned char>((g * (1 - wash) + wash) * 255.f);
            p[2] = static_cast<unsigned char>((b * (1 - wash) + wash) * 255.f);
        }
    return image;
}
}
