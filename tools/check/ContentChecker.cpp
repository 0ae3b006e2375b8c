#include "ContentChecker.h"

#include "CContentObject.h"
#include "CContentReading.h"
#include "CEffectLibrary.h"
#include "CLightRig.h"
#include "CObjectManager.h"
#include "COsgSettings.h"
#include "CPathResolver.h"
#include "CSoundManager.h"
#include "ContentFileKinds.h"
#include "EngineSilence.h"
#include "KnownTags.h"

#include "vxt/PatternSet.h"

#include <osg/Notify>
#include <osgDB/FileUtils>
#include <osgDB/Registry>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstdio>
#include <filesystem>

namespace
{
const char* kContentList = "Data/dataList.dat";
const char* kContentFolder = "models";

// The model reader's opened files count as named by the content.
class OpenedFiles : public osgDB::Registry::ReadFileCallback
{
public:
    explicit OpenedFiles(CContentReading& reading) : m_reading(reading) {}
    osgDB::ReaderWriter::ReadResult readNode(const std::string& file, const osgDB::Options* options) override
    {
        note(file);
        return ReadFileCallback::readNode(file, options);
    }
    osgDB::ReaderWriter::ReadResult readImage(const std::string& file, const osgDB::Options* options) override
    {
        note(file);
        return ReadFileCallback::readImage(file, options);
    }

private:
    void note(const std::string& file)
    {
        const std::string found = osgDB::findDataFile(file);
        m_reading.NoteOpened(found.empty() ? file : found);
    }
    CContentReading& m_reading;
};

// The engine's "File ... not found." warnings of shaders and textures come
// through the scene graph's notifier; other notices are not about content.
class NotFoundNotices : public osg::NotifyHandler
{
public:
    void notify(osg::NotifySeverity severity, const char* message) override
    {
        const std::string text = message ? message : "";
        if (severity > osg::WARN || text.find("not found") == std::string::npos) return;
        CContentFindings::Report(CContentFindings::WARNING, text.substr(0, text.find_last_not_of("\n ") + 1));
    }
};

// Where a block with `nameTag name` begins: the file and line of that name
// line inside a block opened by `opening`.
bool findNamedLine(const CContentReading& reading, const std::string& opening, const std::string& nameTag,
                   const std::string& name, std::string& file, int& line)
{
    for (const auto& entry : reading.TagFiles())
    {
        std::string block;
        const CContentReading::TagFile& tagFile = entry.second;
        for (size_t i = 0; i < tagFile.lines.size(); ++i)
        {
            const std::vector<std::string>& tokens = tagFile.lines[i];
            if (tokens.empty()) continue;
            if (ContentFileKinds::IsTopLevelBlock(tokens[0])) block = tokens[0];
            if (block == opening && tokens.size() > 1 && tokens[0] == nameTag && tokens[1] == name)
            {
                file = entry.first;
                line = tagFile.fileLines[i];
                return true;
            }
        }
    }
    return false;
}

// A finding raised after its reader was gone (a data file of the content
// list that cannot be opened) goes to the first line that names the file
// the finding ends with.
void placeByFileName(const CContentReading& reading, CContentFindings::Finding& finding)
{
    for (const auto& entry : reading.TagFiles())
    {
        const CContentReading::TagFile& file = entry.second;
        for (size_t i = 0; i < file.lines.size(); ++i)
            for (size_t t = 1; t < file.lines[i].size(); ++t)
            {
                const std::string& name = file.lines[i][t];
                if (name.size() < 3 || finding.text.size() < name.size() ||
                    finding.text.compare(finding.text.size() - name.size(), name.size(), name) != 0)
                    continue;
                finding.file = entry.first;
                finding.line = file.fileLines[i];
                return;
            }
    }
}

std::string lowerExtension(const std::string& path)
{
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}
}

CheckReport ContentChecker::Run()
{
    m_root = CContentReading::Absolute(m_folder);
    while (m_root.size() > 1 && m_root.back() == '/') m_root.pop_back();  // "." ends in a slash
    CContentReading reading;
    {
        EngineSilence silence;  // the engine's own console lines are not the checker's output
        CObjectManager manager;
        const std::string previous = CContentReading::Absolute(".");
        if (chdir(m_root.c_str()) != 0)
        {
            m_report.Add(m_folder, 0, CContentFindings::ERROR, "cannot enter the content folder");
            return m_report;
        }
        LoadAsEngine(reading, manager);
        for (CContentFindings::Finding finding : reading.Findings())
        {
            if (finding.file.empty()) placeByFileName(reading, finding);
            Add(finding.file, finding.line, finding.kind, finding.text);
        }
        CheckBindings(reading, manager);
        if (chdir(previous.c_str()) != 0) std::perror(previous.c_str());
    }
    CheckTags(reading);
    CheckUnnamedFiles(reading);
    CheckPatterns(reading);
    return m_report;
}

void ContentChecker::LoadAsEngine(CContentReading& reading, CObjectManager& manager)
{
    osg::ref_ptr<osg::NotifyHandler> previousNotifier = osg::getNotifyHandler();
    osg::setNotifyHandler(new NotFoundNotices);
    osgDB::Registry::instance()->setReadFileCallback(new OpenedFiles(reading));
    CContentFindings::SetSink(&reading);

    CSoundManager sound;  // sound files are read only with a device; the null one will do
    setenv("ALSOFT_DRIVERS", "null", 0);
    char name[] = "vexamark-check";
    char* argv[] = {name, nullptr};
    sound.Init(1, argv);
    CEffectLibrary::Instance()->LoadPresets("models/effects.mfx");
    {
        COsgSettings lights;
        if (lights.Load(CPathResolver::Resolve("models/lightRig.lit"))) CLightRig::LoadLights(lights);
    }
    manager.InitNewTricks(0, kContentFolder, 640, 480, 800, 600, nullptr, kContentList, false);

    CContentFindings::SetSink(nullptr);
    osgDB::Registry::instance()->setReadFileCallback(nullptr);
    osg::setNotifyHandler(previousNotifier.get());
    sound.CleanUp();
}

void ContentChecker::CheckTags(const CContentReading& reading)
{
    for (const auto& entry : reading.TagFiles())
    {
        if (Relative(entry.first) == entry.first) continue;  // not in the content set
        const CContentReading::TagFile& file = entry.second;
        for (size_t i = 0; i < file.lines.size(); ++i)
        {
            const std::vector<std::string>& tokens = file.lines[i];
            if (tokens.empty() || tokens[0][0] != '<') continue;
            const std::string& tag = tokens[0];
            if (!KnownTags::Has(tag))
                Add(entry.first, file.fileLines[i], CContentFindings::WARNING,
                    "unknown tag " + tag + "; the engine ignores this line");
            else if (file.tokensRead[i] < 0)
                Add(entry.first, file.fileLines[i], CContentFindings::WARNING,
                    tag + " is outside its block; the engine ignores this line");
            else if (file.tokensRead[i] <= 1 && tokens.size() > 1)
                Add(entry.first, file.fileLines[i], CContentFindings::WARNING,
                    tag + " is outside its block here; the engine ignores its values");
        }
    }
}

void ContentChecker::CheckBindings(const CContentReading& reading, CObjectManager& manager)
{
    std::vector<std::string> declared;
    for (ObjectGroup* group : manager.GetGroups()) declared.push_back(group->name);
    for (int i = 0; i < manager.GetNumObjects(); ++i)
    {
        CContentObject* object = manager.GetObject(i);
        const std::string& marker = object->GetMarker();
        const std::string& group = object->GetGroup();
        std::string file;
        int line = 0;
        const bool named = manager.FindMarkerByName(marker) != nullptr;
        if (marker != "NONE" && !named && findNamedLine(reading, "<ENTITY>", "<MARKER>", marker, file, line))
            Add(file, line, CContentFindings::WARNING,
                "object " + object->GetName() + " names marker " + marker + ", which no marker has");
        const bool grouped = !manager.FindMarkersInGroup(group).empty() ||
                             std::find(declared.begin(), declared.end(), group) != declared.end();
        if (named || grouped) continue;
        findNamedLine(reading, "<ENTITY>", "<NAME>", object->GetName(), file, line);
        Add(file, line, CContentFindings::WARNING,
            "object " + object->GetName() + " is bound to no marker: no marker is named " + marker +
                " or belongs to group " + group);
    }
    for (int i = 0; i < manager.GetNumTrackedMarkers(); ++i)
    {
        CTrackedMarker* marker = manager.GetTrackedMarker(i);
        bool used = !manager.FindObjectsInGroup(marker->GetGroup()).empty();
        for (int k = 0; k < manager.GetNumObjects() && !used; ++k)
            used = marker->GetName() != "NONE" && manager.GetObject(k)->GetMarker() == marker->GetName();
        if (used) continue;
        std::string file;
        int line = 0;
        findNamedLine(reading, "<VEXA_MARKER>", "<NAME>", marker->GetName(), file, line) ||
            findNamedLine(reading, "<VEXA_MARKER>", "<GROUP>", marker->GetGroup(), file, line);
        Add(file, line, CContentFindings::WARNING,
            "marker " + marker->GetName() + " is used by no object: no object names it or is in its group " +
                marker->GetGroup());
    }
}

void ContentChecker::CheckUnnamedFiles(const CContentReading& reading)
{
    namespace fs = std::filesystem;
    for (const char* folder : {kContentFolder, "Data"})
    {
        std::error_code error;
        const fs::path top = CPathResolver::Resolve(m_root + "/" + folder);
        for (fs::recursive_directory_iterator it(top, error), end; !error && it != end; it.increment(error))
        {
            if (!it->is_regular_file()) continue;
            const std::string path = CContentReading::Absolute(it->path().string());
            const std::string relative = Relative(path);
            if (!ContentFileKinds::IsContent(lowerExtension(path)) || ContentFileKinds::IsEngineOwn(relative)) continue;
            if (reading.Opened().count(path)) continue;
            Add(path, 0, CContentFindings::WARNING,
                "content file named by nothing; the engine never reads it");
        }
    }
}

void ContentChecker::CheckPatterns(const CContentReading& reading)
{
    std::vector<CContentReading::Naming> patterns;
    for (const CContentReading::Naming& naming : reading.Namings())
    {
        if (lowerExtension(naming.opened) != ".patt") continue;
        bool seen = false;
        for (const CContentReading::Naming& kept : patterns)
            seen = seen || (kept.opened == naming.opened && kept.file == naming.file && kept.line == naming.line);
        if (!seen) patterns.push_back(naming);
    }
    for (size_t j = 1; j < patterns.size(); ++j)
    {
        for (size_t i = 0; i < j; ++i)
        {
            double similarity = 1.0;
            if (patterns[i].opened != patterns[j].opened &&
                !PatternSimilarity(patterns[i].opened, patterns[j].opened, similarity))
                continue;
            if (similarity < kSimilarPatterns) continue;
            char figure[16];
            std::snprintf(figure, sizeof(figure), "%.2f", similarity);
            Add(patterns[j].file, patterns[j].line, CContentFindings::WARNING,
                "pattern " + Relative(patterns[j].opened) + " is too similar to pattern " +
                    Relative(patterns[i].opened) + " (line " + std::to_string(patterns[i].line) + ", similarity " +
                    figure + "); the tracker cannot tell them apart reliably");
        }
    }
}

bool ContentChecker::PatternSimilarity(const std::string& a, const std::string& b, double& similarity)
{
    vxt::PatternSet set;
    const int first = set.load(a), second = set.load(b);
    if (first < 0 || second < 0) return false;
    const vxt::PatternSet::Templates* ta = set.templates(first);
    const vxt::PatternSet::Templates* tb = set.templates(second);
    // Grey templates are zero-mean and of unit length (all zero for a flat picture).
    similarity = -1.0;
    // Blur level 1: the patterns as a marker of ordinary size is seen.
    for (int turn = 0; turn < 4; ++turn)
    {
        double dot = 0.0;
        for (int k = 0; k < vxt::PatternSet::kCells; ++k) dot += double(ta->grey[1][0][k]) * tb->grey[1][turn][k];
        similarity = std::max(similarity, dot);
    }
    return true;
}

void ContentChecker::Add(const std::string& absoluteFile, int line, int kind, const std::string& text)
{
    m_report.Add(Relative(absoluteFile), line, static_cast<CContentFindings::Kind>(kind), text);
}

std::string ContentChecker::Relative(const std::string& absolute) const
{
    if (absolute.empty()) return absolute;
    const std::string prefix = m_root + "/";
    return absolute.compare(0, prefix.size(), prefix) == 0 ? absolute.substr(prefix.size()) : absolute;
}
