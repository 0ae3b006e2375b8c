#include "CVXSettingsRegion.h"

#include "CButtonRegion.h"
#include "CHudContent.h"
#include "CHudSkin.h"
#include "CNumRegion.h"
#include "CVideo.h"
#include "MenuFadeCallback.h"

#include <algorithm>

namespace
{
const double kShown = 0.9, kFade = 0.3;  // alpha, seconds
}

CVXSettingsRegion::CVXSettingsRegion()
{
    m_baseName = "VXSETTINGS";
}

CVXSettingsRegion::~CVXSettingsRegion() = default;

osg::MatrixTransform* CVXSettingsRegion::Init(int index, const Icons& icons, const std::string& buttonModel,
                                              float size, float x, float y, const CHudSkin& skin,
                                              CHudContent* content, CVideo* video, bool rotate)
{
    m_content = content;
    m_video = video;
    osg::MatrixTransform* transform = CreateWithoutModel(index, x, y);
    m_fade = new MenuFadeCallback;
    transform->setUpdateCallback(m_fade.get());
    const struct
    {
        const char* suffix;
        const std::string* off;
        const std::string* on;
    } rows[] = {{"OPEN", &icons.settings, nullptr},      {"SCAN", &icons.scan, nullptr},
                {"TVTAB", &icons.threshTab, nullptr},    {"THRESH", &icons.threshOff, &icons.threshOn},
                {"HIDER", &icons.hiderOff, &icons.hiderOn}, {"VSET", &icons.videoSettings, nullptr},
                {"VCHANGE", &icons.videoSource, nullptr}};
    const float step = size * 1.1f;
    float at = 0.f;
    for (const auto& row : rows)
    {
        Part part;
        part.suffix = row.suffix;
        part.button = std::make_unique<CButtonRegion>();
        part.button->Init(0, rotate ? 0.f : at, rotate ? at : 0.f, size, size, buttonModel);
        part.off = ReadTexture(*row.off);
        if (row.on) part.on = ReadTexture(*row.on);
        if (part.off.valid()) part.button->SetTexture(part.off.get());
        part.shown = part.off;
        AddChild(part.button.get());
        m_parts.push_back(std::move(part));
        at += step;
    }
    // The threshold field sits above (or beside) its tab.
    const osg::Vec2f tab = Find("TVTAB")->button->GetPosition();
    m_value = std::make_unique<CNumRegion>();
    m_value->Init(0, rotate ? tab.x() + step : tab.x(), rotate ? tab.y() : tab.y() - step, size * 2.f, size,
                  "models/hud/labelRegion.ive",
                  "models/hud/plus/plus.ive", "models/hud/minus/minus.ive", true);
    m_value->SetRange(0, 255);
    AddChild(m_value.get());
    OnNamed();
    for (CHudRegion* control : Controls()) control->SetVisible(false);
    m_value->SetVisible(false);
    return transform;
}

void CVXSettingsRegion::OnNamed()
{
    const std::string name = GetName();
    for (Part& part : m_parts) part.button->SetName(name + part.suffix);
    if (m_value) m_value->SetName(name + "TVAL");
}

CVXSettingsRegion::Part* CVXSettingsRegion::Find(const std::string& suffix)
{
    for (Part& part : m_parts)
        if (part.suffix == suffix) return &part;
    return nullptr;
}

CButtonRegion* CVXSettingsRegion::GetButton(const std::string& suffix) const
{
    for (const Part& part : m_parts)
        if (part.suffix == suffix) return part.button.get();
    return nullptr;
}

osg::Texture2D* CVXSettingsRegion::GetButtonTexture(const std::string& suffix) const
{
    for (const Part& part : m_parts)
        if (part.suffix == suffix) return part.shown.get();
    return nullptr;
}

std::vector<CButtonRegion*> CVXSettingsRegion::GetButtons() const
{
    std::vector<CButtonRegion*> buttons;
    for (const Part& part : m_parts) buttons.push_back(part.button.get());
    return buttons;
}

std::vector<CHudRegion*> CVXSettingsRegion::Controls() const
{
    std::vector<CHudRegion*> controls;
    for (const Part& part : m_parts)
        if (part.suffix != "OPEN") controls.push_back(part.button.get());
    if (m_thresholdShown) controls.push_back(m_value.get());
    return controls;
}

void CVXSettingsRegion::Swap(Part& part, bool on)
{
    part.shown = on ? part.on : part.off;
    if (part.shown.valid()) part.button->SetTexture(part.shown.get());
}

int CVXSettingsRegion::HandleEvent(const std::string& message, const CGUIEvent& event)
{
    if (CHudRegion::HandleEvent(message, event) == NotMine) return 0;
    if (Find("OPEN")->button->ConsumePressed())
    {
        m_open = !m_open;
        m_fade->StartFade(Controls(), m_open ? 0.0 : kShown, m_open ? kShown : 0.0, kFade);
    }
    if (Find("HIDER")->button->ConsumePressed())
    {
        m_hiderShown = !m_hiderShown;
        Swap(*Find("HIDER"), m_hiderShown);
        if (m_content) m_content->ToggleHiderVisible();
    }
    if (Find("THRESH")->button->ConsumePressed())
    {
        m_thresholdView = !m_thresholdView;
        Swap(*Find("THRESH"), m_thresholdView);
        if (m_video) m_video->ShowThreshold(m_thresholdView);
    }
    if (Find("TVTAB")->button->ConsumePressed())
    {
        m_thresholdShown = !m_thresholdShown;
        if (m_content) m_value->SetValue(static_cast<float>(m_content->GetThreshold()));
        m_fade->StartFade({m_value.get()}, m_thresholdShown ? 0.0 : kShown, m_thresholdShown ? kShown : 0.0, kFade);
    }
    if (m_value->ConsumeClick() && m_content) m_content->SetThreshold(m_value->GetIntValue());
    if (Find("VCHANGE")->button->ConsumePressed() && m_video) m_video->OpenNextCam();
    if (Find("VSET")->button->ConsumePressed() && m_video) m_video->SetPropsState(true);
    return 0;
}
