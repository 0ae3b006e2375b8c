#include "CVideoTex2DCallBack.h"

#include "CVideoStream.h"

#include <osg/Image>

namespace
{
bool isPowerOfTwo(unsigned int v)
{
    return v > 0 && (v & (v - 1)) == 0;
}
}

unsigned int CVideoTex2DCallBack::TextureSizeFor(unsigned int imageSize)
{
    if (imageSize == 0) return 1;
    return isPowerOfTwo(imageSize) ? imageSize : CVideoStream::NextPowerOf2(imageSize);
}

CVideoTex2DCallBack::CVideoTex2DCallBack(osg::Texture2D* texture)
{
    const osg::Image* image = texture->getImage();
    const unsigned int s = image ? static_cast<unsigned int>(image->s()) : 0;
    const unsigned int t = image ? static_cast<unsigned int>(image->t()) : 0;
    const unsigned int texW = TextureSizeFor(s);
    const unsigned int texH = TextureSizeFor(t);
    texture->setTextureSize(static_cast<int>(texW), static_cast<int>(texH));
    texture->setFilter(osg::Texture::MIN_FILTER, osg::Texture::LINEAR);
    texture->setFilter(osg::Texture::MAG_FILTER, osg::Texture::LINEAR);
    texture->setWrap(osg::Texture::WRAP_S, osg::Texture::CLAMP);
    texture->setWrap(osg::Texture::WRAP_T, osg::Texture::CLAMP);
    m_ratioX = static_cast<float>(s) / static_cast<float>(texW);
    m_ratioY = static_cast<float>(t) / static_cast<float>(texH);
    // The ratios are the covered fractions, whatever the sizes: an image that
    // already has power-of-two sides covers its whole texture.
}

void CVideoTex2DCallBack::load(const osg::Texture2D& texture, osg::State&) const
{
    const osg::Image* image = texture.getImage();
    if (!image || !image->data()) return;
    const unsigned int texW = TextureSizeFor(static_cast<unsigned int>(image->s()));
    const unsigned int texH = TextureSizeFor(static_cast<unsigned int>(image->t()));
    glTexImage2D(GL_TEXTURE_2D, 0, osg::Image::computeNumComponents(image->getInternalTextureFormat()),
                 static_cast<GLsizei>(texW), static_cast<GLsizei>(texH), 0, image->getPixelFormat(),
                 image->getDataType(), nullptr);
    Upload(*image);
}

void CVideoTex2DCallBack::subload(const osg::Texture2D& texture, osg::State&) const
{
    const osg::Image* image = texture.getImage();
    // Called at every apply: upload only when the source changed the frame.
    if (!image || !image->data() || image->getModifiedCount() == m_uploadedCount) return;
    Upload(*image);
}

void CVideoTex2DCallBack::Upload(const osg::Image& image) const
{
    m_uploadedCount = image.getModifiedCount();
    glPixelStorei(GL_UNPACK_ALIGNMENT, image.getPacking());
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, image.s(), image.t(), image.getPixelFormat(), image.getDataType(),
                    image.data());
}
