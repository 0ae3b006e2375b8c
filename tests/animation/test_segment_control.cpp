// The animation controller on models whose nodes have different segment
// counts: collecting the callbacks, select, next, queue, loop modes, pause
// and restart, and the callback's switch at the end of its path. Each path's
// position x is its time in frames, so x tells which part of the path a node shows.
#include "AnimatedModel.h"
#include "CAnimationController.h"
#include "CEventAnimationCallBack.h"

#include <gtest/gtest.h>

namespace
{
using AnimatedModel::UpdateAt;
using AnimatedModel::X;

class SegmentControl : public ::testing::Test
{
protected:
    // A model of nodes with paths of these lengths (frames), cut at 30 frames.
    void Make(const std::vector<int>& frames, int framesPerSegment = 30)
    {
        model = AnimatedModel::Model(frames);
        controller = new CAnimationController;
        ASSERT_EQ(controller->Collect(model.get()), int(frames.size()));
        controller->SplitByFrames(framesPerSegment, 30.0);
    }
    // Updates at `seconds` on the engine's clock.
    void At(double seconds) { UpdateAt(model.get(), seconds, ++frame); }
    double Node(unsigned i) { return X(model->getChild(i)); }

    osg::ref_ptr<osg::Group> model;
    osg::ref_ptr<CAnimationController> controller;
    unsigned frame = 0;
};

TEST_F(SegmentControl, CollectingPutsEventCallbacksInPlaceOnce)
{
    model = AnimatedModel::Model({30, 30});
    osg::ref_ptr<osg::Callback> nested = new osg::NodeCallback;
    model->getChild(0)->getUpdateCallback()->setNestedCallback(nested.get());
    // A node reached along two parents is collected once.
    osg::ref_ptr<osg::Group> twice = new osg::Group;
    twice->addChild(model->getChild(1));
    model->addChild(twice.get());

    controller = new CAnimationController;
    EXPECT_EQ(controller->Collect(model.get()), 2);
    for (unsigned i = 0; i < 2; ++i)
        EXPECT_NE(dynamic_cast<CEventAnimationCallBack*>(model->getChild(i)->getUpdateCallback()), nullptr) << i;
    EXPECT_EQ(model->getChild(0)->getUpdateCallback()->getNestedCallback(), nested.get());
    EXPECT_EQ(controller->Collect(model.get()), 2);  // nothing new

    // A second controller on the same model takes the same callbacks.
    osg::ref_ptr<CAnimationController> other = new CAnimationController;
    EXPECT_EQ(other->Collect(model.get()), 2);
    EXPECT_EQ(other->GetCallback(0), controller->GetCallback(0));
}

TEST_F(SegmentControl, SelectPlaysSegmentNWhereNodesHaveIt)
{
    Make({90, 60});  // three segments and two
    EXPECT_EQ(controller->GetSegmentCount(), 3);
    EXPECT_EQ(controller->GetSegmentCount(0), 3);
    EXPECT_EQ(controller->GetSegmentCount(1), 2);
    At(0.0);
    At(0.5);
    EXPECT_DOUBLE_EQ(Node(0), 15.0);
    EXPECT_DOUBLE_EQ(Node(1), 15.0);

    controller->SelectSegment(1);
    controller->Restart();
    At(1.0);
    At(1.5);
    EXPECT_NEAR(Node(0), 45.0, 1e-9);
    EXPECT_NEAR(Node(1), 45.0, 1e-9);

    // Segment 2 exists only for the first node: the second stays where it was.
    controller->SelectSegment(2);
    controller->Restart();
    At(2.0);
    At(2.25);
    EXPECT_NEAR(Node(0), 67.5, 1e-9);
    EXPECT_NEAR(Node(1), 45.0, 1e-9);
    EXPECT_EQ(controller->GetCallback(1)->getAnimationPath(), nullptr);

    // A segment no node has leaves every node where it is.
    controller->SelectSegment(3);
    controller->Restart();
    At(3.0);
    EXPECT_NEAR(Node(0), 67.5, 1e-9);
}

struct NextCase
{
    std::vector<int> frames;
    int presses;
    int segment;  // current segment after the presses
};

class NextSegment : public SegmentControl, public ::testing::WithParamInterface<NextCase>
{
};

TEST_P(NextSegment, AdvancesAndWrapsAfterTheModelsLastSegment)
{
    Make(GetParam().frames);
    for (int i = 0; i < GetParam().presses; ++i) controller->NextSegment();
    EXPECT_EQ(controller->GetCurrentSegment(), GetParam().segment);
    for (int i = 0; i < controller->GetCallbackCount(); ++i)
        EXPECT_EQ(controller->GetCallback(i)->getAnimationPath(), controller->GetSegment(i, GetParam().segment)) << i;
}

INSTANTIATE_TEST_SUITE_P(Counts, NextSegment,
                         ::testing::Values(NextCase{{90}, 1, 1}, NextCase{{90}, 2, 2}, NextCase{{90}, 3, 0},
                                           NextCase{{90, 60}, 2, 2}, NextCase{{90, 60}, 3, 0},
                                           NextCase{{90, 60}, 4, 1}, NextCase{{20}, 1, 0},
                                           NextCase{{20, 120}, 5, 1}));

TEST_F(SegmentControl, QueuedSegmentFollowsWhenTheCurrentOneEnds)
{
    Make({90, 20});  // three segments and one
    controller->SetLoopMode(osg::AnimationPath::NO_LOOPING);
    controller->SelectSegment(1);
    controller->QueueSegment(2);
    controller->Start();
    At(10.0);
    At(10.5);
    EXPECT_NEAR(Node(0), 45.0, 1e-9);  // in segment 1
    EXPECT_EQ(controller->GetCallback(0)->GetSwitchState(), CEventAnimationCallBack::SWITCH_AT_END);
    // The second node has no segment 1 and so nothing to play until its end.
    EXPECT_EQ(controller->GetCallback(1)->getAnimationPath(), nullptr);

    At(11.0);  // segment 1 has ended: segment 2 starts here
    EXPECT_EQ(controller->GetCallback(0)->GetSwitchState(), CEventAnimationCallBack::SWITCH_NONE);
    EXPECT_NEAR(Node(0), 60.0, 1e-9);
    At(11.5);
    EXPECT_NEAR(Node(0), 75.0, 1e-9);
    At(13.0);  // played once: holds its last pose
    EXPECT_NEAR(Node(0), 90.0, 1e-9);
}

TEST_F(SegmentControl, ALoopingSegmentSwitchesAfterOnePlay)
{
    Make({90});
    controller->SelectSegment(1);
    controller->QueueSegment(0);
    controller->SetLoopMode(osg::AnimationPath::LOOP);
    controller->Restart();
    At(0.0);
    At(0.9);
    EXPECT_NEAR(Node(0), 57.0, 1e-9);
    At(1.05);  // past the end of segment 1: segment 0 from its beginning
    EXPECT_NEAR(Node(0), 0.0, 1e-9);
    At(1.55);
    EXPECT_NEAR(Node(0), 15.0, 1e-9);
    At(2.35);  // segment 0 loops: 1.3 s in is 0.3 s into its second round
    EXPECT_NEAR(Node(0), 9.0, 1e-6);
    EXPECT_EQ(controller->GetCallback(0)->getAnimationPath()->getLoopMode(), osg::AnimationPath::LOOP);
}

TEST_F(SegmentControl, SwingPlaysBackwardsAfterTheEnd)
{
    Make({60});
    controller->SetLoopMode(osg::AnimationPath::SWING);
    controller->SelectSegment(0);
    controller->Restart();
    At(0.0);
    At(1.5);  // half a second back from the end of a one-second segment
    EXPECT_NEAR(Node(0), 15.0, 1e-6);
}

TEST_F(SegmentControl, PauseHoldsThePoseAndPressedTwiceLeavesItRunning)
{
    Make({90});
    controller->SelectSegment(0);
    controller->Restart();
    At(0.0);
    At(0.2);
    EXPECT_NEAR(Node(0), 6.0, 1e-9);

    controller->TogglePause();
    EXPECT_TRUE(controller->IsPaused());
    At(0.5);
    At(0.7);
    EXPECT_NEAR(Node(0), 6.0, 1e-9);  // held

    controller->TogglePause();
    EXPECT_FALSE(controller->IsPaused());
    At(0.8);
    EXPECT_NEAR(Node(0), 9.0, 1e-9);  // goes on from where it was held
    At(0.9);
    EXPECT_NEAR(Node(0), 12.0, 1e-9);
}

TEST_F(SegmentControl, RestartWhilePausedStartsFromTheBeginningOnResume)
{
    Make({90});
    At(0.0);
    At(0.5);
    controller->TogglePause();
    controller->Restart();
    At(1.0);
    EXPECT_NEAR(Node(0), 15.0, 1e-9);
    controller->Start();
    At(2.0);
    At(2.1);
    EXPECT_NEAR(Node(0), 3.0, 1e-9);
}

TEST_F(SegmentControl, SpeedScalesEveryCallbackAndQueuedSegmentsKeepIt)
{
    Make({90, 90});
    controller->SetTimeMultiplier(2.0);
    controller->SetLoopMode(osg::AnimationPath::NO_LOOPING);
    controller->SelectSegment(0);
    controller->QueueSegment(1);
    controller->Restart();
    At(0.0);
    At(0.25);
    EXPECT_NEAR(Node(0), 15.0, 1e-9);
    EXPECT_NEAR(Node(1), 15.0, 1e-9);
    At(0.5);   // segment 0 ends after half a second at double speed
    At(0.75);
    EXPECT_NEAR(Node(0), 45.0, 1e-9);
}

TEST_F(SegmentControl, SplittingIntoACountCutsEveryPathAlike)
{
    model = AnimatedModel::Model({90, 30});
    controller = new CAnimationController;
    controller->Collect(model.get());
    controller->SplitIntoSegments(3);
    EXPECT_EQ(controller->GetSegmentCount(0), 3);
    EXPECT_EQ(controller->GetSegmentCount(1), 3);
    controller->SelectSegment(2);
    controller->Restart();
    At(0.0);
    EXPECT_NEAR(Node(0), 60.0, 1e-9);
    EXPECT_NEAR(Node(1), 20.0, 1e-9);
}

TEST(EventCallback, SwitchesToThePendingPathAtTheEndOnly)
{
    osg::ref_ptr<osg::MatrixTransform> node = AnimatedModel::Animated("node", AnimatedModel::FramePath(30));
    osg::ref_ptr<CEventAnimationCallBack> callback =
        new CEventAnimationCallBack(*dynamic_cast<osg::AnimationPathCallback*>(node->getUpdateCallback()));
    node->setUpdateCallback(callback.get());
    callback->getAnimationPath()->setLoopMode(osg::AnimationPath::NO_LOOPING);
    osg::ref_ptr<osg::AnimationPath> next = AnimatedModel::FramePath(30, 7.0);
    callback->SetPendingSwitch(next.get(), 0.5, osg::AnimationPath::LOOP);
    EXPECT_EQ(callback->GetSwitchState(), 2);

    callback->Advance(*node, 5.0);
    EXPECT_FALSE(callback->ReachedEnd());
    callback->Advance(*node, 5.99);
    EXPECT_NE(callback->getAnimationPath(), next.get());
    EXPECT_NEAR(node->getMatrix().getTrans().y(), 0.0, 1e-9);

    callback->Advance(*node, 6.0);  // the end: the pending path from its start
    EXPECT_EQ(callback->getAnimationPath(), next.get());
    EXPECT_EQ(callback->GetSwitchState(), 0);
    EXPECT_DOUBLE_EQ(callback->getTimeMultiplier(), 0.5);
    EXPECT_EQ(next->getLoopMode(), osg::AnimationPath::LOOP);
    EXPECT_NEAR(node->getMatrix().getTrans().y(), 7.0, 1e-9);
    EXPECT_NEAR(node->getMatrix().getTrans().x(), 0.0, 1e-9);
    callback->Advance(*node, 7.0);  // at half speed a second is 15 frames
    EXPECT_NEAR(node->getMatrix().getTrans().x(), 15.0, 1e-9);

    // Without a pending switch the end changes nothing.
    callback->Advance(*node, 9.0);
    EXPECT_EQ(callback->getAnimationPath(), next.get());
}

TEST(EventCallback, APendingNullPathLeavesTheNodeAtTheEnd)
{
    osg::ref_ptr<osg::MatrixTransform> node = new osg::MatrixTransform;
    osg::ref_ptr<CEventAnimationCallBack> callback = new CEventAnimationCallBack;
    callback->setAnimationPath(AnimatedModel::FramePath(30));
    callback->getAnimationPath()->setLoopMode(osg::AnimationPath::LOOP);
    callback->SetPendingSwitch(nullptr, 1.0, osg::AnimationPath::LOOP);
    callback->Advance(*node, 0.0);
    callback->Advance(*node, 0.5);
    EXPECT_NEAR(node->getMatrix().getTrans().x(), 15.0, 1e-9);
    callback->Advance(*node, 1.2);
    EXPECT_EQ(callback->getAnimationPath(), nullptr);
    callback->Advance(*node, 1.5);
    EXPECT_NEAR(node->getMatrix().getTrans().x(), 15.0, 1e-9);  // unchanged since
}
}
