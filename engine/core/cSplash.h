#pragma once
// The splash window: a borderless window of its own that shows the logo and
// a progress bar while the content set loads. Each step draws one frame
// synchronously on the calling thread; kill closes the window.

#include "CLoadProgress.h"

#include <osg/Geode>
#include <osg/Matrixd>
#include <osg/MatrixTransform>
#include <osg/ref_ptr>
#include <osg/Timer>
#include <osgUtil/SceneView>

#include <string>

class CRenderSurface;

class cSplash : public CLoadProgress
{
public:
    cSplash();
    ~cSplash() override;

    /// Opens the window for `steps` loading steps (steps > 0).
    void init(int steps) override;
    /// Fills the bar to (index + 1) / steps and draws one frame. The text is
    /// not shown.
    void step(int index, const std::string& text) override;
    /// Closes the window.
    void kill();
    /// The progress-bar quad: `height` × `width` scene units.
    osg::Geode* CreateTexQuad(float height, float width);

    bool IsOpen() const;
    /// Without a window (off-screen runs) the splash shows nothing.
    void SetWindowless(bool windowless) { m_windowless = windowless; }
    /// Horizontal scale of the progress bar (0..1).
    float GetProgress() const { return m_progress; }

private:
    osg::ref_ptr<CRenderSurface> m_renderSurface;
    osg::ref_ptr<osgUtil::SceneView> m_sceneView;
    osg::Matrixd m_viewMatrix;
    osg::Timer_t m_startTick = 0;
    int m_frameNumber = 0;
    float m_stepSize = 1.f;
    float m_progress = 0.f;
    bool m_windowless = false;
    osg::ref_ptr<osg::MatrixTransform> m_progressTransform;
};
