#pragma once
// Live reload of the content set ("-watch"): watches the content folder and
// "Data" (CContentWatch) and, between two frames once the changes have been
// quiet for a moment, loads the content set again into a fresh content
// manager. A load without errors replaces the running content (the video,
// the tracker's threshold and the selection stay, CObjectManager::TakeContent);
// a load with errors is thrown away, the last good content stays and the
// first error is shown on the text HUD for a few seconds. Each reload writes
// one log line: what changed, and how long the reload took.
//
// The engine owns it; it refers to the engine's content manager and HUD,
// which outlive it. Runs on the engine's thread.

#include "CContentWatch.h"

#include <osg/Timer>

#include <string>
#include <vector>

class CEffect;
class CObjectManager;
class cHud;

class CContentReload
{
public:
    /// What a load of the content set needs, as the engine's start-up used it.
    struct Setup
    {
        std::string contentFolder = "models";
        std::string contentList = "Data/dataList.dat";
        bool debugFolder = false;
        int videoWidth = 640, videoHeight = 480;  // pixels
        int viewWidth = 800, viewHeight = 600;    // pixels
    };

    /// Seconds the folders must be quiet after a change before the reload.
    static constexpr double kQuietSeconds = 0.15;
    /// Seconds the error of a broken edit stays on the HUD.
    static constexpr float kErrorSeconds = 5.f;

    CContentReload(CObjectManager& manager, cHud& hud, const Setup& setup);

    /// Starts watching; false (with a log line) when nothing can be watched.
    bool Start();
    /// Once per frame, before the tracker runs: reloads when due. True when
    /// the content was replaced in this call.
    bool Poll();
    /// Loads the content set now; true when it replaced the running content.
    bool Reload(const std::string& reason);

    int GoodReloads() const { return m_goodReloads; }
    int RefusedReloads() const { return m_refusedReloads; }
    const std::string& LastError() const { return m_lastError; }

private:
    void WatchFolders();

    CObjectManager& m_manager;
    cHud& m_hud;
    Setup m_setup;
    CContentWatch m_watch;
    std::string m_pending;          // the first changed file since the last reload
    osg::Timer_t m_lastChange = 0;  // when the folders last changed
    int m_goodReloads = 0, m_refusedReloads = 0;
    std::string m_lastError;
    // The effect instances of the content a reload brought in, given back to
    // the effect library when a later reload replaces that content. (Those
    // of the content loaded at start-up stay with the library.)
    std::vector<CEffect*> m_contentEffects;
};
