// The process-wide texture cache.

#include "CTextureStore.h"
#include "ObjectTestSupport.h"

#include <osgDB/WriteFile>

namespace
{
class TextureStore : public ContentFolder
{
};
}

TEST_F(TextureStore, TexturesAreCachedByName)
{
    CTextureStore* store = CTextureStore::Instance();
    EXPECT_EQ(store, CTextureStore::Instance());
    EXPECT_EQ(store->GetTexture("store-test-late", "late.png"), nullptr);
    osg::ref_ptr<osg::Image> image = new osg::Image;
    image->allocateImage(4, 2, 1, GL_RGB, GL_UNSIGNED_BYTE);
    ASSERT_TRUE(osgDB::writeImageFile(*image, Path("late.png")));
    // A name that failed is tried again once the file is there.
    osg::Texture2D* texture = store->GetTexture("store-test-late", "late.png");
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->getImage()->s(), 4);
    EXPECT_EQ(texture->getWrap(osg::Texture::WRAP_S), osg::Texture::REPEAT);
    EXPECT_EQ(store->GetTexture("store-test-late", "other.png"), texture);
    EXPECT_EQ(store->FindTexture("store-test-late"), texture);
    EXPECT_EQ(store->FindTexture("store-test-never"), nullptr);
}

TEST_F(TextureStore, SceneTextureIsSharedAndReplaceable)
{
    CTextureStore* store = CTextureStore::Instance();
    osg::Texture* first = store->GetSceneTexture();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(store->GetSceneTexture(), first);
    osg::ref_ptr<osg::Texture2D> live = new osg::Texture2D;
    store->SetSceneTexture(live.get());
    EXPECT_EQ(store->GetSceneTexture(), live.get());
}

TEST_F(TextureStore, NoiseTextureIsBuiltOnce)
{
    osg::Texture3D* noise = CTextureStore::Instance()->GetNoiseTexture();
    ASSERT_NE(noise, nullptr);
    EXPECT_EQ(CTextureStore::Instance()->GetNoiseTexture(), noise);
    const osg::Image* image = noise->getImage();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->s(), 32);
    EXPECT_EQ(image->t(), 32);
    EXPECT_EQ(image->r(), 32);
    EXPECT_EQ(image->getPixelFormat(), GLenum(GL_RGBA));
    EXPECT_EQ(noise->getWrap(osg::Texture::WRAP_R), osg::Texture::REPEAT);
    EXPECT_EQ(noise->getFilter(osg::Texture::MIN_FILTER), osg::Texture::LINEAR);
    // Each channel is one octave: values spread around the middle, and the
    // higher octaves (smaller amplitude) spread less.
    double spread[4] = {0, 0, 0, 0}, mean[4] = {0, 0, 0, 0};
    const int texels = 32 * 32 * 32;
    for (int i = 0; i < texels; ++i)
        for (int c = 0; c < 4; ++c) mean[c] += image->data()[i * 4 + c] / double(texels);
    for (int i = 0; i < texels; ++i)
        for (int c = 0; c < 4; ++c) spread[c] += std::fabs(image->data()[i * 4 + c] - mean[c]) / texels;
    EXPECT_NEAR(mean[0], 64.0, 12.0);
    EXPECT_GT(spread[0], spread[1]);
    EXPECT_GT(spread[1], spread[2]);
    EXPECT_GT(spread[2], spread[3]);
    EXPECT_GT(spread[3], 0.5);
    // Tiling: the noise wraps, so the last slice continues into the first.
    double jumpAcross = 0, jumpInside = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
        {
            jumpAcross += std::abs(int(image->data(x, y, 31)[0]) - int(image->data(x, y, 0)[0]));
            jumpInside += std::abs(int(image->data(x, y, 15)[0]) - int(image->data(x, y, 16)[0]));
        }
    EXPECT_LT(jumpAcross, 2.0 * jumpInside + 1024.0);
}
