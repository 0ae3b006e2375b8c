#include "CTextureStore.h"

#include "CPathResolver.h"

#include <osg/Image>
#include <osg/Notify>
#include <osgDB/ReadFile>
#include <osgDB/Registry>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace
{
const int kNoiseSize = 32;     // texels per side
const int kNoiseOctaves = 4;   // one per channel
const int kNoiseStartFrequency = 4;

// Ken Perlin's improved noise with a fixed permutation, made periodic with
// period `period` (lattice coordinates wrap), so the texture tiles.
class PeriodicNoise
{
public:
    PeriodicNoise()
    {
        uint32_t seed = 0x2545F491u;
        for (int i = 0; i < 256; ++i) m_perm[i] = i;
        for (int i = 255; i > 0; --i)
        {
            seed = seed * 1664525u + 1013904223u;
            const int j = static_cast<int>((seed >> 8) % static_cast<uint32_t>(i + 1));
            std::swap(m_perm[i], m_perm[j]);
        }
    }

    double Noise(double x, double y, double z, int period) const
    {
        const int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y)),
                  zi = static_cast<int>(std::floor(z));
        const double xf = x - xi, yf = y - yi, zf = z - zi;
        const double u = fade(xf), v = fade(yf), w = fade(zf);
        auto h = [&](int dx, int dy, int dz) {
            const int a = wrap(xi + dx, period), b = wrap(yi + dy, period), c = wrap(zi + dz, period);
            return m_perm[(m_perm[(m_perm[a & 255] + b) & 255] + c) & 255];
        };
        auto g = [&](int dx, int dy, int dz) { return grad(h(dx, dy, dz), xf - dx, yf - dy, zf - dz); };
        const double x00 = lerp(u, g(0, 0, 0), g(1, 0, 0)), x10 = lerp(u, g(0, 1, 0), g(1, 1, 0));
        const double x01 = lerp(u, g(0, 0, 1), g(1, 0, 1)), x11 = lerp(u, g(0, 1, 1), g(1, 1, 1));
        return lerp(w, lerp(v, x00, x10), lerp(v, x01, x11));
    }

private:
    static int wrap(int i, int period) { return ((i % period) + period) % period; }
    static double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }
    static double lerp(double t, double a, double b) { return a + t * (b - a); }
    static double grad(int hash, double x, double y, double z)
    {
        const int h = hash & 15;
        const double u = h < 8 ? x : y, v = h < 4 ? y : (h == 12 || h == 14 ? x : z);
        return ((h & 1) ? -u : u) + ((h & 2) ? -v : v);
    }

    int m_perm[256];
};

osg::Image* makeNoiseImage()
{
    PeriodicNoise noise;
    osg::Image* image = new osg::Image;
    image->allocateImage(kNoiseSize, kNoiseSize, kNoiseSize, GL_RGBA, GL_UNSIGNED_BYTE);
    unsigned char* out = image->data();
    for (int z = 0; z < kNoiseSize; ++z)
        for (int y = 0; y < kNoiseSize; ++y)
            for (int x = 0; x < kNoiseSize; ++x)
            {
                int frequency = kNoiseStartFrequency;
                double amplitude = 0.5;
                for (int octave = 0; octave < kNoiseOctaves; ++octave, frequency *= 2, amplitude *= 0.5)
                {
                    const double scale = static_cast<double>(frequency) / kNoiseSize;
                    // Texel centres: the noise is 0 on every lattice point.
                    const double n = noise.Noise((x + 0.5) * scale, (y + 0.5) * scale, (z + 0.5) * scale, frequency);
                    const double value = (n + 1.0) * amplitude * 128.0;
                    *out++ = static_cast<unsigned char>(std::min(255.0, std::max(0.0, value)));
                }
            }
    return image;
}
}

std::string CTextureStore::EnvironmentMapFile(const std::string& cacheName)
{
    static const std::map<std::string, std::string> files = {
        {"DIFF_ENVMAP", "shaders/EnvMaps/stdDiffuse.bmp"},  {"SPEC_JUST_ENVMAP", "shaders/EnvMaps/justSpec.bmp"},
        {"SPEC_SHARP_ENVMAP", "shaders/EnvMaps/sharpSpec.bmp"}, {"SPEC_STD_ENVMAP", "shaders/EnvMaps/stdSpec.bmp"},
        {"SPEC_SOFTJUST_ENVMAP", "shaders/EnvMaps/sjSpec.bmp"}, {"SPEC_200_ENVMAP", "shaders/EnvMaps/spec200.bmp"}};
    const auto found = files.find(cacheName);
    return found == files.end() ? std::string() : found->second;
}

CTextureStore* CTextureStore::Instance()
{
    static CTextureStore* instance = new CTextureStore();
    return instance;
}

osg::Texture* CTextureStore::GetSceneTexture()
{
    if (!m_sceneTexture.valid())
    {
        osg::Texture2D* texture = new osg::Texture2D;
        texture->setFilter(osg::Texture::MIN_FILTER, osg::Texture::LINEAR);
        texture->setFilter(osg::Texture::MAG_FILTER, osg::Texture::LINEAR);
        texture->setWrap(osg::Texture::WRAP_S, osg::Texture::CLAMP_TO_EDGE);
        texture->setWrap(osg::Texture::WRAP_T, osg::Texture::CLAMP_TO_EDGE);
        m_sceneTexture = texture;
    }
    return m_sceneTexture.get();
}

void CTextureStore::SetSceneTexture(osg::Texture* texture)
{
    m_sceneTexture = texture;
}

osg::Texture2D* CTextureStore::GetTexture(const std::string& name, const std::string& fileName)
{
    auto found = m_textures.find(name);
    if (found != m_textures.end())
    {
        if (osg::Texture2D* texture = dynamic_cast<osg::Texture2D*>(found->second.get())) return texture;
    }
    // A missing file is the caller's to report, in its own words.
    if (!CPathResolver::Exists(fileName)) return nullptr;
    osg::ref_ptr<osg::Image> image =
        osgDB::readImageFile(CPathResolver::Resolve(fileName), osgDB::Registry::instance()->getOptions());
    if (!image.valid() || !image->data()) return nullptr;
    osg::ref_ptr<osg::Texture2D> texture = new osg::Texture2D(image.get());
    texture->setFilter(osg::Texture::MIN_FILTER, osg::Texture::LINEAR_MIPMAP_LINEAR);
    texture->setFilter(osg::Texture::MAG_FILTER, osg::Texture::LINEAR);
    texture->setWrap(osg::Texture::WRAP_S, osg::Texture::REPEAT);
    texture->setWrap(osg::Texture::WRAP_T, osg::Texture::REPEAT);
    texture->setWrap(osg::Texture::WRAP_R, osg::Texture::REPEAT);
    m_textures[name] = texture;
    return texture.get();
}

void CTextureStore::AddTexture(const std::string& name, osg::Texture* texture)
{
    m_textures[name] = texture;
}

osg::Texture* CTextureStore::FindTexture(const std::string& name) const
{
    auto found = m_textures.find(name);
    return found == m_textures.end() ? nullptr : found->second.get();
}

osg::Texture3D* CTextureStore::GetNoiseTexture()
{
    if (m_noiseTexture.valid()) return m_noiseTexture.get();
    osg::notify(osg::INFO) << "creating 3D noise texture... " << std::endl;
    m_noiseTexture = new osg::Texture3D(makeNoiseImage());
    m_noiseTexture->setFilter(osg::Texture::MIN_FILTER, osg::Texture::LINEAR);
    m_noiseTexture->setFilter(osg::Texture::MAG_FILTER, osg::Texture::LINEAR);
    m_noiseTexture->setWrap(osg::Texture::WRAP_S, osg::Texture::REPEAT);
    m_noiseTexture->setWrap(osg::Texture::WRAP_T, osg::Texture::REPEAT);
    m_noiseTexture->setWrap(osg::Texture::WRAP_R, osg::Texture::REPEAT);
    return m_noiseTexture.get();
}
