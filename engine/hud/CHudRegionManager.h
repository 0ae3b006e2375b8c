#pragma once
// The process-wide manager of the 3D HUD layer: an orthographic camera over
// the screen in pixels holding named pages of interactive regions.

#include <osg/Camera>
#include <osg/Group>
#include <osg/ref_ptr>

#include "CGUIEvent.h"

#include <string>

class CHudRegionManager
{
public:
    static CHudRegionManager* Instance();

    /// Creates the HUD camera (0..width × 0..height, drawn after the scene,
    /// clearing depth only) with a first page of the given name.
    osg::Camera* CreateHudLayer(const std::string& pageName, int width, int height);
    /// Appends an empty page group named `name` under the root.
    osg::Group* AddPage(const std::string& name);
    osg::Camera* GetHudLayer() { return m_camera.get(); }
    /// Releases every registered region (at engine clean-up).
    void ReleaseAll();
    /// Hands the event to every registered region; true when a region's
    /// descendant took it. Without regions nothing takes it.
    bool Dispatch(const std::string& message, const CGUIEvent& event);
    /// The last event dispatched and how many there were (diagnostics).
    const CGUIEvent& LastEvent() const { return m_lastEvent; }
    unsigned int DispatchCount() const { return m_dispatchCount; }

private:
    CHudRegionManager() = default;

    osg::ref_ptr<osg::Camera> m_camera;
    osg::ref_ptr<osg::Group> m_root;
    int m_width = 0, m_height = 0;  // pixels
    CGUIEvent m_lastEvent;
    unsigned int m_dispatchCount = 0;
};
