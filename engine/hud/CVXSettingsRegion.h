#pragma once
// The settings panel ("VXSETTINGS_<index>"): a settings button ("OPEN")
// that opens a row of controls: the automatic threshold scan ("SCAN",
// polled by the engine), the threshold value tab ("TVTAB") with its number
// field ("TVAL", the tracker's threshold 0..255), the threshold view
// ("THRESH") and the marker hider ("HIDER"), each with an off and an on
// picture, the camera's settings ("VSET") and the next camera ("VCHANGE").
//
// The parts are owned by the panel; the content interface and the video
// manager belong to the engine and outlive it.

#include "CHudRegion.h"

#include <osg/Texture2D>
#include <osg/ref_ptr>

#include <memory>
#include <string>
#include <vector>

class CButtonRegion;
class CHudContent;
class CHudSkin;
class CNumRegion;
class CVideo;
class MenuFadeCallback;

class CVXSettingsRegion : public CHudRegion
{
public:
    /// The icon pictures, in the order the engine gives them (the HUD's own
    /// icons unless given).
    struct Icons
    {
        std::string videoSource = "models/hud/icons/vSource.png";
        std::string videoSettings = "models/hud/icons/vSettings.png";
        std::string threshTab = "models/hud/icons/threshTab.png";
        std::string threshOff = "models/hud/icons/threshOff.png";
        std::string threshOn = "models/hud/icons/threshOn.png";
        std::string scan = "models/hud/icons/scan.png";
        std::string hiderOff = "models/hud/icons/hiderOff.png";
        std::string hiderOn = "models/hud/icons/hiderOn.png";
        std::string settings = "models/hud/icons/settings.png";
    };

    CVXSettingsRegion();
    ~CVXSettingsRegion() override;

    /// The settings button (side `buttonSize`) at (x, y) and the controls in
    /// a row to its right (`rotate`: in a column above it), closed.
    osg::MatrixTransform* Init(int index, const Icons& icons, const std::string& buttonModel, float buttonSize,
                               float x, float y, const CHudSkin& skin, CHudContent* content, CVideo* video,
                               bool rotate);
    /// Acts on presses on its buttons; always 0.
    int HandleEvent(const std::string& message, const CGUIEvent& event) override;

    bool IsOpen() const { return m_open; }
    bool IsThresholdFieldShown() const { return m_thresholdShown; }
    bool IsHiderShown() const { return m_hiderShown; }
    bool IsThresholdViewOn() const { return m_thresholdView; }
    /// The parts by suffix: "OPEN", "SCAN", "TVTAB", "THRESH", "HIDER", "VSET", "VCHANGE".
    CButtonRegion* GetButton(const std::string& suffix) const;
    CNumRegion* GetThresholdField() const { return m_value.get(); }
    /// The buttons in their order on the panel.
    std::vector<CButtonRegion*> GetButtons() const;
    osg::Texture2D* GetButtonTexture(const std::string& suffix) const;

protected:
    void OnNamed() override;

private:
    struct Part
    {
        std::string suffix;
        std::unique_ptr<CButtonRegion> button;
        osg::ref_ptr<osg::Texture2D> off, on;  // the two pictures of a two-state button
        osg::ref_ptr<osg::Texture2D> shown;
    };
    Part* Find(const std::string& suffix);
    void Swap(Part& part, bool on);
    std::vector<CHudRegion*> Controls() const;

    std::vector<Part> m_parts;
    std::unique_ptr<CNumRegion> m_value;
    CHudContent* m_content = nullptr;
    CVideo* m_video = nullptr;
    osg::ref_ptr<MenuFadeCallback> m_fade;
    bool m_open = false, m_thresholdShown = false, m_hiderShown = false, m_thresholdView = false;
};
