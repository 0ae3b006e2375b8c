#pragma once
// The process-wide texture cache shared by effects, materials, the marker
// hider and the HUD. Created on first use and never destroyed; it holds a
// reference to every texture it hands out, so callers never delete them.
// One thread (the engine's) uses it.

#include <osg/Texture2D>
#include <osg/Texture3D>
#include <osg/ref_ptr>

#include <map>
#include <string>

class CTextureStore
{
public:
    static CTextureStore* Instance();

    /// The shared scene texture, held in the store's first slot: the live
    /// camera picture once the video layer or the hider sets it (SetSceneTexture);
    /// until then an empty 2D texture made on first use.
    osg::Texture* GetSceneTexture();
    void SetSceneTexture(osg::Texture* texture);

    /// The texture cached under `name`, or else `fileName` read as a 2D texture
    /// (linear filters, repeat wrapping), cached under `name` and returned.
    /// Null when the file cannot be read; a failed name is tried again next time.
    osg::Texture2D* GetTexture(const std::string& name, const std::string& fileName);
    /// Caches a texture made elsewhere under a name (replacing any before it).
    void AddTexture(const std::string& name, osg::Texture* texture);
    /// Forgets the texture cached under `name` (a later GetTexture reads its
    /// file again); holders of it keep theirs.
    void RemoveTexture(const std::string& name) { m_textures.erase(name); }
    /// The texture cached under `name`, or null.
    osg::Texture* FindTexture(const std::string& name) const;

    /// 32 x 32 x 32 RGBA texels of tiling Perlin noise, four octaves from
    /// frequency 4 with amplitude 0.5 (one octave per channel), linear
    /// filtering, repeat wrapping. Built once, on first use.
    osg::Texture3D* GetNoiseTexture();

    /// The file of a shared environment map by its cache name ("DIFF_ENVMAP",
    /// "SPEC_JUST_ENVMAP", "SPEC_SHARP_ENVMAP", "SPEC_STD_ENVMAP",
    /// "SPEC_SOFTJUST_ENVMAP", "SPEC_200_ENVMAP"); empty for other names.
    static std::string EnvironmentMapFile(const std::string& cacheName);

    /// Number of cached textures by name (the scene and noise textures not counted).
    size_t Size() const { return m_textures.size(); }

private:
    CTextureStore() = default;

    osg::ref_ptr<osg::Texture> m_sceneTexture;  // the first slot
    osg::ref_ptr<osg::Texture3D> m_noiseTexture;
    std::map<std::string, osg::ref_ptr<osg::Texture>> m_textures;
};
