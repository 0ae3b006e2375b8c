#include "HudTestPage.h"

#include "CButtonRegion.h"
#include "CHudRegionManager.h"
#include "CNumRegion.h"
#include "CPathResolver.h"
#include "CSliderRegion.h"
#include "CHudRegion.h"
#include "CSliderValueRegion.h"
#include "CTextRegion.h"
#include "CVec3InputRegion.h"
#include "CVecSliderRegion.h"
#include "CVideoRegion.h"

#include <osg/Texture2D>
#include <osgDB/ReadFile>

#include <algorithm>
#include <cstdio>

const char* const HudTestPage::kPageName = "WIDGETS";

namespace
{
// The engine's own widget models, named as its skin names them.
const char* const kButton = "models/hud/buttonRegion.IVE";
const char* const kTextBox = "models/hud/labelRegion.IVE";
const char* const kOk = "models/hud/okReg.IVE";
const char* const kCancel = "models/hud/cacelRegion.IVE";
const char* const kKnob = "models/hud/sliderEnd.IVE";
const char* const kBar = "models/hud/sliderBar.IVE";
const char* const kUp = "models/hud/upButtonRegion.IVE";
const char* const kDown = "models/hud/downButtonRegion.IVE";
const char* const kMinus = "models/hud/minus/minus.ive";
const char* const kPlus = "models/hud/plus/plus.ive";
const char* const kPlane = "models/hud/qorts/videoPlane/videoPlane.ive";
const char* const kFrame = "models/hud/qorts/videoFrame/videoFrame.ive";
const char* const kIcons[] = {"settings", "scan", "hiderOn", "threshOn", "vSource", "vSettings"};

void describe(const char* role, const CHudRegion* region, std::vector<std::string>& lines)
{
    if (!region) return;
    const osg::Vec2f p = region->GetAbsolutePosition(), size = region->GetSize();
    char line[256];
    std::snprintf(line, sizeof(line), "region %s %s %.1f %.1f %.1f %.1f", role, region->GetName().c_str(), p.x(),
                  p.y(), size.x(), size.y());
    lines.push_back(line);
}
}

// An invisible region that notes every event the HUD hands out.
class HudTestPage::EventRecorder : public CHudRegion
{
public:
    int HandleEvent(const std::string&, const CGUIEvent& event) override
    {
        char line[256];
        std::snprintf(line, sizeof(line), "event %d %s", event.type, event.targetName.c_str());
        events.push_back(line);
        return NotMine;
    }
    std::vector<std::string> events;
};

HudTestPage::HudTestPage() = default;
HudTestPage::~HudTestPage() = default;

template <class T> T* HudTestPage::Keep(T* region)
{
    m_regions.emplace_back(region);
    return region;
}

void HudTestPage::AddCaption(CHudRegionManager& hud, float x, float y, float w, float h, const std::string& text)
{
    CTextRegion* caption = Keep(new CTextRegion);
    caption->Init(static_cast<int>(hud.GetRegions().size()), x, y, w, h, std::string(), text);
    hud.AddRegion(caption);
}

void HudTestPage::Build(CHudRegionManager& hud, const std::string& movieFile, CVideoStream* liveStream)
{
    const float W = static_cast<float>(hud.GetWidth()), H = static_cast<float>(hud.GetHeight());
    const float u = H / 15.f, gap = u * 0.38f;  // row height and spacing
    const float left = W * 0.04f, right = W * 0.53f, column = W * 0.43f;
    const float caption = column * 0.3f;  // captions at the left of a row
    hud.AddPage(kPageName);
    hud.SelectPage(kPageName);
    auto index = [&hud]() { return static_cast<int>(hud.GetRegions().size()); };
    m_recorder = Keep(new EventRecorder);
    m_recorder->CreateWithoutModel(index(), 0.f, 0.f);
    m_recorder->SetName("EVENT_RECORDER");
    hud.AddRegion(m_recorder);

    float y = H - u * 1.35f;
    AddCaption(hud, left, y, W * 0.5f, u * 1.1f, "HUD widgets");

    // Buttons: a labelled one, OK, cancel, up and down.
    y -= u * 1.3f + gap;
    const float b = u * 1.3f;
    auto button = [&](float x, float w, const char* model, const char* label) {
        CButtonRegion* region = Keep(new CButtonRegion);
        region->Init(index(), x, y, w, b, model, label);
        hud.AddRegion(region);
        m_buttons.push_back(region);
        return region;
    };
    button(left, b * 2.4f, kButton, "Start");
    button(left + b * 2.4f + gap, b, kOk, "");
    button(left + b * 3.4f + gap * 2, b, kCancel, "");
    button(left + b * 4.4f + gap * 3, b, kUp, "");
    button(left + b * 5.4f + gap * 4, b, kDown, "");

    y -= u + gap;
    AddCaption(hud, left, y, caption, u, "Text");
    m_text = Keep(new CTextRegion);
    m_text->Init(index(), left + caption, y, column - caption, u, kTextBox, "Hello, visitor");
    hud.AddRegion(m_text);

    y -= u + gap;
    AddCaption(hud, left, y, caption, u, "Count");
    m_count = Keep(new CNumRegion);
    m_count->Init(index(), left + caption, y, column * 0.42f, u, kTextBox, kUp, kDown, true);
    m_count->SetValue(997);
    hud.AddRegion(m_count);

    y -= u + gap;
    AddCaption(hud, left, y, caption, u, "Step");
    m_step = Keep(new CNumRegion);
    m_step->Init(index(), left + caption, y, column * 0.42f, u, kTextBox, kUp, kDown, false);
    m_step->SetStep(0.1f);
    hud.AddRegion(m_step);

    y -= u + gap;
    AddCaption(hud, left, y, caption, u, "Slider");
    m_slider = Keep(new CSliderRegion);
    m_slider->Init(index(), left + caption, y, column - caption, u, kBar, kKnob, kPlus, kMinus, false);
    m_slider->SetRange(0.f, 100.f);
    m_slider->SetStep(10.f);
    m_slider->SetValue(30.f);
    m_slider->ConsumeClick();
    hud.AddRegion(m_slider);

    y -= u + gap;
    m_level = Keep(new CSliderValueRegion);
    m_level->Init(index(), left, y, column, u, "Level", kTextBox, kKnob, kBar, kMinus, kPlus, 0.f, 1.f, 0.3f);
    m_level->SetValue(0.5f);
    m_level->ConsumeClick();
    hud.AddRegion(m_level);

    // The HUD's icons on buttons.
    y -= b + gap;
    float x = left;
    for (const char* icon : kIcons)
    {
        CButtonRegion* region = button(x, b, kButton, "");
        const std::string file = CPathResolver::Resolve(std::string("models/hud/icons/") + icon + ".png");
        if (osg::ref_ptr<osg::Image> picture = osgDB::readRefImageFile(file))
        {
            osg::ref_ptr<osg::Texture2D> texture = new osg::Texture2D(picture.get());
            texture->setFilter(osg::Texture::MIN_FILTER, osg::Texture::LINEAR_MIPMAP_LINEAR);
            region->SetTexture(texture.get());
        }
        x += b + gap;
    }

    // Right column: the vector inputs and the video panel.
    y = H - u * 1.35f - u * 1.3f - gap;
    const float vecHeight = u * 3.4f;
    y -= vecHeight - u * 1.3f;
    AddCaption(hud, right, y + vecHeight - u, caption, u, "Position");
    m_position = Keep(new CVec3InputRegion);
    m_position->Init(index(), right + caption, y, column * 0.42f, vecHeight, kTextBox, kUp, kDown, false);
    m_position->SetSteps(osg::Vec3f(1.f, 1.f, 1.f));
    m_position->SetValues(osg::Vec3f(0.f, 0.f, 0.f));
    hud.AddRegion(m_position);

    y -= vecHeight + gap;
    AddCaption(hud, right, y + vecHeight - u, caption, u, "Rotation");
    m_rotation = Keep(new CVecSliderRegion);
    m_rotation->Init(index(), right + caption, y, column - caption, vecHeight, kTextBox, kKnob, kBar, kMinus, kPlus,
                     0.f, 360.f);
    m_rotation->SetValues(osg::Vec3f(90.f, 180.f, 270.f));
    m_rotation->ConsumeClick();
    hud.AddRegion(m_rotation);

    // The video panel fills what is left above the status box, 4:3.
    const float statusTop = u * 1.4f + gap;
    const float plane = std::min(column * 0.62f, (y - gap * 2.f - statusTop) / 0.75f);
    const float frameWidth = plane * 1.06f;
    m_video = Keep(new CVideoRegion);
    y -= plane * 0.75f + gap * 2.f;
    const float videoX = right + caption + (frameWidth - plane) * 0.5f;
    if (!movieFile.empty() && CPathResolver::Exists(movieFile))
    {
        m_video->Init(nullptr, videoX, y, plane, frameWidth, movieFile, kPlane, kFrame);
        m_video->Play();
    }
    else
        m_video->InitWithStream(nullptr, videoX, y, plane, frameWidth, liveStream, kPlane, kFrame);
    m_video->SetIndex(index());
    AddCaption(hud, right, y + plane * 0.75f - u, caption, u, "Video");
    hud.AddRegion(m_video);

    m_status = Keep(new CTextRegion);
    m_status->Init(index(), right, u * 0.4f, column, u, kTextBox, "Last: none");
    hud.AddRegion(m_status);
}

void HudTestPage::Poll(CHudRegionManager& hud, std::vector<std::string>& lines)
{
    char line[256];
    if (m_recorder)
    {
        lines.insert(lines.end(), m_recorder->events.begin(), m_recorder->events.end());
        m_recorder->events.clear();
    }
    auto report = [&](CHudRegion* region, double value) {
        std::snprintf(line, sizeof(line), "clicked %s %.3f", region->GetName().c_str(), value);
        lines.push_back(line);
        std::snprintf(line, sizeof(line), "Last: %s %.2f", region->GetName().c_str(), value);
        if (m_status) m_status->SetText(line);
    };
    for (CButtonRegion* button : m_buttons)
    {
        if (button->ConsumePressed()) lines.push_back("pressed " + button->GetName());
        if (button->ConsumeClick()) report(button, 1.0);
    }
    if (m_count && m_count->ConsumeClick()) report(m_count, m_count->GetValue());
    if (m_step && m_step->ConsumeClick()) report(m_step, m_step->GetValue());
    if (m_slider && m_slider->ConsumeClick()) report(m_slider, m_slider->GetValue());
    if (m_level && m_level->ConsumeClick()) report(m_level, m_level->GetValue());
    if (m_position && m_position->ConsumeClick()) report(m_position, m_position->GetValues().x());
    if (m_rotation && m_rotation->ConsumeClick()) report(m_rotation, m_rotation->GetValues().x());
    const bool shown = hud.IsPageVisible(kPageName);
    if (shown != m_pageShown)
    {
        m_pageShown = shown;
        lines.push_back(std::string("page ") + kPageName + (shown ? " shown" : " hidden"));
    }
}

void HudTestPage::Describe(std::vector<std::string>& lines) const
{
    static const char* const buttonRoles[] = {"start", "ok", "cancel", "up", "down", "icon1", "icon2",
                                              "icon3", "icon4", "icon5", "icon6"};
    for (size_t i = 0; i < m_buttons.size() && i < 11; ++i) describe(buttonRoles[i], m_buttons[i], lines);
    describe("text", m_text, lines);
    describe("count", m_count, lines);
    describe("step", m_step, lines);
    describe("slider", m_slider, lines);
    describe("level", m_level, lines);
    describe("position", m_position, lines);
    describe("rotation", m_rotation, lines);
    describe("video", m_video, lines);
    describe("status", m_status, lines);
    // The parts a test presses or drags.
    describe("count-inc", m_count->GetIncButton(), lines);
    describe("count-dec", m_count->GetDecButton(), lines);
    describe("step-inc", m_step->GetIncButton(), lines);
    describe("slider-bar", m_slider->GetBar(), lines);
    describe("slider-knob", m_slider->GetKnob(), lines);
    describe("slider-inc", m_slider->GetIncButton(), lines);
    describe("slider-dec", m_slider->GetDecButton(), lines);
}
