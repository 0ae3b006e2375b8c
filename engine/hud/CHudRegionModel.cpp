// Model regions: reading the model and its texture, and its animation.
#include "CHudRegion.h"

#include "CPathResolver.h"

#include <osg/Texture2D>
#include <osgDB/FileNameUtils>
#include <osgDB/ReadFile>
#include <osgDB/Registry>

#include <cstdio>

namespace
{
// The texture a model region takes: "<folder>\images\<name>.png" beside
// the model file.
std::string regionTextureFile(const std::string& modelFile)
{
    const std::string folder = osgDB::getFilePath(modelFile);
    const std::string name = osgDB::getStrippedName(modelFile);
    return folder.empty() ? "images\\" + name + ".png" : folder + "\\images\\" + name + ".png";
}

osg::Texture2D* readRegionTexture(const std::string& modelFile)
{
    return CHudRegion::ReadTexture(regionTextureFile(modelFile));
}
}

osg::Texture2D* CHudRegion::ReadTexture(const std::string& imageFile)
{
    const std::string file = CPathResolver::Resolve(imageFile);
    if (imageFile.empty() || !CPathResolver::Exists(file)) return nullptr;
    osg::ref_ptr<osg::Image> image = osgDB::readRefImageFile(file);
    if (!image.valid()) return nullptr;
    osg::ref_ptr<osg::Texture2D> texture = new osg::Texture2D(image.get());
    texture->setFilter(osg::Texture::MIN_FILTER, osg::Texture::LINEAR_MIPMAP_LINEAR);
    texture->setFilter(osg::Texture::MAG_FILTER, osg::Texture::LINEAR);
    texture->setWrap(osg::Texture::WRAP_S, osg::Texture::CLAMP_TO_EDGE);
    texture->setWrap(osg::Texture::WRAP_T, osg::Texture::CLAMP_TO_EDGE);
    texture->setResizeNonPowerOfTwoHint(false);
    return texture.release();
}

osg::MatrixTransform* CHudRegion::CreateFromModel(int index, float x, float y, float width, float height,
                                                  const std::string& modelFile)
{
    m_kind = ModelRegion;
    m_size.set(width, height);
    SetIndex(index);
    LoadModel(modelFile, width, height);
    if (!m_transform->containsNode(m_geode.get())) m_transform->addChild(m_geode.get());
    m_x = x;
    m_y = y;
    ApplyTranslation();
    return m_transform.get();
}

osg::MatrixTransform* CHudRegion::CreateWithoutModel(int index, float x, float y)
{
    m_kind = ModelRegion;
    SetIndex(index);
    if (!m_transform->containsNode(m_geode.get())) m_transform->addChild(m_geode.get());
    m_x = x;
    m_y = y;
    ApplyTranslation();
    return m_transform.get();
}

bool CHudRegion::LoadModel(const std::string& modelFile, float width, float height)
{
    osg::ref_ptr<osg::Node> model =
        osgDB::readRefNodeFile(CPathResolver::Resolve(modelFile), osgDB::Registry::instance()->getOptions());
    if (!model.valid())
    {
        std::printf("Couldn't load region file %s\n", modelFile.c_str());
        std::fflush(stdout);
        return false;
    }
    if (m_modelTransform.valid()) m_transform->removeChild(m_modelTransform.get());
    m_animation = nullptr;
    m_model = model;
    m_modelTransform = new osg::MatrixTransform(osg::Matrix::scale(width, height, 1.f));
    m_modelTransform->addChild(m_model.get());
    m_transform->insertChild(0, m_modelTransform.get());

    osg::StateSet* state = m_modelTransform->getOrCreateStateSet();
    if (osg::ref_ptr<osg::Texture2D> texture = readRegionTexture(modelFile))
        state->setTextureAttributeAndModes(0, texture.get(), osg::StateAttribute::ON | osg::StateAttribute::OVERRIDE);
    // The picture times the region's tint and alpha (see CHudRegionLook.cpp).
    m_tint = new osg::TexEnvCombine;
    m_tint->setCombine_RGB(osg::TexEnvCombine::MODULATE);
    m_tint->setSource0_RGB(osg::TexEnvCombine::TEXTURE);
    m_tint->setSource1_RGB(osg::TexEnvCombine::CONSTANT);
    m_tint->setCombine_Alpha(osg::TexEnvCombine::MODULATE);
    m_tint->setSource0_Alpha(osg::TexEnvCombine::TEXTURE);
    m_tint->setSource1_Alpha(osg::TexEnvCombine::CONSTANT);
    m_tint->setConstantColor(osg::Vec4f(m_colour.r(), m_colour.g(), m_colour.b(),
                                        m_blending ? static_cast<float>(m_transparency) : 1.f));
    state->setTextureAttribute(0, m_tint.get());
    SetName(GetName());  // the model's nodes report the region's name
    return true;
}

bool CHudRegion::EnableAnimation(int segments)
{
    if (m_kind != ModelRegion || !m_model.valid()) return false;
    if (segments < 1) return false;
    osg::ref_ptr<CAnimationController> controller = new CAnimationController;
    if (controller->Collect(m_model.get()) == 0) return false;
    controller->SplitIntoSegments(segments);
    m_animation = controller;
    return true;
}

void CHudRegion::PlayAnimation(int segment)
{
    if (!m_animation.valid()) return;
    m_animation->SelectSegment(segment);
    m_animation->SetLoopMode(osg::AnimationPath::NO_LOOPING);
    m_animation->Start();
}
