#include "CContentReading.h"

#include "COsgSettings.h"

#include <algorithm>
#include <filesystem>

std::string CContentReading::Absolute(const std::string& path)
{
    if (path.empty()) return path;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    std::string normal = (error ? std::filesystem::path(path) : absolute).lexically_normal().string();
    while (normal.size() > 1 && normal.back() == '/') normal.pop_back();  // "dir/." gives "dir/"
    return normal;
}

void CContentReading::Found(const CContentFindings::Finding& finding)
{
    CContentFindings::Finding kept = finding;
    kept.file = Absolute(finding.file);
    m_findings.push_back(kept);
}

void CContentReading::FileNamed(const std::string&, const std::string& opened)
{
    Naming naming;
    naming.opened = Absolute(opened);
    if (const COsgSettings* reader = COsgSettings::LastRead())
    {
        naming.file = Absolute(reader->Path());
        naming.line = reader->FileLine(static_cast<size_t>(reader->CurrentLine()));
    }
    m_opened.insert(naming.opened);
    m_namings.push_back(naming);
}

void CContentReading::ReaderDone(const COsgSettings& reader)
{
    const std::string path = Absolute(reader.Path());
    m_opened.insert(path);
    TagFile& file = m_tagFiles[path];
    const size_t count = reader.LineCount();
    if (file.lines.size() != count)
    {
        file = TagFile();
        file.tokensRead.assign(count, -1);
        for (size_t i = 0; i < count; ++i) file.fileLines.push_back(reader.FileLine(i));
    }
    // What was read is taken before LineTokens marks the whole line as read.
    for (size_t i = 0; i < count; ++i) file.tokensRead[i] = std::max(file.tokensRead[i], reader.TokensRead(i));
    file.lines.clear();
    for (size_t i = 0; i < count; ++i) file.lines.push_back(reader.LineTokens(i));
}

void CContentReading::NoteOpened(const std::string& path)
{
    m_opened.insert(Absolute(path));
}

std::string CContentReading::FirstError(const std::string& folder) const
{
    const CContentFindings::Finding* first = nullptr;
    for (const CContentFindings::Finding& finding : m_findings)
    {
        if (finding.kind != CContentFindings::ERROR) continue;
        if (!first || finding.file < first->file || (finding.file == first->file && finding.line < first->line))
            first = &finding;
    }
    if (!first) return std::string();
    CContentFindings::Finding shown = *first;
    const std::string prefix = Absolute(folder) + "/";
    if (shown.file.compare(0, prefix.size(), prefix) == 0) shown.file = shown.file.substr(prefix.size());
    return CContentFindings::Format(shown);
}
