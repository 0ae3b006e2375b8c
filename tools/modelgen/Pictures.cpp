#include "Pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace
{
const int kSize = 128;  // texels per side of the material pictures

// Deterministic value noise in 0..1, smooth over cells of `cell` texels, tiling over kSize.
class ValueNoise
{
public:
    explicit ValueNoise(uint32_t seed)
    {
        for (auto& v : m_values)
        {
            seed = seed * 1664525u + 1013904223u;
            v = float(seed >> 8) / float(1u << 24);
        }
    }
    float At(float x, float y, int cell) const
    {
        const int cells = std::max(1, kSize / cell);
        const float fx = x / cell, fy = y / cell;
        const int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
        const float tx = smooth(fx - x0), ty = smooth(fy - y0);
        auto v = [&](int i, int j) { return m_values[(wrap(i, cells) * 61 + wrap(j, cells) * 17) % 4096]; };
        return lerp(lerp(v(x0, y0), v(x0 + 1, y0), tx), lerp(v(x0, y0 + 1), v(x0 + 1, y0 + 1), tx), ty);
    }
    float Fractal(float x, float y) const
    {
        return 0.5f * At(x, y, 32) + 0.3f * At(x, y, 8) + 0.2f * At(x, y, 2);
    }

private:
    static int wrap(int i, int n) { return ((i % n) + n) % n; }
    static float smooth(float t) { return t * t * (3 - 2 * t); }
    static float lerp(float a, float b, float t) { return a + (b - a) * t; }
    float m_values[4096];
};

typedef void (*Shader)(int x, int y, const ValueNoise& noise, float rgb[3]);

osg::Image* paint(int size, uint32_t seed, Shader shader)
{
    ValueNoise noise(seed);
    osg::Image* image = new osg::Image;
    image->allocateImage(size, size, 1, GL_RGB, GL_UNSIGNED_BYTE);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            float rgb[3];
            shader(x, y, noise, rgb);
            unsigned char* p = image->data(x, y);
            for (int c = 0; c < 3; ++c) p[c] = static_cast<unsigned char>(std::min(255.f, std::max(0.f, rgb[c] * 255.f)));
        }
    return image;
}

void set(float rgb[3], float r, float g, float b, float shade)
{
    rgb[0] = r * shade, rgb[1] = g * shade, rgb[2] = b * shade;
}
}

namespace pictures
{
osg::Image* Bricks()
{
    return paint(kSize, 11, [](int x, int y, const ValueNoise& n, float rgb[3]) {
        const int row = y / 16, shift = (row % 2) * 16;
        const bool mortar = (y % 16) < 2 || ((x + shift) % 32) < 2;
        const float shade = 0.8f + 0.3f * n.Fractal(float(x), float(y));
        if (mortar) set(rgb, 0.85f, 0.82f, 0.75f, shade);
        else set(rgb, 0.62f, 0.25f, 0.16f, shade * (0.85f + 0.15f * n.At(float((x + shift) / 32 * 32), float(row * 16), 4)));
    });
}

osg::Image* RoofTiles()
{
    return paint(kSize, 12, [](int x, int y, const ValueNoise& n, float rgb[3]) {
        const float edge = float(y % 16) / 16.f;
        const int shift = ((y / 16) % 2) * 8;
        const bool gap = ((x + shift) % 16) < 1;
        set(rgb, 0.55f, 0.12f, 0.08f, (gap ? 0.4f : 0.6f + 0.4f * edge) * (0.85f + 0.2f * n.Fractal(float(x), float(y))));
    });
}

osg::Image* Bark()
{
    return paint(kSize, 13, [](int x, int y, const ValueNoise& n, float rgb[3]) {
        const float grain = 0.5f + 0.5f * std::sin(x * 0.6f + 6.f * n.At(float(x), float(y), 16));
        set(rgb, 0.40f, 0.26f, 0.14f, 0.6f + 0.4f * grain);
    });
}

osg::Image* Leaves()
{
    return paint(kSize, 14, [](int x, int y, const ValueNoise& n, float rgb[3]) {
        const float f = n.Fractal(float(x), float(y));
        rgb[0] = 0.10f + 0.15f * f, rgb[1] = 0.35f + 0.4f * f, rgb[2] = 0.08f + 0.1f * f;
    });
}

osg::Image* Hull()
{
    return paint(kSize, 15, [](int x, int y, const ValueNoise& n, float rgb[3]) {
        const bool band = y > 76 && y < 92;
        const bool seam = (y % 32) == 0 || (x % 32) == 0;
        const bool rivet = ((x % 32) == 4 || (x % 32) == 28) && ((y % 32) == 4 || (y % 32) == 28);
        const float shade = 0.9f + 0.1f * n.At(float(x), float(y), 4);
        if (band) set(rgb, 0.8f, 0.1f, 0.1f, shade);
        else if (seam || rivet) set(rgb, 0.6f, 0.6f, 0.65f, shade);
        else set(rgb, 0.93f, 0.93f, 0.95f, shade);
    });
}

osg::Image* Glaze()
{
    return paint(kSize, 16, [](int x, int y, const ValueNoise& n, float rgb[3]) {
        const float wave = std::sin(x * 0.1963f * 2.f) * 4.f;
        const bool blue = std::fmod(y + wave + 128.f, 32.f) < 10.f;
        const float shade = 0.9f + 0.1f * n.At(float(x), float(y), 8);
        if (blue) set(rgb, 0.12f, 0.25f, 0.7f, shade);
        else set(rgb, 0.95f, 0.95f, 0.9f, shade);
    });
}

osg::Image* Cloth()
{
    return paint(kSize, 17, [](int x, int y, const ValueNoise& n, float rgb[3]) {
        const float weave = ((x / 2 + y / 2) % 2) ? 1.f : 0.85f;
        set(rgb, 0.2f, 0.35f, 0.75f, weave * (0.85f + 0.15f * n.At(float(x), float(y), 4)));
    });
}

osg::Image* Grass()
{
    return paint(kSize, 18, [](int x, int y, const ValueNoise& n, float rgb[3]) {
        const float f = n.Fractal(float(x), float(y));
        rgb[0] = 0.25f + 0.2f * f, rgb[1] = 0.5f + 0.3f * f, rgb[2] = 0.2f + 0.1f * f;
    });
}

osg::Image* LightingMap()
{
    const int size = 256;
    osg::Image* image = new osg::Image;
    image->allocateImage(size, size, 1, GL_RGB, GL_UNSIGNED_BYTE);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            const float s = float(x) / (size - 1), t = float(y) / (size - 1);
            const float diffuse = 0.15f + 0.75f * s;
            const float highlight = std::pow(std::max(0.f, 1.f - std::fabs(s - t) * 3.f), 6.f) * s;
            const float rgb[3] = {diffuse * 0.95f + highlight, diffuse * 0.8f + highlight, diffuse * 0.6f + highlight};
            unsigned char* p = image->data(x, y);
            for (int c = 0; c < 3; ++c) p[c] = static_cast<unsigned char>(std::min(1.f, rgb[c]) * 255.f);
        }
    return image;
}

osg::Image* ByName(const std::string& name)
{
    if (name == "bricks") return Bricks();
    if (name == "roof") return RoofTiles();
    if (name == "bark") return Bark();
    if (name == "leaves") return Leaves();
    if (name == "hull") return Hull();
    if (name == "glaze") return Glaze();
    if (name == "cloth") return Cloth();
    if (name == "grass") return Grass();
    if (name == "light") return LightingMap();
    return nullptr;
}
}
