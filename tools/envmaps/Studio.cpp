#include "Studio.h"

#include <algorithm>
#include <cmath>

namespace studio
{
namespace
{
const double kPi = 3.14159265358979;

struct Softbox
{
    osg::Vec3 centre;          // direction
    double halfWide, halfHigh; // radians
    osg::Vec3 colour;          // linear intensity
};

const Softbox kLights[] = {
    {osg::Vec3(-0.50f, 0.55f, 0.67f), 0.24, 0.17, osg::Vec3(3.2f, 3.1f, 2.9f)},   // key, behind the viewer
    {osg::Vec3(0.92f, 0.05f, 0.38f), 0.05, 0.55, osg::Vec3(1.9f, 1.95f, 2.1f)},   // strip, right
    {osg::Vec3(0.25f, 0.45f, -0.86f), 0.12, 0.10, osg::Vec3(2.4f, 2.3f, 2.1f)},   // rim, beyond the object
    {osg::Vec3(0.0f, 0.97f, 0.25f), 0.55, 0.05, osg::Vec3(1.4f, 1.4f, 1.45f)},    // ceiling strip
    {osg::Vec3(-0.95f, 0.15f, -0.25f), 0.08, 0.25, osg::Vec3(1.1f, 1.0f, 0.9f)}}; // small fill, left

double smoothEdge(double distance, double half, double soft)
{
    const double t = std::min(1.0, std::max(0.0, (half + soft - std::fabs(distance)) / (2.0 * soft)));
    return t * t * (3.0 - 2.0 * t);
}

osg::Vec3 lightAt(const osg::Vec3& d)
{
    osg::Vec3 sum;
    for (const Softbox& light : kLights)
    {
        osg::Vec3 c = light.centre;
        c.normalize();
        const double along = d * c;
        if (along <= 0.2) continue;
        osg::Vec3 right = osg::Vec3(0, 1, 0) ^ c;
        if (right.length2() < 1e-6) right = osg::Vec3(1, 0, 0);
        right.normalize();
        osg::Vec3 up = c ^ right;
        const double a = std::atan2(d * right, along), b = std::atan2(d * up, along);
        sum += light.colour * float(smoothEdge(a, light.halfWide, 0.015) * smoothEdge(b, light.halfHigh, 0.015));
    }
    return sum;
}

osg::Vec3 roomAt(const osg::Vec3& d)
{
    const double y = d.y();
    if (y < 0.0)
    {
        // Floor: warm grey, darker straight down, a little lighter near the walls.
        const double t = std::min(1.0, -y / 0.6);
        return osg::Vec3(0.30f, 0.27f, 0.24f) * float(1.0 - 0.6 * t);
    }
    // Walls and ceiling: cool light grey, brighter upwards, with a faint
    // horizon band where floor meets wall.
    const double band = std::exp(-y * y / 0.002);
    const double up = std::pow(y, 0.7);
    return osg::Vec3(0.34f, 0.36f, 0.40f) * float(0.8 + 0.6 * up) + osg::Vec3(0.08f, 0.08f, 0.08f) * float(band);
}
}

osg::Vec3 Direction(int x, int y, int width, int height)
{
    const double phi = ((x + 0.5) / width - 0.5) * 2.0 * kPi;
    const double lat = ((y + 0.5) / height - 0.5) * kPi;
    return osg::Vec3(float(std::sin(phi) * std::cos(lat)), float(std::sin(lat)), float(std::cos(phi) * std::cos(lat)));
}

double SolidAngle(int y, int width, int height)
{
    const double lat = ((y + 0.5) / height - 0.5) * kPi;
    return std::cos(lat) * (2.0 * kPi / width) * (kPi / height);
}

FloatMap Sharp(int width, int height, bool lightsOnly)
{
    FloatMap map;
    map.width = width, map.height = height;
    map.texels.resize(static_cast<size_t>(width) * height);
    // 3 x 3 samples per texel keep the light edges smooth.
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            osg::Vec3 sum;
            for (int sy = 0; sy < 3; ++sy)
                for (int sx = 0; sx < 3; ++sx)
                {
                    const osg::Vec3 d = Direction(x * 3 + sx, y * 3 + sy, width * 3, height * 3);
                    sum += lightAt(d);
                    if (!lightsOnly) sum += roomAt(d);
                }
            map.at(x, y) = sum / 9.f;
        }
    return map;
}

FloatMap PhongBlur(const FloatMap& source, int width, int height, double exponent)
{
    FloatMap out;
    out.width = width, out.height = height;
    out.texels.resize(static_cast<size_t>(width) * height);
    // Texels whose weight would be below 1/200 of the peak are left out.
    const double minCos = std::pow(0.005, 1.0 / exponent);
    const double reach = std::acos(std::max(-1.0, std::min(1.0, minCos)));
    std::vector<osg::Vec3> dirs(source.texels.size());
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x)
            dirs[static_cast<size_t>(y) * source.width + x] = Direction(x, y, source.width, source.height);
    const double texelAngle = kPi / source.height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            const osg::Vec3 d = Direction(x, y, width, height);
            const double lat = std::asin(std::max(-1.f, std::min(1.f, d.y())));
            const int sy = int((lat / kPi + 0.5) * source.height);
            const int rows = int(reach / texelAngle) + 2;
            osg::Vec3 sum;
            double weights = 0.0;
            for (int yy = std::max(0, sy - rows); yy <= std::min(source.height - 1, sy + rows); ++yy)
            {
                const double area = SolidAngle(yy, source.width, source.height);
                for (int xx = 0; xx < source.width; ++xx)
                {
                    const size_t i = static_cast<size_t>(yy) * source.width + xx;
                    const double c = d * dirs[i];
                    if (c < minCos || c <= 0.0) continue;
                    const double w = std::pow(c, exponent) * area;
                    sum += source.texels[i] * float(w);
                    weights += w;
                }
            }
            out.at(x, y) = weights > 0.0 ? sum / float(weights) : osg::Vec3();
        }
    return out;
}

FloatMap StreakBlur(const FloatMap& source, double sideways, double upDown)
{
    FloatMap out = source;
    const double texel = 2.0 * kPi / source.width;
    for (int y = 0; y < source.height; ++y)
    {
        const double lat = ((y + 0.5) / source.height - 0.5) * kPi;
        // Sideways reach in texels grows towards the poles, where a texel is narrower.
        const double across = std::max(1.0, sideways / (texel * std::max(0.05, std::cos(lat))));
        const int reachX = std::min(source.width / 2, int(3.0 * across));
        const int reachY = int(3.0 * upDown / (kPi / source.height)) + 1;
        for (int x = 0; x < source.width; ++x)
        {
            osg::Vec3 sum;
            double weights = 0.0;
            for (int dy = -reachY; dy <= reachY; ++dy)
            {
                const int yy = y + dy;
                if (yy < 0 || yy >= source.height) continue;
                const double vy = dy * (kPi / source.height) / upDown;
                for (int dx = -reachX; dx <= reachX; ++dx)
                {
                    const double vx = dx / across;
                    const double w = std::exp(-0.5 * (vx * vx + vy * vy));
                    sum += source.at((x + dx + source.width) % source.width, yy) * float(w);
                    weights += w;
                }
            }
            out.at(x, y) = sum / float(weights);
        }
    }
    return out;
}

osg::Image* ToImage(const FloatMap& map, float exposure)
{
    osg::Image* image = new osg::Image;
    image->allocateImage(map.width, map.height, 1, GL_RGB, GL_UNSIGNED_BYTE);
    for (int y = 0; y < map.height; ++y)
        for (int x = 0; x < map.width; ++x)
        {
            unsigned char* p = image->data(x, y);
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<unsigned char>(std::lround(std::min(1.f, std::max(0.f, map.at(x, y)[c] * exposure)) * 255.f));
        }
    return image;
}
}
