#pragma once
// The process-wide manager of the 3D HUD layer: an orthographic camera over
// the screen in pixels holding the regions, grouped in named pages that are
// shown, hidden and faded as a whole. Input reaches the regions only through
// Dispatch: the picking side names the node under the pointer, and every
// registered region decides by name whether the event is its own.
//
// Ownership: the manager owns the camera, the root group, the page groups
// and the fade callback. It does not own regions: it keeps pointers to the
// regions added to it, whose creator keeps them alive as long as the HUD
// (the engine: until the process ends). A new CreateHudLayer starts an empty
// layer and forgets the regions of the one before.
//
// Pages: regions added while a page is current go onto that page, the others
// straight under the root ("top-level" regions). No page is current until
// SelectPage names one.

#include <osg/Camera>
#include <osg/Group>
#include <osg/ref_ptr>

#include "CGUIEvent.h"
#include "RegionFadeCallback.h"

#include <string>
#include <vector>

class CHudRegion;
class CHudSkin;
class COsgSettings;
class CTextRegion;

class CHudRegionManager
{
public:
    static CHudRegionManager* Instance();

    /// Creates the HUD camera (0..width × 0..height, drawn after the scene,
    /// clearing depth only, the fade callback as its update callback) with
    /// the root group and a first page of the given name.
    osg::Camera* CreateHudLayer(const std::string& pageName, int width, int height);
    osg::Camera* GetHudLayer() { return m_camera.get(); }
    osg::Group* GetRoot() { return m_root.get(); }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }

    // ---- pages ----
    /// Appends an empty, visible page group named `name` under the root.
    osg::Group* AddPage(const std::string& name);
    /// Index of the page, or -1.
    int FindPage(const std::string& name) const;
    /// Makes the page current; a name no page has makes no page current.
    void SelectPage(const std::string& name);
    /// The current page's name, or "MAIN" when no page is current.
    std::string GetCurrentPageName() const;
    int GetCurrentPage() const { return m_currentPage; }
    size_t GetPageCount() const { return m_pages.size(); }
    osg::Group* GetPage(int index) const;
    const std::vector<CHudRegion*>& GetPageRegions(int index) const;
    bool IsPageVisible(const std::string& name) const;
    bool IsCurrentPageVisible() const;
    void SetPageVisible(const std::string& name, bool on);
    void SetPageVisible(int index, bool on);
    /// Hides every page, then shows the one named; an unknown page changes nothing.
    void ShowOnlyPage(const std::string& name);
    void ShowOnlyPage(int index);
    /// Fades the current page's regions and node from `from` to `to`.
    void FadeCurrentPage(double from, double to, double duration);
    /// SetTransparent on every region of the current page.
    void SetCurrentPageTransparent(bool on, double alpha);
    RegionFadeCallback* GetFadeCallback() { return m_fade.get(); }

    // ---- regions and events ----
    /// Registers the region and places it on the current page (or under the
    /// root); it and its descendants learn the HUD size. Null is refused.
    CHudRegion* AddRegion(CHudRegion* region);
    const std::vector<CHudRegion*>& GetRegions() const { return m_regions; }
    const std::vector<CHudRegion*>& GetTopLevelRegions() const { return m_topLevel; }
    /// A text region (index: the number of registered regions), added.
    /// `modelFile` may be empty for a label without a box.
    CTextRegion* CreateTextRegion(float x, float y, float width, float height, const std::string& text,
                                  float textSize = 0.f, const std::string& modelFile = std::string());
    /// Arms a page switch: the next press on empty space ("NONE") selects
    /// `pageName`, shows only it and fades it from `from` to `to`.
    void RequestPageSwitch(const std::string& pageName, double from, double to, double duration, bool repeat);
    bool IsPageSwitchArmed() const { return m_switchArmed; }
    /// Disarms a page switch that was requested.
    void CancelPageSwitch() { m_switchArmed = false; }
    const std::string& GetPendingPageName() const { return m_pendingPage; }
    /// Whether a page switch re-armed by Dispatch repeats again.
    void SetRepeatDefault(bool on) { m_repeatDefault = on; }
    bool GetRepeatDefault() const { return m_repeatDefault; }
    /// Hands the event to every registered region; true when it names a
    /// region below a registered one (the registered region itself does not count).
    bool Dispatch(const std::string& message, const CGUIEvent& event);
    /// Release on every registered region (at engine clean-up).
    void ReleaseAll();
    /// Reads a <SKIN> block (the cursor on its first line) into `skin`.
    bool ReadSkin(COsgSettings& file, CHudSkin& skin) const;

    /// The last event dispatched and how many there were (diagnostics).
    const CGUIEvent& LastEvent() const { return m_lastEvent; }
    unsigned int DispatchCount() const { return m_dispatchCount; }

private:
    CHudRegionManager() = default;
    void ArmedSwitch();

    osg::ref_ptr<osg::Camera> m_camera;
    osg::ref_ptr<osg::Group> m_root;
    osg::ref_ptr<RegionFadeCallback> m_fade;
    int m_width = 0, m_height = 0;  // pixels
    std::vector<CHudRegion*> m_topLevel;
    std::vector<osg::ref_ptr<osg::Group>> m_pages;
    std::vector<std::string> m_pageNames;
    std::vector<std::vector<CHudRegion*>> m_pageRegions;
    int m_currentPage = -1;
    std::vector<CHudRegion*> m_regions;
    bool m_switchArmed = false;
    std::string m_pendingPage;
    double m_pendingFrom = 0.0, m_pendingTo = 0.0, m_pendingDuration = 0.0;
    bool m_pendingRepeat = false;
    bool m_repeatDefault = false;
    CGUIEvent m_lastEvent;
    unsigned int m_dispatchCount = 0;
};
