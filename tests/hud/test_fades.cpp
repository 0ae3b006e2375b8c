// Page fades: the value over time, upward and downward, the page hidden at
// the end of a downward fade, and what every region of the fade is given.
#include "CHudRegion.h"
#include "HudTestSupport.h"

#include <osg/Group>
#include <osg/Timer>

namespace
{
class Fading : public HudTest
{
protected:
    void SetUp() override
    {
        HudTest::SetUp();
        page = new osg::Group;
        for (CHudRegion& region : regions) region.Create(0, 0.f, 0.f, 10.f, 10.f);
        list = {&regions[0], &regions[1]};
    }
    osg::ref_ptr<osg::Group> page;
    CHudRegion regions[2];
    std::vector<CHudRegion*> list;
    osg::ref_ptr<RegionFadeCallback> fade = new RegionFadeCallback;
};

struct FadeCase
{
    double from, to, duration;
    double at;        // seconds after the start
    double value;     // every region's alpha then
    bool running;     // the fade still going
    bool pageShown;
};

TEST_F(Fading, TheValueFollowsTheClockAndADownwardFadeHidesThePage)
{
    const FadeCase cases[] = {
        {1.0, 0.0, 2.0, 0.0, 1.0, true, true},
        {1.0, 0.0, 2.0, 1.0, 0.5, true, true},
        {1.0, 0.0, 2.0, 1.5, 0.25, true, true},
        {1.0, 0.0, 2.0, 2.0, 0.0, false, false},   // reaches 0: hidden
        {1.0, 0.0, 2.0, 2.1, 0.0, false, false},   // a late frame ends exactly at the end value
        {0.0, 0.8, 0.4, 0.1, 0.2, true, true},     // upward
        {0.0, 0.8, 0.4, 0.45, 0.8, false, true},   // ends at 0.8 and the page stays
        {0.8, 0.2, 1.0, 0.5, 0.5, true, true},
        {0.5, 0.5, 2.0, 0.0, 0.5, false, false},   // from a value to itself: ends on its first frame
        {1.0, 0.0, 0.0, 0.0, 0.0, false, false},   // no duration: at once
    };
    for (const FadeCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.from << " to " << c.to << " over " << c.duration << " s, at " << c.at);
        page->setNodeMask(0u);
        fade->StartFadeAt(list, page.get(), c.from, c.to, c.duration, 100.0);
        EXPECT_EQ(page->getNodeMask(), ~0u);  // a fade shows its page
        fade->Step(100.0 + c.at);
        EXPECT_NEAR(fade->GetValue(), c.value, 1e-9);
        for (CHudRegion& region : regions)
        {
            EXPECT_NEAR(region.GetTransparency(), c.value, 1e-9);
            EXPECT_TRUE(region.IsTransparent());
        }
        EXPECT_EQ(fade->GetState() != RegionFadeCallback::Idle, c.running);
        EXPECT_EQ(page->getNodeMask() == ~0u, c.pageShown);
    }
}

TEST_F(Fading, AnIdleFadeTouchesNothingAndANewFadeReplacesTheOld)
{
    fade->StartFadeAt(list, page.get(), 1.0, 0.0, 2.0, 0.0);
    fade->Step(2.0);
    regions[0].SetTransparent(true, 0.3);
    fade->Step(3.0);
    EXPECT_DOUBLE_EQ(regions[0].GetTransparency(), 0.3);

    fade->StartFadeAt(list, page.get(), 1.0, 0.0, 2.0, 10.0);
    fade->Step(11.0);
    fade->StartFadeAt({&regions[1]}, page.get(), 0.0, 1.0, 1.0, 11.0);
    fade->Step(11.5);
    EXPECT_DOUBLE_EQ(regions[1].GetTransparency(), 0.5);
    EXPECT_DOUBLE_EQ(regions[0].GetTransparency(), 0.5);  // left where the old fade left it
}

TEST_F(HudTest, FadingTheCurrentPageRunsOnTheSceneGraphClock)
{
    CHudRegion region;
    region.Create(0, 0.f, 0.f, 10.f, 10.f);
    hud->SelectPage("SETTINGS");
    hud->AddRegion(&region);
    const double start = osg::Timer::instance()->time_s();
    hud->FadeCurrentPage(1.0, 0.0, 2.0);
    hud->GetFadeCallback()->Step(start + 1.0);
    EXPECT_NEAR(region.GetTransparency(), 0.5, 1e-3);
    hud->GetFadeCallback()->Step(start + 2.01);
    EXPECT_FALSE(hud->IsPageVisible("SETTINGS"));

    hud->SelectPage("MAIN");  // no current page: nothing to fade
    hud->FadeCurrentPage(0.0, 1.0, 1.0);
    EXPECT_EQ(hud->GetFadeCallback()->GetState(), RegionFadeCallback::Idle);
}
}
