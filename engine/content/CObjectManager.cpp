#include "CObjectManager.h"

#include "CContentObject.h"
#include "CMessageLog.h"
#include "COsgSettings.h"
#include "CPathResolver.h"
#include "CTagBlock.h"
#include "CVideoStream.h"
#include "CLoadProgress.h"

#include <osg/LightModel>

#include <dirent.h>

namespace
{
void log(const std::string& text)
{
    CMessageLog::Instance()->WriteToLog(text);
}

struct MarkerDefinition
{
    bool multi = false;
    std::string file;
    double size = 80.0;
    double centre[2] = {0.0, 0.0};
    std::string name = "NONE", group = "NONE";
    bool generateGeometry = false, useHider = false;
    int hiderType = 0;
    float finScale = 1.f, hiderScale = 1.f;
    std::string alphaMap = "Data/markerMaps/defaultAlpha.bmp";
    int autoSwap = 0;
    int fileLine = -1;  // the reader's line of <FILE>, where a refused pattern is reported
};

void readMarkerLine(COsgSettings& r, const std::string& tag, MarkerDefinition& d)
{
    if (tag == "<TYPE>")
    {
        const std::string kind = r.NextString();
        if (kind == "SINGLE") d.multi = false;
        else if (kind == "MULTI") d.multi = true;
    }
    else if (tag == "<FILE>")
    {
        d.file = CPathResolver::Resolve(r.NextString());
        d.fileLine = r.CurrentLine();
    }
    else if (tag == "<SIZE>") d.size = r.NextFloat();
    else if (tag == "<CENTER>")
    {
        d.centre[0] = r.NextFloat();
        d.centre[1] = r.NextFloat();
    }
    else if (tag == "<NAME>") d.name = r.NextString();
    else if (tag == "<GROUP>") d.group = r.NextString();
    else if (tag == "<GEN_GEOM>") d.generateGeometry = r.NextInt() != 0;
    else if (tag == "<USE_HIDER>") d.useHider = r.NextInt() != 0;
    else if (tag == "<HIDER_TYPE>") d.hiderType = r.NextInt();
    else if (tag == "<FIN_SCALE>") d.finScale = static_cast<float>(r.NextFloat());
    else if (tag == "<HIDER_SCALE>") d.hiderScale = static_cast<float>(r.NextFloat());
    else if (tag == "<HIDER_ALPHA_MAP>") d.alphaMap = CPathResolver::Normalise(r.NextString());
    else if (tag == "<AUTO_SWAP_MODE>") d.autoSwap = r.NextString() == "ON_NEW" ? 1 : 0;
}

// Top-level blocks of a data file: a block that is not closed ends where the
// next one begins.
const std::vector<std::string> kTopLevelBlocks = {"<VEXA_MARKER>", "<ENTITY>", "<OBJECT_GROUP>"};

// Steps to the next line of a top-level block; false at its end. A block
// without its closing line is reported, the reader left on its last line.
bool nextInBlock(COsgSettings& reader, const std::string& opening)
{
    const CTagBlock::Step step = CTagBlock::Next(reader, CTagBlock::ClosingTag(opening), kTopLevelBlocks);
    if (step == CTagBlock::UNCLOSED)
        CTagBlock::Print("Warning! " + opening + " block is not closed by " + CTagBlock::ClosingTag(opening) +
                         "; it ends here");
    return step == CTagBlock::LINE;
}

bool hasDatExtension(const std::string& name)
{
    const size_t dot = name.find_last_of('.');
    return dot != std::string::npos && name.substr(dot + 1) == "dat";
}
}

CObjectManager::CObjectManager() : m_tracker(new SquareTracker), m_sceneNode(new osg::Group) {}

CObjectManager::~CObjectManager()
{
    for (CTrackedMarker* marker : m_markers) delete marker;
    for (ObjectGroup* group : m_groups) delete group;
    for (CContentObject* object : m_objects) delete object;
}

bool CObjectManager::InitTracker(int videoWidth, int videoHeight)
{
    m_tracker = new SquareTracker;
    m_tracker->init(videoWidth, videoHeight, "MANUAL_LOAD", CPathResolver::Resolve(m_cameraParamFile));
    m_videoWidth = static_cast<float>(videoWidth);
    m_videoHeight = static_cast<float>(videoHeight);
    return true;
}

int CObjectManager::InitNewTricks(int, const std::string& folder, int videoWidth, int videoHeight, int viewWidth,
                                  int viewHeight, CLoadProgress* splash, const std::string& contentFile, bool debugFolder)
{
    m_viewWidth = viewWidth;
    m_viewHeight = viewHeight;
    log("ObjectManager::Init()...");
    if (!InitTracker(videoWidth, videoHeight)) return 0;

    m_objectStore = new osg::Group;
    m_objectStore->setNodeMask(0);
    m_sceneNode = new osg::Group;
    m_sceneNode->getOrCreateStateSet()->setRenderBinDetails(2, "RenderBin");
    m_sceneNode->addChild(m_objectStore.get());

    const std::vector<std::string> files = GetFileList(folder, contentFile, debugFolder);
    if (splash && !files.empty()) splash->init(static_cast<int>(files.size()));
    for (size_t i = 0; i < files.size(); ++i)
    {
        if (hasDatExtension(files[i])) LoadDataFile(debugFolder ? folder + "/" + files[i] : files[i]);
        if (splash) splash->step(static_cast<int>(i), files[i]);
    }

    osg::StateSet* state = m_sceneNode->getOrCreateStateSet();
    state->setMode(GL_NORMALIZE, osg::StateAttribute::ON);
    state->setMode(GL_LIGHTING, osg::StateAttribute::ON);
    state->setAttribute(new osg::LightModel);
    HookUpByName();
    HookUpByGroup();
    log("ObjectManager: Init: Complete");
    return 1;
}

std::vector<std::string> CObjectManager::GetFileList(const std::string& folder, const std::string& contentFile,
                                                     bool debugFolder)
{
    std::vector<std::string> files;
    if (debugFolder)
    {
        log("Debug mode, loading content of directory" + folder);
        if (DIR* dir = ::opendir(CPathResolver::Resolve(folder).c_str()))
        {
            while (dirent* entry = ::readdir(dir)) files.push_back(entry->d_name);
            ::closedir(dir);
        }
        return files;
    }
    log("Load VexaContent file " + contentFile);
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
            log("Found assest file " + line[1]);
            files.push_back(CPathResolver::Normalise(line[1]));
        }
    }
    return files;
}

void CObjectManager::LoadDataFile(const std::string& path)
{
    COsgSettings file;
    if (!file.Load(CPathResolver::Resolve(path))) return;
    // Markers first, then entities, then groups, whatever their order in the file.
    for (size_t line : file.LinesStartingWith("<VEXA_MARKER>"))
    {
        file.GoToLine(line);
        LoadMarker(&file);
    }
    LoadEntities(file);
    LoadGroups(file);
}

void CObjectManager::LoadMarker(COsgSettings* reader)
{
    MarkerDefinition d;
    log("ObjectManager: Init: Loading Marker");
    while (nextInBlock(*reader, "<VEXA_MARKER>")) readMarkerLine(*reader, reader->NextString(), d);
    int index = -1;
    if (d.fileLine >= 0) reader->GoToLine(static_cast<size_t>(d.fileLine));
    if (!d.multi)
    {
        log("ObjectManager: Init: Marker type Single");
        if (!d.file.empty()) index = m_tracker->addSingleMarker(d.file, d.size, d.centre);
    }
    else
    {
        log("ObjectManager: Init: Marke type Multi");
        if (!d.file.empty()) index = m_tracker->addMultiMarker(d.file);
    }
    if (index < 0)
    {
        log("ObjectManager: Init: Failed to add the marker");
        return;
    }
    CTrackedMarker* marker = new CTrackedMarker;
    const int id = static_cast<int>(m_markers.size());
    marker->Setup(m_tracker->getMarker(id), nullptr, d.name, d.group, id);
    marker->SetupGeometry(d.generateGeometry, d.useHider, d.hiderType, static_cast<int>(m_videoWidth),
                          static_cast<int>(m_videoHeight), d.alphaMap);
    marker->SetFinScale(d.finScale);
    marker->SetHiderScale(d.hiderScale);
    marker->SetAutoSwapMode(d.autoSwap);
    m_sceneNode->addChild(marker->GetTransform());
    m_sceneNode->addChild(marker->GetAuxGroup());
    m_markers.push_back(marker);
    log("ObjectManager: Init: Marker added");
}

void CObjectManager::LoadEntities(COsgSettings& file)
{
    for (size_t line : file.LinesStartingWith("<ENTITY>"))
    {
        file.GoToLine(line);
        CContentObject* object = new CContentObject;
        object->Load(static_cast<int>(m_objects.size()), file);
        m_objects.push_back(object);
        if (m_objectStore.valid()) m_objectStore->addChild(object->GetRootNode());
    }
}

void CObjectManager::LoadGroups(COsgSettings& file)
{
    for (size_t line : file.LinesStartingWith("<OBJECT_GROUP>"))
    {
        file.GoToLine(line);
        ObjectGroup* group = new ObjectGroup;
        while (nextInBlock(file, "<OBJECT_GROUP>"))
        {
            const std::string tag = file.NextString();
            if (tag == "<NAME>") group->name = file.NextString();
            else if (tag == "<ICON>") group->icon = CPathResolver::Normalise(file.NextString());
        }
        if (group->name != "NONE" && !group->name.empty())
            m_groups.push_back(group);
        else
            delete group;
    }
}

CTrackedMarker* CObjectManager::GetTrackedMarker(int i) const
{
    return i >= 0 && i < GetNumTrackedMarkers() ? m_markers[static_cast<size_t>(i)] : nullptr;
}

CContentObject* CObjectManager::GetObject(int i) const
{
    return i >= 0 && i < GetNumObjects() ? m_objects[static_cast<size_t>(i)] : nullptr;
}

void CObjectManager::CleanUp()
{
    for (CContentObject* object : m_objects) object->CleanUp();
}
