#include "CObjectManager.h"

#include "CMessageLog.h"
#include "COsgSettings.h"
#include "CPathResolver.h"
#include "CVideoStream.h"
#include "cSplash.h"

#include <osg/LightModel>

#include <dirent.h>

CObjectManager::CObjectManager() : m_tracker(new SquareTracker), m_sceneNode(new osg::Group) {}

void CObjectManager::SetPatternDetectionMode(int mode)
{
    if (m_tracker.valid()) m_tracker->setPatternDetectionMode(mode);
}

int CObjectManager::GetPatternDetectionMode() const
{
    return m_tracker.valid() ? m_tracker->getPatternDetectionMode() : -1;
}

CObjectManager::~CObjectManager() = default;

bool CObjectManager::InitTracker(int videoWidth, int videoHeight)
{
    m_tracker = new SquareTracker;
    m_tracker->init(videoWidth, videoHeight, "MANUAL_LOAD", CPathResolver::Resolve(m_cameraParamFile));
    m_videoWidth = static_cast<float>(videoWidth);
    m_videoHeight = static_cast<float>(videoHeight);
    return true;
}

int CObjectManager::InitNewTricks(int, const std::string& folder, int videoWidth, int videoHeight,
                                  int viewWidth, int viewHeight, cSplash* splash,
                                  const std::string& contentFile, bool debugFolder)
{
    m_viewWidth = viewWidth;
    m_viewHeight = viewHeight;
    CMessageLog::Instance()->WriteToLog("ObjectManager::Init()...");
    if (!InitTracker(videoWidth, videoHeight)) return 0;

    m_objectStore = new osg::Group;
    m_objectStore->setNodeMask(0);
    m_sceneNode = new osg::Group;
    m_sceneNode->getOrCreateStateSet()->setRenderBinDetails(2, "RenderBin");
    m_sceneNode->addChild(m_objectStore.get());

    const std::vector<std::string> files = GetFileList(folder, contentFile, debugFolder);
    if (splash && !files.empty()) splash->init(static_cast<int>(files.size()));
    for (size_t i = 0; i < files.size(); ++i)
        if (splash) splash->step(static_cast<int>(i), files[i]);

    osg::StateSet* state = m_sceneNode->getOrCreateStateSet();
    state->setMode(GL_NORMALIZE, osg::StateAttribute::ON);
    state->setMode(GL_LIGHTING, osg::StateAttribute::ON);
    state->setAttribute(new osg::LightModel);
    CMessageLog::Instance()->WriteToLog("ObjectManager: Init: Complete");
    return 1;
}

std::vector<std::string> CObjectManager::GetFileList(const std::string& folder, const std::string& contentFile,
                                                     bool debugFolder)
{
    std::vector<std::string> files;
    if (debugFolder)
    {
        CMessageLog::Instance()->WriteToLog("Debug mode, loading content of directory" + folder);
        if (DIR* dir = ::opendir(CPathResolver::Resolve(folder).c_str()))
        {
            while (dirent* entry = ::readdir(dir)) files.push_back(entry->d_name);
            ::closedir(dir);
        }
        return files;
    }
    CMessageLog::Instance()->WriteToLog("Load VexaContent file " + contentFile);
    COsgSettings list;
    if (!list.Load(CPathResolver::Resolve(contentFile))) return files;
    // Walk by index: a <DAT> block that is never closed ends at the last line
    // instead of sending the search back to the top of the file.
    const size_t count = list.LineCount();
    for (size_t i = 0; i < count; ++i)
    {
        const std::vector<std::string>& open = list.LineTokens(i);
        if (open.empty() || open[0] != "<DAT>") continue;
        for (++i; i < count; ++i)
        {
            const std::vector<std::string>& line = list.LineTokens(i);
            if (!line.empty() && line[0] == "</DAT>") break;
            if (line.size() < 2 || line[0] != "<ASSET_FILE>") continue;
            CMessageLog::Instance()->WriteToLog("Found assest file " + line[1]);
            files.push_back(line[1]);
        }
    }
    return files;
}

void CObjectManager::BuildHiderOverLay(int, int, osg::Group*)
{
}

void CObjectManager::UpdateTracker(CVideoStream* stream)
{
    m_currentStream = stream;
    if (!m_tracker.valid()) return;
    m_tracker->setImageSource(stream);
    m_tracker->update();
}

void CObjectManager::UpdateTracker()
{
    if (m_tracker.valid()) m_tracker->update();
}

void CObjectManager::Update(float, float)
{
}

void CObjectManager::CleanUp()
{
}
