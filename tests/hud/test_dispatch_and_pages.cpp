// The region manager's rules: events handed to every region and answered by
// whole names, the armed page switch on a press on empty space, pages
// chosen, shown and hidden, and regions placed on them.
#include "CHudRegion.h"
#include "HudTestSupport.h"

#include <vector>

namespace
{
// A quad region that counts what reaches it.
class RecordingRegion : public CHudRegion
{
public:
    int HandleEvent(const std::string& message, const CGUIEvent& event) override
    {
        ++events;
        return CHudRegion::HandleEvent(message, event);
    }
    void Release() override
    {
        ++released;
        CHudRegion::Release();
    }
    int events = 0, released = 0;
};

class Dispatching : public HudTest
{
protected:
    void SetUp() override
    {
        HudTest::SetUp();
        button.Create(3, 10.f, 10.f, 50.f, 20.f);
        child.Create(0, 0.f, 0.f, 10.f, 10.f);
        child.SetName("BUTTON_3_1");
        grandChild.Create(0, 0.f, 0.f, 5.f, 5.f);
        grandChild.SetName("BUTTON_3_1_7");
        button.SetName("BUTTON_3");
        button.AddChild(&child);
        child.AddChild(&grandChild);
        hud->AddRegion(&button);
    }
    RecordingRegion button, child, grandChild;
};

struct NameCase
{
    const char* target;
    int handled;      // what the registered region answers
    bool dispatched;  // what Dispatch answers
};

TEST_F(Dispatching, NamesAreComparedWholeAndOnlyDescendantsCount)
{
    const NameCase cases[] = {
        {"BUTTON_3", CHudRegion::TookIt, false},  // the registered region itself
        {"BUTTON_3_1", CHudRegion::ChildTookIt, true},
        {"BUTTON_3_1_7", CHudRegion::ChildTookIt, true},  // at any depth
        {"BUTTON_3_", CHudRegion::NotMine, false},
        {"BUTTON_", CHudRegion::NotMine, false},
        {"button_3", CHudRegion::NotMine, false},
        {"NONE", CHudRegion::NotMine, false},
    };
    for (const NameCase& c : cases)
    {
        SCOPED_TRACE(c.target);
        EXPECT_EQ(button.HandleEvent("", Event(CGUIEvent::Press, c.target)), c.handled);
        EXPECT_EQ(hud->Dispatch("", Event(CGUIEvent::Press, c.target)), c.dispatched);
    }
}

TEST_F(Dispatching, EveryRegionHearsEveryEventWhateverTheOthersAnswer)
{
    RecordingRegion other;
    other.Create(4, 100.f, 100.f, 20.f, 20.f);
    hud->AddRegion(&other);
    hud->Dispatch("", Event(CGUIEvent::Press, "BUTTON_3"));  // the first region takes it
    EXPECT_EQ(button.events, 1);
    EXPECT_EQ(other.events, 1);
    // A parent asks every child, also after one took it.
    RecordingRegion second;
    second.Create(0, 0.f, 0.f, 5.f, 5.f);
    second.SetName("BUTTON_3_2");
    button.AddChild(&second);
    hud->Dispatch("", Event(CGUIEvent::Press, "BUTTON_3_1"));
    EXPECT_EQ(child.events, 1);  // not asked while its parent took the event itself
    EXPECT_EQ(second.events, 1);
    EXPECT_EQ(hud->LastEvent().targetName, "BUTTON_3_1");
}

TEST_F(Dispatching, NullIsRefusedAndReleaseReachesEveryRegionAndItsChildren)
{
    const size_t before = hud->GetRegions().size();
    EXPECT_EQ(hud->AddRegion(nullptr), nullptr);
    EXPECT_EQ(hud->GetRegions().size(), before);
    hud->ReleaseAll();
    EXPECT_EQ(button.released, 1);
    EXPECT_EQ(child.released, 1);
    EXPECT_EQ(grandChild.released, 1);
}

TEST_F(Dispatching, RegionsLearnTheHudSizeAndConvertThePointer)
{
    EXPECT_EQ(grandChild.GetHudSize(), osg::Vec2f(640.f, 480.f));
    const osg::Vec2f pixel = button.PointerToHud(Event(CGUIEvent::Drag, "SELECTED", 160.f, 360.f));
    EXPECT_NEAR(pixel.x(), 160.f, 1e-3f);
    EXPECT_NEAR(pixel.y(), 360.f, 1e-3f);
    child.SetPosition(5.f, 6.f);
    EXPECT_EQ(grandChild.GetAbsolutePosition(), osg::Vec2f(15.f, 16.f));
    EXPECT_EQ(grandChild.ToLocal(20.f, 20.f), osg::Vec2f(5.f, 4.f));
}

class PageSwitch : public HudTest
{
protected:
    void SetUp() override
    {
        HudTest::SetUp();
        hud->AddPage("VEXA_MENU");
        hud->SelectPage("VEXA_MENU");
        region.Create(0, 0.f, 0.f, 10.f, 10.f);
        hud->AddRegion(&region);
        hud->SetPageVisible("VEXA_MENU", false);
        hud->SelectPage("SETTINGS");
    }
    RecordingRegion region;
};

TEST_F(PageSwitch, OnlyAPressOnEmptySpaceSwitchesAndTheSwitchComesBack)
{
    hud->RequestPageSwitch("VEXA_MENU", 0.0, 0.8, 0.4, true);
    hud->Dispatch("", Event(CGUIEvent::ClickRelease, "NONE"));
    hud->Dispatch("", Event(CGUIEvent::Press, "REGION_0"));
    hud->Dispatch("", Event(CGUIEvent::Drag, "SELECTED"));
    EXPECT_TRUE(hud->IsPageSwitchArmed());
    EXPECT_EQ(hud->GetCurrentPageName(), "SETTINGS");

    hud->Dispatch("", Event(CGUIEvent::Press, "NONE"));
    EXPECT_EQ(hud->GetCurrentPageName(), "VEXA_MENU");
    EXPECT_TRUE(hud->IsPageVisible("VEXA_MENU"));
    EXPECT_FALSE(hud->IsPageVisible("SETTINGS"));
    EXPECT_EQ(hud->GetFadeCallback()->GetState(), RegionFadeCallback::Upward);
    EXPECT_DOUBLE_EQ(hud->GetFadeCallback()->GetValue(), 0.0);
    // Armed again the other way, repeating as the manager's default says (off).
    EXPECT_TRUE(hud->IsPageSwitchArmed());
    hud->Dispatch("", Event(CGUIEvent::Press, "NONE"));
    EXPECT_EQ(hud->GetFadeCallback()->GetState(), RegionFadeCallback::Downward);
    EXPECT_DOUBLE_EQ(hud->GetFadeCallback()->GetValue(), 0.8);
    EXPECT_FALSE(hud->IsPageSwitchArmed());
}

TEST_F(PageSwitch, TheRepeatDefaultKeepsTheSwitchGoing)
{
    hud->SetRepeatDefault(true);
    hud->RequestPageSwitch("VEXA_MENU", 1.0, 0.0, 2.0, true);
    const RegionFadeCallback::State expected[] = {RegionFadeCallback::Downward, RegionFadeCallback::Upward,
                                                  RegionFadeCallback::Downward, RegionFadeCallback::Upward};
    for (RegionFadeCallback::State state : expected)
    {
        hud->Dispatch("", Event(CGUIEvent::Press, "NONE"));
        EXPECT_EQ(hud->GetFadeCallback()->GetState(), state);
        EXPECT_TRUE(hud->IsPageSwitchArmed());
    }
    hud->SetRepeatDefault(false);
}

TEST_F(PageSwitch, WithoutAnArmedSwitchEmptySpaceChangesNoPage)
{
    hud->Dispatch("", Event(CGUIEvent::Press, "NONE"));
    EXPECT_EQ(hud->GetCurrentPageName(), "SETTINGS");
    EXPECT_FALSE(hud->IsPageVisible("VEXA_MENU"));
    EXPECT_EQ(region.events, 1);
}

TEST_F(HudTest, PagesAreChosenShownAndHidden)
{
    EXPECT_EQ(hud->GetCurrentPageName(), "MAIN");  // no page is current at first
    hud->AddPage("VEXA_MENU");
    hud->AddPage("OBJECTEDIT");
    EXPECT_EQ(hud->FindPage("SETTINGS"), 0);
    EXPECT_EQ(hud->FindPage("OBJECTEDIT"), 2);
    EXPECT_EQ(hud->FindPage("objectedit"), -1);

    hud->SelectPage("OBJECTEDIT");
    EXPECT_EQ(hud->GetCurrentPageName(), "OBJECTEDIT");
    EXPECT_TRUE(hud->IsCurrentPageVisible());
    hud->SelectPage("MAIN");  // no page has that name
    EXPECT_EQ(hud->GetCurrentPage(), -1);
    EXPECT_EQ(hud->GetCurrentPageName(), "MAIN");

    hud->ShowOnlyPage("VEXA_MENU");
    EXPECT_FALSE(hud->IsPageVisible("SETTINGS"));
    EXPECT_TRUE(hud->IsPageVisible("VEXA_MENU"));
    EXPECT_FALSE(hud->IsPageVisible("OBJECTEDIT"));
    hud->ShowOnlyPage("NOWHERE");  // changes nothing
    hud->ShowOnlyPage(7);
    EXPECT_TRUE(hud->IsPageVisible("VEXA_MENU"));
    hud->SetPageVisible(2, true);
    hud->SetPageVisible("VEXA_MENU", false);
    EXPECT_TRUE(hud->IsPageVisible("OBJECTEDIT"));
    EXPECT_FALSE(hud->IsPageVisible("VEXA_MENU"));
    EXPECT_FALSE(hud->IsPageVisible("NOWHERE"));
}

TEST_F(HudTest, RegionsGoOnTheCurrentPageOrUnderTheRoot)
{
    CHudRegion top, onPage, afterUnknown;
    top.Create(0, 0.f, 0.f, 1.f, 1.f);
    onPage.Create(1, 0.f, 0.f, 1.f, 1.f);
    afterUnknown.Create(2, 0.f, 0.f, 1.f, 1.f);
    hud->AddRegion(&top);
    hud->AddPage("OBJECTEDIT");
    hud->SelectPage("OBJECTEDIT");
    hud->AddRegion(&onPage);
    hud->SelectPage("NO_SUCH_PAGE");
    hud->AddRegion(&afterUnknown);

    EXPECT_EQ(hud->GetTopLevelRegions(), (std::vector<CHudRegion*>{&top, &afterUnknown}));
    EXPECT_EQ(hud->GetPageRegions(1), std::vector<CHudRegion*>{&onPage});
    EXPECT_TRUE(hud->GetPage(1)->containsNode(onPage.GetTransform()));
    EXPECT_TRUE(hud->GetRoot()->containsNode(top.GetTransform()));
    EXPECT_TRUE(hud->GetRoot()->containsNode(afterUnknown.GetTransform()));
    EXPECT_EQ(hud->GetRegions().size(), 3u);

    hud->SelectPage("OBJECTEDIT");
    hud->SetCurrentPageTransparent(true, 0.8);
    EXPECT_DOUBLE_EQ(onPage.GetTransparency(), 0.8);
    EXPECT_DOUBLE_EQ(top.GetTransparency(), 1.0);
}

TEST_F(HudTest, TheLayerIsAnOrthographicPixelCameraDrawnLast)
{
    osg::Camera* layer = hud->GetHudLayer();
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->getReferenceFrame(), osg::Transform::ABSOLUTE_RF);
    EXPECT_EQ(layer->getRenderOrder(), osg::Camera::POST_RENDER);
    EXPECT_EQ(layer->getClearMask(), 0x100u);
    EXPECT_EQ(layer->getUpdateCallback(), hud->GetFadeCallback());
    // A HUD pixel lands on the same window pixel.
    const osg::Vec3d corner = osg::Vec3d(640.0, 480.0, 0.0) * layer->getProjectionMatrix();
    EXPECT_NEAR(corner.x(), 1.0, 1e-9);
    EXPECT_NEAR(corner.y(), 1.0, 1e-9);
    EXPECT_EQ(hud->GetPageCount(), 1u);
    EXPECT_EQ(hud->GetPage(0)->getName(), "SETTINGS");
}
}
