#pragma once
// Checks a whole content set by reading it as the engine does: the engine's
// own readers load the effect presets, the light rig, the sound settings and
// the content list with every data file, marker, pattern, entity, model group
// file and model it names, and report what they meet in their own words at
// the file and line it belongs to (CContentFindings). The checker adds what
// the engine passes over in silence: unknown tags, tags outside their block,
// objects bound to no marker, markers no object uses, names that differ from
// the file on disk in letter case (reported by the path resolver), content
// files nothing names, and patterns too alike to be told apart.
//
// Where to extend it: a new kind of content file is read by adding its load
// to LoadAsEngine (the engine's reader reports by itself); a new kind of file
// that is content (for the "named by nothing" check) goes into
// ContentFileKinds; new tags need nothing, the list of known tags is made
// from the engine's sources at build time.
//
// Run changes the working folder while it loads and puts it back; one check
// per process (the engine's libraries keep process-wide state).

#include "CheckReport.h"

#include <string>

class CObjectManager;
class CContentReading;

class ContentChecker
{
public:
    /// Two patterns whose correlation (best of the four turns) reaches this
    /// are reported as too alike.
    static constexpr double kSimilarPatterns = 0.80;

    explicit ContentChecker(const std::string& folder) : m_folder(folder) {}

    /// Checks the content set in the folder; findings name files relative to it.
    CheckReport Run();

    /// Correlation of two pattern files, the best of the four turns, -1 to 1;
    /// false when either cannot be read.
    static bool PatternSimilarity(const std::string& a, const std::string& b, double& similarity);

private:
    void LoadAsEngine(CContentReading& reading, CObjectManager& manager);
    void CheckTags(const CContentReading& reading);
    void CheckBindings(const CContentReading& reading, CObjectManager& manager);
    void CheckUnnamedFiles(const CContentReading& reading);
    void CheckPatterns(const CContentReading& reading);
    void Add(const std::string& absoluteFile, int line, int kind, const std::string& text);
    std::string Relative(const std::string& absolute) const;

    std::string m_folder;
    std::string m_root;  // m_folder, absolute
    CheckReport m_report;
};
