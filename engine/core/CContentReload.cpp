#include "CContentReload.h"

#include "CContentFindings.h"
#include "CContentReading.h"
#include "CEffectLibrary.h"
#include "CMessageLog.h"
#include "CObjectManager.h"
#include "CPathResolver.h"
#include "cHud.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace
{
void log(const std::string& text)
{
    CMessageLog::Instance()->WriteToLog("VexaBox : Reload : " + text);
}

std::string milliseconds(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%.0f ms", seconds * 1000.0);
    return text;
}

// The effect instances made since the library held `before` of them.
std::vector<CEffect*> instancesSince(size_t before)
{
    const std::vector<CEffect*> all = CEffectLibrary::Instance()->GetInstances();
    return std::vector<CEffect*>(all.begin() + static_cast<long>(std::min(before, all.size())), all.end());
}

std::string withoutDotSlash(const std::string& path)
{
    return path.compare(0, 2, "./") == 0 ? path.substr(2) : path;
}
}

CContentReload::CContentReload(CObjectManager& manager, cHud& hud, const Setup& setup)
    : m_manager(manager), m_hud(hud), m_setup(setup)
{
}

bool CContentReload::Start()
{
    if (!m_watch.IsOpen())
    {
        log("cannot watch the content (inotify is not available); -watch is off");
        return false;
    }
    WatchFolders();
    log("watching " + std::to_string(m_watch.FolderCount()) + " folders of the content set");
    return m_watch.FolderCount() > 0;
}

void CContentReload::WatchFolders()
{
    for (const std::string& folder : {std::string("Data"), m_setup.contentFolder})
    {
        const std::string resolved = CPathResolver::Resolve(folder);
        m_watch.WatchTree(resolved.compare(0, 1, "/") == 0 ? resolved : "./" + resolved);
    }
}

bool CContentReload::Poll()
{
    const std::vector<std::string> changes = m_watch.TakeChanges();
    const osg::Timer* timer = osg::Timer::instance();
    if (!changes.empty())
    {
        if (m_pending.empty()) m_pending = withoutDotSlash(changes.front());
        m_lastChange = timer->tick();
        return false;
    }
    if (m_pending.empty() || timer->delta_s(m_lastChange, timer->tick()) < kQuietSeconds) return false;
    const std::string reason = m_pending;
    m_pending.clear();
    return Reload(reason);
}

bool CContentReload::Reload(const std::string& reason)
{
    const osg::Timer_t start = osg::Timer::instance()->tick();
    CContentReading reading;
    const size_t effectsBefore = CEffectLibrary::Instance()->InstanceCount();
    std::unique_ptr<CObjectManager> fresh(new CObjectManager);
    fresh->SetCameraParamFile(m_manager.GetCameraParamFile());
    CContentFindings::SetSink(&reading);
    fresh->InitNewTricks(0, m_setup.contentFolder, m_setup.videoWidth, m_setup.videoHeight, m_setup.viewWidth,
                         m_setup.viewHeight, nullptr, m_setup.contentList, m_setup.debugFolder);
    CContentFindings::SetSink(nullptr);
    m_lastError = reading.FirstError(".");
    const std::vector<CEffect*> madeEffects = instancesSince(effectsBefore);
    const double seconds = osg::Timer::instance()->delta_s(start, osg::Timer::instance()->tick());
    if (!m_lastError.empty())
    {
        fresh->CleanUp();
        fresh.reset();
        CEffectLibrary::Instance()->ReleaseInstances(madeEffects);
        ++m_refusedReloads;
        log("kept the last good content after a change to " + reason + " (" + milliseconds(seconds) +
            "): " + m_lastError);
        m_hud.ShowTimedMessage(m_lastError, kErrorSeconds);
        return false;
    }
    m_manager.TakeContent(*fresh);
    fresh.reset();  // the old content goes with it, and then its effects
    CEffectLibrary::Instance()->ReleaseInstances(m_contentEffects);
    m_contentEffects = madeEffects;
    WatchFolders();  // folders made since
    ++m_goodReloads;
    log("reloaded the content set after a change to " + reason + " in " +
        milliseconds(osg::Timer::instance()->delta_s(start, osg::Timer::instance()->tick())) + " (" +
        std::to_string(m_manager.GetNumTrackedMarkers()) + " markers, " + std::to_string(m_manager.GetNumObjects()) +
        " objects)");
    return true;
}
