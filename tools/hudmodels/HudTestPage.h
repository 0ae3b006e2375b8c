#pragma once
// A HUD page holding one of every widget, laid out for any screen size: the
// test page that shows the HUD's models, labels and widgets at work. The
// page owns its widgets; they are registered with the region manager, which
// keeps pointers to them, so the page must live as long as the HUD layer.

#include <osg/Vec4f>

#include <memory>
#include <string>
#include <vector>

class CButtonRegion;
class CHudRegion;
class CHudRegionManager;
class CNumRegion;
class CSliderRegion;
class CSliderValueRegion;
class CTextRegion;
class CVec3InputRegion;
class CVecSliderRegion;
class CVideoRegion;
class CVideoStream;

class HudTestPage
{
public:
    static const char* const kPageName;  // "WIDGETS"

    HudTestPage();
    ~HudTestPage();

    /// Adds the page "WIDGETS" to `hud` (whose layer exists) and fills it for
    /// the layer's size. The video panel plays `movieFile` when it can be
    /// read, or else shows `liveStream` (may be null).
    void Build(CHudRegionManager& hud, const std::string& movieFile, CVideoStream* liveStream);
    /// What changed since the last call, one line each: "clicked <name>
    /// <value>", "pressed <name>", "event <type> <target>" for every event
    /// the HUD was handed, and "page <name> shown|hidden".
    void Poll(CHudRegionManager& hud, std::vector<std::string>& lines);
    /// "region <name> <x> <y> <width> <height>" in HUD pixels for every
    /// widget and part a test may click.
    void Describe(std::vector<std::string>& lines) const;

private:
    template <class T> T* Keep(T* region);
    void AddCaption(CHudRegionManager& hud, float x, float y, float w, float h, const std::string& text);

    class EventRecorder;

    std::vector<std::unique_ptr<CHudRegion>> m_regions;
    EventRecorder* m_recorder = nullptr;
    std::vector<CButtonRegion*> m_buttons;
    CNumRegion* m_count = nullptr;
    CNumRegion* m_step = nullptr;
    CSliderRegion* m_slider = nullptr;
    CSliderValueRegion* m_level = nullptr;
    CVec3InputRegion* m_position = nullptr;
    CVecSliderRegion* m_rotation = nullptr;
    CVideoRegion* m_video = nullptr;
    CTextRegion* m_text = nullptr;
    CTextRegion* m_status = nullptr;
    bool m_pageShown = true;
};
