// CEffect: binding textures, blending and the icon.
#include "CEffect.h"

#include "CTextureStore.h"

#include <osg/BlendEquation>
#include <osg/BlendFunc>
#include <osg/Image>
#include <osgDB/ReadFile>
#include <osgDB/Registry>

#include <cassert>

namespace
{
void useLinearRepeat(osg::Texture* texture)
{
    texture->setFilter(osg::Texture::MIN_FILTER, osg::Texture::LINEAR);
    texture->setFilter(osg::Texture::MAG_FILTER, osg::Texture::LINEAR);
    texture->setWrap(osg::Texture::WRAP_S, osg::Texture::REPEAT);
    texture->setWrap(osg::Texture::WRAP_T, osg::Texture::REPEAT);
    texture->setWrap(osg::Texture::WRAP_R, osg::Texture::REPEAT);
}

osg::ref_ptr<osg::Image> readImage(const std::string& fileName)
{
    const std::string found = CEffect::FindDataFile(fileName);
    if (found.empty()) return nullptr;
    osg::ref_ptr<osg::Image> image = osgDB::readRefImageFile(found, osgDB::Registry::instance()->getOptions());
    if (!image.valid() || !image->data()) return nullptr;
    return image;
}

std::string unableToLoad(const std::string& fileName, int unit)
{
    return "Unable to load Texture image " + fileName + ", For channel " + std::to_string(unit);
}

const auto kOnOverride = osg::StateAttribute::ON | osg::StateAttribute::OVERRIDE;
}

bool CEffect::AddTexture(int unit, const std::string& fileName, const std::string& samplerName)
{
    assert(unit >= 0 && "AddTexture: texture units start at 0");
    osg::ref_ptr<osg::Image> image = readImage(fileName);
    if (!image.valid())
    {
        Print(unableToLoad(fileName, unit));
        return false;
    }
    osg::ref_ptr<osg::Texture2D> texture = new osg::Texture2D(image.get());
    useLinearRepeat(texture.get());
    m_textures.push_back(texture);
    m_stateSet->setTextureAttributeAndModes(static_cast<unsigned>(unit), texture.get(), kOnOverride);
    AddUniform(new osg::Uniform(samplerName.c_str(), unit));
    return true;
}

void CEffect::AddTexture(int unit, osg::Texture* texture)
{
    assert(unit >= 0 && "AddTexture: texture units start at 0");
    if (!texture) return;
    m_stateSet->setTextureAttributeAndModes(static_cast<unsigned>(unit), texture, kOnOverride);
    m_unitTextures.push_back(texture);
}

void CEffect::AddFallbackTexture(int unit, osg::Texture* texture)
{
    m_stateSet->setTextureAttributeAndModes(static_cast<unsigned>(unit), texture, osg::StateAttribute::ON);
    m_unitTextures.push_back(texture);
}

void CEffect::AddSharedTexture(int unit, const std::string& samplerName)
{
    assert(unit >= 0 && "AddSharedTexture: texture units start at 0");
    osg::Texture* texture = CTextureStore::Instance()->GetSceneTexture();
    m_textures.push_back(texture);
    m_stateSet->setTextureAttributeAndModes(static_cast<unsigned>(unit), texture, kOnOverride);
    AddUniform(new osg::Uniform(samplerName.c_str(), unit));
}

void CEffect::AddNoiseTexture(int unit)
{
    assert(unit >= 0 && "AddNoiseTexture: texture units start at 0");
    osg::Texture3D* noise = CTextureStore::Instance()->GetNoiseTexture();
    m_unitTextures.push_back(noise);
    m_stateSet->setTextureAttributeAndModes(static_cast<unsigned>(unit), noise, kOnOverride);
}

void CEffect::AddEnvironmentMap(int unit, const std::string& cacheName, const std::string& samplerName)
{
    const std::string file = CTextureStore::EnvironmentMapFile(cacheName);
    osg::Texture2D* map = CTextureStore::Instance()->GetTexture(cacheName, file);
    if (map)
        AddTexture(unit, map);
    else
        Print(unableToLoad(file, unit));
    AddUniform(new osg::Uniform(samplerName.c_str(), unit));
}

osg::Texture2D* CEffect::WhiteTexture()
{
    static osg::ref_ptr<osg::Texture2D> white;
    if (!white.valid())
    {
        osg::ref_ptr<osg::Image> texel = new osg::Image;
        texel->allocateImage(1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE);
        for (int i = 0; i < 4; ++i) texel->data()[i] = 255;
        white = new osg::Texture2D(texel.get());
        useLinearRepeat(white.get());
    }
    return white.get();
}

void CEffect::SetBlending(bool on)
{
    if (on)
    {
        m_stateSet->setAttributeAndModes(new osg::BlendEquation(osg::BlendEquation::FUNC_ADD),
                                         osg::StateAttribute::ON);
        // Without a blend function the default (one, zero) would keep the
        // surface opaque.
        m_stateSet->setAttribute(new osg::BlendFunc(osg::BlendFunc::SRC_ALPHA, osg::BlendFunc::ONE_MINUS_SRC_ALPHA));
        m_stateSet->setRenderingHint(osg::StateSet::TRANSPARENT_BIN);
    }
    m_stateSet->setMode(GL_BLEND, (on ? osg::StateAttribute::ON : osg::StateAttribute::OFF) |
                                      osg::StateAttribute::OVERRIDE);
}

bool CEffect::SetIcon(const std::string& fileName)
{
    osg::ref_ptr<osg::Image> image = readImage(fileName);
    if (!image.valid())
    {
        Print("Unable to load Texture image " + fileName);
        return false;
    }
    if (!m_icon.valid()) m_icon = new osg::Texture2D;
    m_icon->setImage(image.get());
    useLinearRepeat(m_icon.get());
    m_iconFile = fileName;
    return true;
}
