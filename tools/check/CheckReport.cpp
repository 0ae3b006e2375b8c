#include "CheckReport.h"

#include <algorithm>
#include <cstdio>

namespace
{
std::string jsonString(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text)
    {
        if (c == '"' || c == '\\') out += std::string("\\") + char(c);
        else if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else if (c < 0x20)
        {
            char escaped[8];
            std::snprintf(escaped, sizeof(escaped), "\\u%04x", c);
            out += escaped;
        }
        else out += char(c);
    }
    return out + "\"";
}

bool holds(const std::string& a, const std::string& b)
{
    return a.find(b) != std::string::npos;
}
}

void CheckReport::Add(const Finding& finding)
{
    for (Finding& kept : m_findings)
    {
        if (kept.file != finding.file || kept.line != finding.line) continue;
        if (!holds(kept.text, finding.text) && !holds(finding.text, kept.text)) continue;
        if (finding.text.size() > kept.text.size()) kept.text = finding.text;
        kept.kind = std::max(kept.kind, finding.kind);
        return;
    }
    m_findings.push_back(finding);
}

void CheckReport::Add(const std::string& file, int line, CContentFindings::Kind kind, const std::string& text)
{
    Finding finding;
    finding.file = file;
    finding.line = line;
    finding.kind = kind;
    finding.text = text;
    Add(finding);
}

std::vector<CheckReport::Finding> CheckReport::Sorted() const
{
    std::vector<Finding> sorted = m_findings;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Finding& a, const Finding& b) {
        return a.file != b.file ? a.file < b.file : a.line < b.line;
    });
    return sorted;
}

int CheckReport::Count(CContentFindings::Kind kind) const
{
    return static_cast<int>(
        std::count_if(m_findings.begin(), m_findings.end(), [kind](const Finding& f) { return f.kind == kind; }));
}

int CheckReport::ExitCode() const
{
    if (Count(CContentFindings::ERROR) > 0) return 2;
    return Count(CContentFindings::WARNING) > 0 ? 1 : 0;
}

void CheckReport::WriteText(std::ostream& out) const
{
    for (const Finding& finding : Sorted()) out << CContentFindings::Format(finding) << '\n';
}

void CheckReport::WriteJson(std::ostream& out) const
{
    out << "{\"errors\": " << Count(CContentFindings::ERROR) << ", \"warnings\": " << Count(CContentFindings::WARNING)
        << ", \"findings\": [";
    const std::vector<Finding> sorted = Sorted();
    for (size_t i = 0; i < sorted.size(); ++i)
    {
        const Finding& f = sorted[i];
        out << (i ? ",\n  " : "\n  ") << "{\"file\": " << jsonString(f.file) << ", \"line\": " << f.line
            << ", \"severity\": \"" << (f.kind == CContentFindings::ERROR ? "error" : "warning")
            << "\", \"text\": " << jsonString(f.text) << "}";
    }
    out << (sorted.empty() ? "]}\n" : "\n]}\n");
}
