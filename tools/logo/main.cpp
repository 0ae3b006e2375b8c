// vexamark-logo: writes the splash screen's logo model, a textured panel with
// the Vexamark emblem (a V inside a marker-like square frame), through osgDB.
// Usage: vexamark-logo OUT.ive
#include <osg/Geode>
#include <osg/Geometry>
#include <osg/Image>
#include <osg/Texture2D>
#include <osgDB/WriteFile>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{
const int kTexSize = 256;  // texels

// Distance from (px, py) to the segment (ax, ay)-(bx, by).
float segmentDistance(float px, float py, float ax, float ay, float bx, float by)
{
    const float dx = bx - ax, dy = by - ay;
    const float t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.f, 1.f);
    const float cx = ax + t * dx - px, cy = ay + t * dy - py;
    return std::sqrt(cx * cx + cy * cy);
}

void setPixel(osg::Image* image, int x, int y, unsigned char r, unsigned char g, unsigned char b)
{
    unsigned char* p = image->data(x, y);
    p[0] = r;
    p[1] = g;
    p[2] = b;
}

osg::Image* emblem()
{
    osg::ref_ptr<osg::Image> image = new osg::Image;
    image->allocateImage(kTexSize, kTexSize, 1, GL_RGB, GL_UNSIGNED_BYTE);
    for (int y = 0; y < kTexSize; ++y)
        for (int x = 0; x < kTexSize; ++x)
        {
            // Rows run bottom-up in OpenGL images; the V points downwards.
            const float u = (x + 0.5f) / kTexSize, v = 1.f - (y + 0.5f) / kTexSize;
            const bool frame = u < 0.12f || u > 0.88f || v < 0.12f || v > 0.88f;
            const bool paper = u < 0.04f || u > 0.96f || v < 0.04f || v > 0.96f;
            const float d = std::min(segmentDistance(u, v, 0.28f, 0.25f, 0.5f, 0.76f),
                                     segmentDistance(u, v, 0.72f, 0.25f, 0.5f, 0.76f));
            if (paper) setPixel(image.get(), x, y, 240, 240, 235);
            else if (frame) setPixel(image.get(), x, y, 12, 12, 16);
            else if (d < 0.055f) setPixel(image.get(), x, y, 250, 140, 30);
            else setPixel(image.get(), x, y, 235, 235, 230);
        }
    return image.release();
}

// A square panel of `size` units in the x-z plane facing -y, centred at `centre`.
osg::Geode* panel(const osg::Vec3& centre, float size)
{
    osg::ref_ptr<osg::Geometry> quad = osg::createTexturedQuadGeometry(
        centre + osg::Vec3(-size * 0.5f, 0.f, -size * 0.5f), osg::Vec3(size, 0.f, 0.f), osg::Vec3(0.f, 0.f, size));
    osg::ref_ptr<osg::Texture2D> texture = new osg::Texture2D(emblem());
    texture->setFilter(osg::Texture::MIN_FILTER, osg::Texture::LINEAR_MIPMAP_LINEAR);
    texture->setFilter(osg::Texture::MAG_FILTER, osg::Texture::LINEAR);
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->addDrawable(quad.get());
    geode->getOrCreateStateSet()->setTextureAttributeAndModes(0, texture.get(), osg::StateAttribute::ON);
    geode->getOrCreateStateSet()->setMode(GL_LIGHTING, osg::StateAttribute::OFF);
    geode->setName("VexamarkLogo");
    return geode.release();
}
}

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: vexamark-logo OUT.ive\n");
        return 2;
    }
    osg::ref_ptr<osg::Geode> logo = panel(osg::Vec3(0.f, 0.f, 8.f), 60.f);
    if (!osgDB::writeNodeFile(*logo, argv[1]))
    {
        std::fprintf(stderr, "vexamark-logo: could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
