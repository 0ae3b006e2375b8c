#pragma once
// Keeps a video frame in a power-of-two 2D texture: the texture is defined
// once at power-of-two size and each new frame uploads only the image area.
// The ratios tell which fraction of the texture the image covers.

#include <osg/Texture2D>

class CVideoTex2DCallBack : public osg::Texture2D::SubloadCallback
{
public:
    explicit CVideoTex2DCallBack(osg::Texture2D* texture);

    void load(const osg::Texture2D& texture, osg::State& state) const override;
    void subload(const osg::Texture2D& texture, osg::State& state) const override;

    float GetRatioX() const { return m_ratioX; }
    float GetRatioY() const { return m_ratioY; }

    /// Power-of-two texture size for an image dimension (kept when it is one).
    static unsigned int TextureSizeFor(unsigned int imageSize);

private:
    void Upload(const osg::Image& image) const;

    mutable unsigned int m_uploadedCount = ~0u;  // image modified count last uploaded
    float m_ratioX = 1.f, m_ratioY = 1.f;
};
