// The animation control entity: its block, "SEE" playing the appear segment
// when the marker comes back and then looping the idle one, appear -1
// advancing and wrapping, and "KEY" digits and pause. Marker states are fed
// as the tracked marker hands them over, one update per 1/30 s.
#include "AnimatedModel.h"
#include "CAnimatedEntity.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
using AnimatedModel::X;

std::vector<CTagBlock::KeptLine> block(const std::vector<std::vector<std::string>>& lines)
{
    std::vector<CTagBlock::KeptLine> kept = {{0, {"<ANI_CONTROL>"}}};
    for (const auto& line : lines) kept.push_back({1, line});
    kept.push_back({0, {"</ANI_CONTROL>"}});
    return kept;
}

class AnimatedEntity : public ::testing::Test
{
protected:
    // A node whose 90-frame path is cut into three 30-frame segments.
    void Make(const std::vector<std::vector<std::string>>& lines, std::vector<int> frames = {90})
    {
        model = AnimatedModel::Model(frames);
        ::testing::internal::CaptureStdout();
        entity.reset(CAnimatedEntity::FromBlock(block(lines), model.get()));
        output = ::testing::internal::GetCapturedStdout();
    }
    // One frame: the entity hears the marker, then the scene updates.
    void Frame(bool visible)
    {
        MarkerState state;
        state.visible = visible;
        state.appearedNow = visible && !wasVisible;
        state.disappearedNow = !visible && wasVisible;
        if (visible)
        {
            if (state.appearedNow) visibleTime = 0.f, reappeared = invisibleTime >= 4.f;
            else visibleTime += kStep;
            if (reappeared && visibleTime >= 0.01f) reappeared = false;
            invisibleTime = 0.f;
        }
        else
        {
            invisibleTime += kStep;
            reappeared = false;
        }
        state.reappeared = reappeared || (state.appearedNow && invisibleTime == 0.f && lastLoss >= 4.f);
        lostLong = visible ? false : (lostLong || invisibleTime >= 4.f);
        state.lostLong = lostLong;
        state.visibleTime = visibleTime;
        state.invisibleTime = invisibleTime;
        entity->update(kStep, state);
        AnimatedModel::UpdateAt(model.get(), now, ++frame);
        if (!visible) lastLoss = invisibleTime;
        wasVisible = visible;
        now += kStep;
    }
    void Frames(bool visible, double seconds)
    {
        for (int i = 0; i < int(seconds / kStep + 0.5); ++i) Frame(visible);
    }
    double Shown() { return X(model->getChild(0)); }

    static constexpr float kStep = 1.f / 30.f;
    osg::ref_ptr<osg::Group> model;
    std::unique_ptr<CAnimatedEntity> entity;
    std::string output;
    double now = 100.0;
    unsigned frame = 0;
    bool wasVisible = false, reappeared = false, lostLong = true;
    float visibleTime = 0.f, invisibleTime = 0.f, lastLoss = 0.f;
};

struct BlockCase
{
    std::vector<std::vector<std::string>> lines;
    int trigger, appear, idle, fpa;
    osg::AnimationPath::LoopMode mode;
    const char* message;  // the one line printed, or ""
};

class AnimationControlBlock : public AnimatedEntity, public ::testing::WithParamInterface<BlockCase>
{
};

TEST_P(AnimationControlBlock, ReadsItsTagsAndReportsBadValues)
{
    const BlockCase& c = GetParam();
    Make(c.lines);
    EXPECT_EQ(entity->GetTriggerMode(), c.trigger);
    EXPECT_EQ(entity->GetAppearIndex(), c.appear);
    EXPECT_EQ(entity->GetIdleIndex(), c.idle);
    EXPECT_EQ(entity->GetFramesPerSegment(), c.fpa);
    EXPECT_EQ(entity->GetTransportMode(), c.mode);
    EXPECT_EQ(output, std::string(c.message) + (*c.message ? "\n" : ""));
}

INSTANTIATE_TEST_SUITE_P(
    Tags, AnimationControlBlock,
    ::testing::Values(
        BlockCase{{}, 0, 0, 0, 0, osg::AnimationPath::LOOP, ""},
        BlockCase{{{"<TRANSPORT_MODE>", "SWING"}, {"<FPA>", "30"}, {"<FPS>", "25"}, {"<IDLE_INDEX>", "1"},
                   {"<APPEAR_INDEX>", "-1"}, {"<TRIGGER_MODE>", "SEE"}},
                  1, -1, 1, 30, osg::AnimationPath::SWING, ""},
        BlockCase{{{"<TRANSPORT_MODE>", "PLAY"}}, 0, 0, 0, 0, osg::AnimationPath::NO_LOOPING, ""},
        BlockCase{{{"<TRANSPORT_MODE>", "BOUNCE"}}, 0, 0, 0, 0, osg::AnimationPath::LOOP,
                  "Warning! <TRANSPORT_MODE> expects PLAY, LOOP or SWING, found \"BOUNCE\"; using LOOP"},
        BlockCase{{{"<TRIGGER_MODE>", "LOOK"}}, 0, 0, 0, 0, osg::AnimationPath::LOOP,
                  "Warning! <TRIGGER_MODE> expects KEY or SEE, found \"LOOK\"; using KEY"},
        BlockCase{{{"<FPA>", "0"}}, 0, 0, 0, 0, osg::AnimationPath::LOOP,
                  "Warning! <FPA> expects a positive number of frames, found 0; the animation stays one segment"},
        BlockCase{{{"<IDLE_INDEX>", "two"}}, 0, 0, 0, 0, osg::AnimationPath::LOOP,
                  "Warning! <IDLE_INDEX> expects an integer, found \"two\"; using 0"},
        BlockCase{{{"<FPS>"}}, 0, 0, 0, 0, osg::AnimationPath::LOOP,
                  "Warning! <FPS> expects a number, found nothing; using 30"}));

TEST_F(AnimatedEntity, AModelWithoutAnimationIsReported)
{
    model = new osg::Group;
    ::testing::internal::CaptureStdout();
    entity.reset(CAnimatedEntity::FromBlock(block({{"<FPA>", "30"}}), model.get()));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "Warning! <ANI_CONTROL> expects a model with keyframed animation (animation paths), found none; "
              "nothing will move\n");
    entity->Trigger({'1', 'p'});  // does nothing, and does not fail
}

TEST_F(AnimatedEntity, SeePlaysTheAppearSegmentOnceThenLoopsTheIdleOne)
{
    Make({{"<FPA>", "30"}, {"<APPEAR_INDEX>", "1"}, {"<IDLE_INDEX>", "0"}, {"<TRIGGER_MODE>", "SEE"},
          {"<TRANSPORT_MODE>", "PLAY"}});
    Frames(false, 1.0);
    Frames(true, 2.0);  // first sighting: the marker was lost long from the start
    Frames(false, 5.0);
    Frame(true);  // back after five seconds: segment 1 from its beginning
    EXPECT_NEAR(Shown(), 30.0, 1e-6);
    Frames(true, 0.5);
    EXPECT_NEAR(Shown(), 45.0, 0.6);
    Frames(true, 0.5);  // segment 1 ends; segment 0 follows and loops
    EXPECT_LT(Shown(), 2.0);
    Frames(true, 0.5);
    EXPECT_NEAR(Shown(), 15.0, 1.1);
    Frames(true, 1.0);
    EXPECT_NEAR(Shown(), 15.0, 1.1);  // a round later
    EXPECT_EQ(entity->GetController()->GetCurrentSegment(), 0);
}

TEST_F(AnimatedEntity, SeeIgnoresShortLosses)
{
    Make({{"<FPA>", "30"}, {"<APPEAR_INDEX>", "1"}, {"<IDLE_INDEX>", "0"}, {"<TRIGGER_MODE>", "SEE"}});
    Frames(false, 1.0);
    Frames(true, 3.0);  // appear, then idle
    const double before = Shown();
    Frames(false, 2.0);
    Frame(true);  // back after two seconds: the idle segment goes on
    EXPECT_EQ(entity->GetController()->GetCurrentSegment(), 0);
    EXPECT_GT(std::fabs(Shown() - 30.0), 1.0) << "restarted the appear segment (was " << before << ")";
}

TEST_F(AnimatedEntity, AppearMinusOneAdvancesOnEachReturnAndWraps)
{
    Make({{"<FPA>", "30"}, {"<APPEAR_INDEX>", "-1"}, {"<TRIGGER_MODE>", "SEE"}, {"<TRANSPORT_MODE>", "PLAY"}});
    std::vector<int> segments;
    for (int round = 0; round < 5; ++round)
    {
        Frames(false, 4.5);
        Frame(true);
        segments.push_back(entity->GetController()->GetCurrentSegment());
        EXPECT_NEAR(Shown(), 30.0 * segments.back(), 1e-6) << "round " << round;
        Frames(true, 1.0);
    }
    EXPECT_EQ(segments, (std::vector<int>{1, 2, 0, 1, 2}));
}

TEST_F(AnimatedEntity, KeyDigitsSelectSegmentsAndPauseTwiceKeepsRunning)
{
    Make({{"<FPA>", "30"}}, {90, 60});
    Frames(true, 0.5);
    entity->Trigger({'2'});
    Frame(true);
    EXPECT_NEAR(Shown(), 60.0, 1e-6);
    EXPECT_EQ(entity->GetController()->GetCallback(1)->getAnimationPath(), nullptr);  // no segment 2 there
    const double held = X(model->getChild(1));
    Frames(true, 0.5);
    EXPECT_NEAR(Shown(), 75.0, 0.6);
    EXPECT_DOUBLE_EQ(X(model->getChild(1)), held);

    entity->Trigger({'p'});
    const double paused = Shown();
    Frames(true, 0.5);
    EXPECT_DOUBLE_EQ(Shown(), paused);
    entity->Trigger({'p'});
    Frames(true, 0.2);
    EXPECT_GT(Shown(), paused + 3.0);  // running again

    entity->Trigger({'p', 'p', '1'});  // in one frame: pause, resume, segment 1
    Frame(true);
    EXPECT_NEAR(Shown(), 30.0, 1e-6);
    Frames(true, 0.3);
    EXPECT_GT(Shown(), 35.0);

    entity->Trigger({'7'});  // no segment 7: nothing moves
    Frame(true);
    const double still = Shown();
    Frames(true, 0.3);
    EXPECT_DOUBLE_EQ(Shown(), still);
}

TEST_F(AnimatedEntity, SeeIgnoresKeysAndKeyIgnoresTheMarker)
{
    Make({{"<FPA>", "30"}, {"<TRIGGER_MODE>", "SEE"}, {"<APPEAR_INDEX>", "2"}, {"<IDLE_INDEX>", "1"}});
    Frames(true, 0.2);
    entity->Trigger({'0'});
    EXPECT_EQ(entity->GetController()->GetCurrentSegment(), 1);  // appear 2 with idle 1 queued

    Make({{"<FPA>", "30"}, {"<APPEAR_INDEX>", "2"}});
    Frames(false, 5.0);
    Frames(true, 0.2);
    EXPECT_EQ(entity->GetController()->GetCurrentSegment(), 0);
}
}
