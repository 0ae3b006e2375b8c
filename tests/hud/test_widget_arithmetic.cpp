// What the widgets compute and report: number fields' steps and clamps and
// their texts, sliders' values from the knob (the exact middle, the ends),
// presses, drags and drags without a press, captioned sliders, the vector
// inputs, buttons and the video panel.
#include "CButtonRegion.h"
#include "CNumRegion.h"
#include "CSliderRegion.h"
#include "CSliderValueRegion.h"
#include "CTextRegion.h"
#include "CVec3InputRegion.h"
#include "CVecSliderRegion.h"
#include "CVideoRegion.h"
#include "HudTestSupport.h"

namespace
{
const char* const kBox = "models/hud/labelRegion.IVE";
const char* const kUp = "models/hud/upButtonRegion.IVE";
const char* const kDown = "models/hud/downButtonRegion.IVE";
const char* const kKnob = "models/hud/sliderEnd.IVE";
const char* const kBar = "models/hud/sliderBar.IVE";
const char* const kButton = "models/hud/buttonRegion.IVE";

struct NumCase
{
    bool integerMode;
    float start, step;
    int presses;  // increases when positive, decreases when negative
    const char* shown;
};

TEST_F(HudTest, NumberFieldsStepClampAndPrint)
{
    const NumCase cases[] = {
        {true, 0.f, 1.f, 0, "0"},
        {true, 0.f, 1.f, 1, "1"},
        {true, 999.f, 1.f, 1, "999"},        // the integer clamp
        {true, 990.f, 5.f, 3, "999"},
        {true, -999.f, 1.f, -1, "-999"},
        {true, 5000.f, 1.f, 0, "999"},       // a set value is clamped too
        {false, 0.f, 0.1f, 0, "0.000"},
        {false, 0.f, 0.1f, 1, "0.100"},      // a float step shows three decimals
        {false, 0.f, 0.1f, -2, "-0.200"},
        {false, 998.95f, 0.1f, 1, "999.000"},
        {false, -2000.f, 0.1f, 0, "-999.000"},
    };
    for (const NumCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << (c.integerMode ? "integer " : "float ") << c.start << " " << c.presses);
        CNumRegion field;
        field.Init(4, 0.f, 0.f, 160.f, 30.f, kBox, kUp, kDown, c.integerMode);
        field.SetValue(c.start);
        field.SetStep(c.step);
        field.SetIntStep(static_cast<int>(c.step));
        for (int i = 0; i < c.presses; ++i) field.Increase();
        for (int i = 0; i > c.presses; --i) field.Decrease();
        EXPECT_EQ(field.GetDisplayedText(), c.shown);
    }
}

TEST_F(HudTest, ANumberFieldMovesOnAPressOnItsButtonsOnly)
{
    CNumRegion field;
    field.Init(4, 0.f, 0.f, 160.f, 30.f, kBox, kUp, kDown, true);
    EXPECT_EQ(field.GetIncButton()->GetName(), "NUM_4_IncButton");
    EXPECT_EQ(field.GetDecButton()->GetName(), "NUM_4_DecButton");
    struct
    {
        int type;
        const char* target;
        int value;
        bool clicked;
        int answer;
    } const steps[] = {
        {CGUIEvent::Press, "NUM_4_IncButton", 1, true, CHudRegion::ChildTookIt},
        {CGUIEvent::ClickRelease, "NUM_4_IncButton", 1, false, CHudRegion::ChildTookIt},
        {CGUIEvent::Press, "NUM_4_DecButton", 0, true, CHudRegion::ChildTookIt},
        {CGUIEvent::Press, "NUM_4_Text", 0, false, CHudRegion::ChildTookIt},
        {CGUIEvent::Press, "NUM_4", 0, false, CHudRegion::TookIt},
        {CGUIEvent::Press, "NUM_40_IncButton", 0, false, CHudRegion::NotMine},
    };
    for (const auto& s : steps)
    {
        SCOPED_TRACE(s.target);
        EXPECT_EQ(field.HandleEvent("", Event(s.type, s.target)), s.answer);
        EXPECT_EQ(field.GetIntValue(), s.value);
        EXPECT_EQ(field.ConsumeClick(), s.clicked);
    }
}

class Sliders : public HudTest
{
protected:
    // A slider of the range whose track's middle lies on HUD x = 320, where
    // the pointer's -1..1 value is exactly 0.
    void Make(CSliderRegion& slider, float minimum, float maximum, bool vertical = false)
    {
        slider.Init(2, 0.f, 0.f, vertical ? 30.f : 300.f, vertical ? 300.f : 30.f, kBar, kKnob, kUp, kDown, vertical);
        slider.SetRange(minimum, maximum);
        const osg::Vec2f middle = (slider.GetTrackStart() + slider.GetTrackEnd()) * 0.5f;
        slider.SetPosition(320.f - middle.x(), 240.f - middle.y());
        hud->AddRegion(&slider);
        slider.ConsumeClick();
    }
};

struct SliderCase
{
    float minimum, maximum;
    float pointer;  // HUD x of the press on the bar
    float value;
};

TEST_F(Sliders, APressOnTheBarTakesTheValueUnderThePointer)
{
    const SliderCase cases[] = {
        {0.f, 10.f, 320.f, 5.f},          // the middle, exactly
        {-20.f, 60.f, 320.f, 20.f},
        {0.f, 1.f, 320.f, 0.5f},
        {0.f, 360.f, 320.f, 180.f},
        {0.f, 10.f, 0.f, 0.f},            // left of the track: the minimum
        {0.f, 10.f, 639.f, 10.f},         // right of it: the other end
        {10.f, 0.f, 639.f, 20.f},         // a reversed range runs from the minimum by its span
    };
    for (const SliderCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.minimum << ".." << c.maximum << " at " << c.pointer);
        hud->CreateHudLayer("SETTINGS", 640, 480);
        CSliderRegion slider;
        Make(slider, c.minimum, c.maximum);
        EXPECT_EQ(slider.HandleEvent("", Event(CGUIEvent::Press, "SLIDER_2SIDE_SLIDER", c.pointer, 240.f)),
                  CHudRegion::TookIt);
        EXPECT_EQ(slider.GetValue(), c.value);
        EXPECT_TRUE(slider.ConsumeClick());
        EXPECT_TRUE(slider.IsDragging());
    }
}

TEST_F(Sliders, DragsMoveTheKnobOnlyAfterAPressOnTheSlider)
{
    CSliderRegion slider;
    Make(slider, 0.f, 100.f);
    slider.SetValue(30.f);
    slider.ConsumeClick();
    // A drag without a press does nothing.
    EXPECT_EQ(slider.HandleEvent("", Event(CGUIEvent::Drag, "SELECTED", 320.f, 240.f)), CHudRegion::NotMine);
    EXPECT_FLOAT_EQ(slider.GetValue(), 30.f);
    EXPECT_FALSE(slider.ConsumeClick());
    // A press on the knob (the slider's own name), then drags.
    EXPECT_EQ(slider.HandleEvent("", Event(CGUIEvent::Press, "SLIDER_2", 320.f, 240.f)), CHudRegion::TookIt);
    EXPECT_FLOAT_EQ(slider.GetValue(), 50.f);
    EXPECT_EQ(slider.HandleEvent("", Event(CGUIEvent::Drag, "SELECTED", 639.f, 100.f)), CHudRegion::TookIt);
    EXPECT_FLOAT_EQ(slider.GetValue(), 100.f);
    // A press anywhere else ends the drag.
    slider.HandleEvent("", Event(CGUIEvent::Press, "NONE", 10.f, 10.f));
    EXPECT_EQ(slider.HandleEvent("", Event(CGUIEvent::Drag, "SELECTED", 320.f, 240.f)), CHudRegion::NotMine);
    EXPECT_FLOAT_EQ(slider.GetValue(), 100.f);
}

TEST_F(Sliders, TheButtonsStepAndTheKnobFollowsSetValue)
{
    CSliderRegion slider;
    Make(slider, 0.f, 100.f);
    slider.SetStep(10.f);
    slider.SetValue(25.f);
    const osg::Vec2f start = slider.GetTrackStart(), end = slider.GetTrackEnd();
    const osg::Vec2f knob = slider.GetKnob()->GetPosition() + slider.GetKnob()->GetSize() * 0.5f;
    EXPECT_NEAR(knob.x(), start.x() + (end.x() - start.x()) * 0.25f, 1e-3f);
    const struct
    {
        const char* target;
        float value;
    } presses[] = {{"SLIDER_2SIDE_INC", 35.f}, {"SLIDER_2SIDE_DEC", 25.f}, {"SLIDER_2SIDE_DEC", 15.f}};
    for (const auto& p : presses)
    {
        EXPECT_EQ(slider.HandleEvent("", Event(CGUIEvent::Press, p.target)), CHudRegion::TookIt);
        EXPECT_NEAR(slider.GetValue(), p.value, 1e-4f) << p.target;
        EXPECT_TRUE(slider.ConsumeClick());
    }
    slider.SetValue(1000.f);  // beyond the end: the knob stays on the track
    EXPECT_FLOAT_EQ(slider.GetValue(), 100.f);
    EXPECT_EQ(slider.HandleEvent("", Event(CGUIEvent::ClickRelease, "SLIDER_2SIDE_INC")), CHudRegion::NotMine);
}

TEST_F(Sliders, AVerticalSliderFollowsThePointersHeight)
{
    CSliderRegion slider;
    Make(slider, 0.f, 10.f, true);
    slider.HandleEvent("", Event(CGUIEvent::Press, "SLIDER_2SIDE_SLIDER", 320.f, 240.f));
    EXPECT_EQ(slider.GetValue(), 5.f);
    slider.HandleEvent("", Event(CGUIEvent::Drag, "SELECTED", 320.f, 0.f));
    EXPECT_EQ(slider.GetValue(), 0.f);
}

TEST_F(HudTest, ACaptionedSliderShowsItsValueAndPassesTheChangeOn)
{
    CSliderValueRegion level;
    level.Init(6, 20.f, 20.f, 400.f, 30.f, "Rot S", kBox, kKnob, kBar, kDown, kUp, 0.f, 1.f);
    hud->AddRegion(&level);
    EXPECT_EQ(level.GetSlider()->GetName(), "VSLIDE_6_VS");
    EXPECT_EQ(level.GetCaptionRegion()->GetText(), "Rot S 0.00");
    EXPECT_FALSE(level.ConsumeClick());
    EXPECT_EQ(level.HandleEvent("", Event(CGUIEvent::Press, "VSLIDE_6_VSSIDE_INC")), CHudRegion::ChildTookIt);
    EXPECT_EQ(level.GetCaptionRegion()->GetText(), "Rot S 0.05");
    EXPECT_TRUE(level.ConsumeClick());
    EXPECT_EQ(level.HandleEvent("", Event(CGUIEvent::Press, "ELSEWHERE")), CHudRegion::NotMine);
    EXPECT_FALSE(level.ConsumeClick());
}

TEST_F(HudTest, VectorInputsCopyTheirThreeValues)
{
    CVec3InputRegion position;
    position.Init(3, 0.f, 0.f, 160.f, 100.f, kBox, kUp, kDown, false);
    position.SetSteps(osg::Vec3f(1.f, 0.5f, 0.25f));
    EXPECT_EQ(position.GetInput(1)->GetName(), "VE3_3_YINPUT");
    EXPECT_EQ(position.HandleEvent("", Event(CGUIEvent::Press, "VE3_3_YINPUT_IncButton")), CHudRegion::NotMine);
    EXPECT_EQ(position.HandleEvent("", Event(CGUIEvent::Press, "VE3_3_ZINPUT_DecButton")), CHudRegion::NotMine);
    EXPECT_EQ(position.GetValues(), osg::Vec3f(0.f, 0.5f, -0.25f));
    EXPECT_TRUE(position.ConsumeClick());
    EXPECT_EQ(position.GetInput(2)->GetDisplayedText(), "-0.250");

    CVec3InputRegion counts;  // integer fields reach the copy as floats
    counts.Init(4, 0.f, 0.f, 160.f, 100.f, kBox, kUp, kDown, true);
    counts.SetValues(osg::Vec3f(7.f, 998.f, -3.f));
    counts.HandleEvent("", Event(CGUIEvent::Press, "VE3_4_YINPUT_IncButton"));
    counts.HandleEvent("", Event(CGUIEvent::Press, "VE3_4_YINPUT_IncButton"));
    EXPECT_EQ(counts.GetValues(), osg::Vec3f(7.f, 999.f, -3.f));

    CVecSliderRegion rotation;
    rotation.Init(5, 0.f, 0.f, 300.f, 100.f, kBox, kKnob, kBar, kDown, kUp, 0.f, 360.f);
    rotation.SetValues(osg::Vec3f(90.f, 180.f, 270.f));
    EXPECT_EQ(rotation.GetSlider(2)->GetName(), "VECSLIDER_5_ZINPUT");
    EXPECT_EQ(rotation.GetSlider(0)->GetCaptionRegion()->GetText(), "X: 90.00");
    EXPECT_EQ(rotation.HandleEvent("", Event(CGUIEvent::Press, "VECSLIDER_5_ZINPUT_VSSIDE_INC")),
              CHudRegion::ChildTookIt);
    EXPECT_EQ(rotation.GetValues(), osg::Vec3f(90.f, 180.f, 288.f));
    EXPECT_TRUE(rotation.IsChanged());
    EXPECT_TRUE(rotation.ConsumeClick());
    EXPECT_EQ(rotation.HandleEvent("", Event(CGUIEvent::Press, "NONE")), CHudRegion::NotMine);
    EXPECT_FALSE(rotation.IsChanged());
}

TEST_F(HudTest, AButtonReportsPressesAndClicksAndPlaysItsAnimation)
{
    CButtonRegion button;
    int calls = 0;
    button.Init(3, 10.f, 10.f, 80.f, 40.f, kButton, "Start");
    button.SetClickCallback([&calls](CButtonRegion&) { ++calls; });
    ASSERT_TRUE(button.HasAnimation());
    EXPECT_EQ(button.GetName(), "BUTTON_3");
    EXPECT_EQ(button.GetAnimation()->GetCurrentSegment(), 1);  // the start segment

    EXPECT_EQ(button.HandleEvent("", Event(CGUIEvent::Press, "BUTTON_3")), CHudRegion::TookIt);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(button.GetAnimation()->GetCurrentSegment(), 0);
    EXPECT_TRUE(button.ConsumePressed());
    EXPECT_FALSE(button.ConsumePressed());
    EXPECT_FALSE(button.ConsumeClick());  // a press alone is no click

    EXPECT_EQ(button.HandleEvent("", Event(CGUIEvent::ClickRelease, "BUTTON_3")), CHudRegion::TookIt);
    EXPECT_EQ(button.GetAnimation()->GetCurrentSegment(), 1);
    EXPECT_TRUE(button.ConsumeClick());
    EXPECT_FALSE(button.ConsumeClick());
    EXPECT_EQ(button.HandleEvent("", Event(CGUIEvent::Press, "BUTTON_30")), CHudRegion::NotMine);
    EXPECT_EQ(calls, 1);
}

TEST_F(HudTest, TheVideoPanelTogglesOnAPressAndStopsWhenReleased)
{
    CVideoRegion video;
    video.Init(nullptr, 10.f, 10.f, 200.f, 212.f, "Videos/demo.mp4", "models/hud/basePlane/basePlane.ive",
               "models/hud/baseFrame/baseFrame.ive", 15, 1);
    video.SetIndex(7);
    ASSERT_NE(video.GetStream(), nullptr);
    EXPECT_EQ(video.GetFrame()->GetName(), "VIDEOREG_7VFRAME");
    EXPECT_NEAR(video.GetSize().y(), 150.f, 1.f);  // the demo footage is 4:3
    EXPECT_FALSE(video.IsPlaying());
    video.HandleEvent("", Event(CGUIEvent::Press, "VIDEOREG_7"));
    EXPECT_TRUE(video.IsPlaying());
    EXPECT_EQ(video.GetAnimation()->GetCurrentSegment(), 0);
    video.HandleEvent("", Event(CGUIEvent::ClickRelease, "VIDEOREG_7"));
    EXPECT_TRUE(video.IsPlaying());
    video.HandleEvent("", Event(CGUIEvent::Press, "VIDEOREG_7VFRAME"));
    EXPECT_TRUE(video.IsPlaying());
    video.HandleEvent("", Event(CGUIEvent::Press, "VIDEOREG_7"));
    EXPECT_FALSE(video.IsPlaying());
    video.Play();
    video.Release();
    EXPECT_FALSE(video.IsPlaying());
}
}
