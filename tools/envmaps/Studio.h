#pragma once
// A studio-like light environment around the viewer, as the effect shaders
// expect it: latitude-longitude maps in eye space, the direction back towards
// the viewer (+z) in the middle of the map, up at the top (image row 0 is the
// bottom). A key softbox up and left behind the viewer, a tall strip light on
// the right, a rim light beyond the object, a ceiling strip, over a dark floor
// and softly lit walls.
//
// Maps are made in linear light at float precision, blurred there, and only
// then cut to 8 bits, so blurred lights keep their energy.

#include <osg/Image>
#include <osg/Vec3>

#include <vector>

namespace studio
{
struct FloatMap
{
    int width = 0, height = 0;
    std::vector<osg::Vec3> texels;  // rows bottom-up
    osg::Vec3& at(int x, int y) { return texels[static_cast<size_t>(y) * width + x]; }
    const osg::Vec3& at(int x, int y) const { return texels[static_cast<size_t>(y) * width + x]; }
};

/// The direction of a texel centre, and the texel's solid angle.
osg::Vec3 Direction(int x, int y, int width, int height);
double SolidAngle(int y, int width, int height);

/// The environment at full sharpness; `lightsOnly` leaves out walls and floor.
FloatMap Sharp(int width, int height, bool lightsOnly);
/// Each texel the weighted mean of `source` over a Phong lobe of this
/// exponent round its direction (exponent 1: the cosine lobe of diffuse light).
FloatMap PhongBlur(const FloatMap& source, int width, int height, double exponent);
/// Streaked sideways: a wide blur along the horizon's direction and a narrow
/// one up and down (angles in radians), as brushed metal reflects.
FloatMap StreakBlur(const FloatMap& source, double sideways, double upDown);
/// Cut to 8-bit RGB.
osg::Image* ToImage(const FloatMap& map, float exposure);
}
