#pragma once
// What the engine met while it read a content set: its findings, the tag
// files its readers went through (with which lines they stood on and which
// tokens they read), the files the content named and the engine found, and
// the files the model reader opened. Installed as the engine's findings sink
// for the length of one load. Every path is kept absolute, since the engine
// changes the working folder while it reads model group files.

#include "CContentFindings.h"

#include <map>
#include <set>
#include <string>
#include <vector>

class CContentReading : public CContentFindings::Sink
{
public:
    /// One tag file as its readers left it (merged over every reader of it).
    struct TagFile
    {
        std::vector<std::vector<std::string>> lines;  // kept lines' tokens
        std::vector<int> fileLines;                   // file line of each kept line
        std::vector<int> tokensRead;                  // see COsgSettings::TokensRead
    };
    /// A file the content named, where it was named.
    struct Naming
    {
        std::string opened;  // absolute
        std::string file;    // absolute; empty when not known
        int line = 0;
    };

    void Found(const CContentFindings::Finding& finding) override;
    void FileNamed(const std::string& asked, const std::string& opened) override;
    void ReaderDone(const COsgSettings& reader) override;
    /// A file the engine opened without naming it through the resolver.
    void NoteOpened(const std::string& path);

    const std::vector<CContentFindings::Finding>& Findings() const { return m_findings; }
    const std::map<std::string, TagFile>& TagFiles() const { return m_tagFiles; }
    const std::vector<Naming>& Namings() const { return m_namings; }
    const std::set<std::string>& Opened() const { return m_opened; }

    /// The first error by file and line ("FILE:LINE: error: text", files
    /// relative to `folder` when below it); empty when there is none.
    std::string FirstError(const std::string& folder) const;

    /// `path` made absolute against the current working folder, without "." and "..".
    static std::string Absolute(const std::string& path);

private:
    std::vector<CContentFindings::Finding> m_findings;
    std::map<std::string, TagFile> m_tagFiles;
    std::vector<Naming> m_namings;
    std::set<std::string> m_opened;
};
