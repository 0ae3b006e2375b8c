#pragma once
// Geometry builders for the demo models: textured, lit solids with normals
// and texture coordinates, z up (the marker's normal), sizes in marker units.

#include <osg/Geode>
#include <osg/Geometry>
#include <osg/Image>
#include <osg/Vec3>
#include <osg/Vec4>

#include <functional>

namespace shapes
{
/// Axis-aligned box from `low` to `high`; the texture repeats `repeat` times per face.
osg::Geometry* Box(const osg::Vec3& low, const osg::Vec3& high, float repeat = 1.f);
/// A solid of revolution about the z axis: `radius(t)` and `height(t)` for t
/// in 0..1 along the profile, `rings` x `segments` quads, centred at `centre`.
osg::Geometry* Lathe(const std::function<float(float)>& radius, const std::function<float(float)>& height,
                     int rings, int segments, const osg::Vec3& centre = osg::Vec3());
osg::Geometry* Cylinder(const osg::Vec3& base, float radius, float height, int segments = 24);
osg::Geometry* Cone(const osg::Vec3& base, float radius, float height, int segments = 24);
osg::Geometry* Sphere(const osg::Vec3& centre, float radius, int segments = 24);
/// A flat polygon (two-sided by its state) with planar texture coordinates.
osg::Geometry* Polygon(const std::vector<osg::Vec3>& corners);
/// A gable roof over the rectangle x0..x1, y0..y1 at height z0 rising to `ridge`.
osg::Geometry* Roof(float x0, float x1, float y0, float y1, float z0, float ridge, float overhang);

/// A geode holding `geometry` with a texture (may be null) and a material colour.
osg::Geode* Part(osg::Geometry* geometry, osg::Image* texture, const osg::Vec4& colour, float shininess = 16.f,
                 bool twoSided = false);
}
