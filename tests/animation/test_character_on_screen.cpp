// The bundled character drawn through the real scene graph on an X server of
// the test's own: its pixels change between frames of "walk" and stay the
// same while it is paused; its bounds follow the pose; the character entity
// starts actions by digit keys and replays "idle" when its marker comes back.
#include "CCharacterEntity.h"
#include "SkinFolder.h"
#include "XvfbServer.h"

#include <osg/Camera>
#include <osgViewer/Viewer>

#include <cstdlib>

namespace
{
const int kSize = 160;

struct ReadBack : osg::Camera::DrawCallback
{
    void operator()(osg::RenderInfo&) const override { image->readPixels(0, 0, kSize, kSize, GL_RGB, GL_UNSIGNED_BYTE); }
    osg::ref_ptr<osg::Image> image = new osg::Image;
};

class CharacterOnScreen : public SkinFolder
{
protected:
    void SetUp() override
    {
        SkinFolder::SetUp();
        ASSERT_FALSE(server.Name().empty()) << "Xvfb did not start";
        Write("char.skin", Config());
        Captured([&]() { entity.reset(CCharacterEntity::Create("char.skin", 1.f, 0)); });
        ASSERT_NE(entity, nullptr);
        Open();
    }

    void Open()
    {
        osg::ref_ptr<osg::GraphicsContext::Traits> traits = new osg::GraphicsContext::Traits;
        traits->displayNum = std::atoi(server.Name().c_str() + 1);
        traits->width = traits->height = kSize;
        traits->windowDecoration = false;
        traits->doubleBuffer = true;
        context = osg::GraphicsContext::createGraphicsContext(traits.get());
        ASSERT_TRUE(context.valid());
        viewer.setThreadingModel(osgViewer::Viewer::SingleThreaded);
        osg::Camera* camera = viewer.getCamera();
        camera->setGraphicsContext(context.get());
        camera->setViewport(0, 0, kSize, kSize);
        camera->setClearColor(osg::Vec4(0, 0, 0, 1));
        camera->setProjectionMatrixAsPerspective(40, 1, 10, 1000);
        camera->setFinalDrawCallback(readBack.get());
        viewer.setCameraManipulator(nullptr);
        viewer.setSceneData(entity->GetNode());
        // The test steps the character itself, not by the viewer's wall clock.
        entity->GetModel()->GetNode()->setUpdateCallback(nullptr);
        viewer.realize();
    }

    // Advances the character by exactly `seconds` (however long drawing takes
    // on a busy machine) and draws it, seen from the front.
    std::vector<unsigned char> Draw(float seconds)
    {
        entity->GetModel()->Update(seconds);
        viewer.getCamera()->setViewMatrixAsLookAt(osg::Vec3d(40, -200, 80), osg::Vec3d(0, 0, 48), osg::Vec3d(0, 0, 1));
        viewer.frame();
        const osg::Image* image = readBack->image.get();
        return std::vector<unsigned char>(image->data(), image->data() + image->getTotalSizeInBytes());
    }

    static int Differing(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
    {
        int count = 0;
        for (size_t i = 0; i + 2 < a.size() && i + 2 < b.size(); i += 3)
            count += std::abs(a[i] - b[i]) + std::abs(a[i + 1] - b[i + 1]) + std::abs(a[i + 2] - b[i + 2]) > 30;
        return count;
    }

    static int Lit(const std::vector<unsigned char>& a)
    {
        int count = 0;
        for (size_t i = 0; i + 2 < a.size(); i += 3) count += a[i] + a[i + 1] + a[i + 2] > 60;
        return count;
    }

    XvfbServer server;
    osg::ref_ptr<osg::GraphicsContext> context;
    osgViewer::Viewer viewer;
    osg::ref_ptr<ReadBack> readBack = new ReadBack;
    std::unique_ptr<CCharacterEntity> entity;
};

TEST_F(CharacterOnScreen, WalkingChangesThePictureAndPauseHoldsIt)
{
    CSkinnedModel* model = entity->GetModel();
    ASSERT_TRUE(model->BlendCycle("idle", 0.f, 0.f));
    ASSERT_TRUE(model->BlendCycle("walk", 1.f, 0.f));
    const std::vector<unsigned char> first = Draw(0.1f);
    EXPECT_GT(Lit(first), 500) << "the character is not on the picture";
    const std::vector<unsigned char> second = Draw(0.25f);
    const std::vector<unsigned char> third = Draw(0.25f);
    EXPECT_GT(Differing(first, second), 40);
    EXPECT_GT(Differing(second, third), 40);

    model->SetPaused(true);
    const std::vector<unsigned char> held = Draw(0.25f);
    EXPECT_EQ(Differing(held, Draw(0.25f)), 0);
    EXPECT_EQ(Differing(held, Draw(0.5f)), 0);
    model->SetPaused(false);
    EXPECT_GT(Differing(held, Draw(0.25f)), 40);
}

TEST_F(CharacterOnScreen, BoundsFollowThePose)
{
    CSkinnedModel* model = entity->GetModel();
    Draw(0.f);
    const float rest = model->GetNode()->getBoundingBox().zMax();
    const float side = model->GetNode()->getBoundingBox().xMax();
    EXPECT_NEAR(rest, 93.f, 3.f);  // the top of the head
    EXPECT_NEAR(side, 15.f, 3.f);  // the right arm
    ASSERT_TRUE(model->StartAction("wave", 0.1f, 0.1f));
    Draw(0.5f);
    Draw(0.3f);  // 0.8 s into the wave: the arm is up beside the head
    EXPECT_GT(model->GetNode()->getBoundingBox().zMax(), rest + 3.f);
    EXPECT_GT(model->GetNode()->getBoundingBox().xMax(), side + 2.5f);  // the hand out past the hanging arm
    Draw(2.f);  // the wave is over: the box shrinks back to the standing figure
    EXPECT_NEAR(model->GetNode()->getBoundingBox().zMax(), rest, 1.f);
}

TEST_F(CharacterOnScreen, DigitKeysStartActionsAndAReturnReplaysIdle)
{
    CSkinnedModel* model = entity->GetModel();
    Draw(0.1f);
    EXPECT_EQ(model->GetActiveAnimationCount(), 1);  // the idle cycle
    entity->Trigger({'9', 'a'});  // no ninth animation, not a digit
    Draw(0.1f);
    EXPECT_EQ(model->GetActiveAnimationCount(), 1);
    entity->Trigger({'2'});  // wave
    Draw(0.1f);
    EXPECT_EQ(model->GetActiveAnimationCount(), 2);
    for (int i = 0; i < 40; ++i) Draw(0.1f);  // played once and faded out
    EXPECT_EQ(model->GetActiveAnimationCount(), 1);

    MarkerState back;
    back.visible = back.appearedNow = back.reappeared = true;
    entity->update(0.033f, back);
    entity->update(0.033f, back);  // the flag stays up a little: one start only
    Draw(0.1f);
    EXPECT_EQ(model->GetActiveAnimationCount(), 2);  // idle as an action too
}
}
