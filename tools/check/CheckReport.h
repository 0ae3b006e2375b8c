#pragma once
// The findings of one check, in the order of their files and lines, each
// once; written as "FILE:LINE: error|warning: text" lines or as JSON, and
// summed up as the program's exit code.

#include "CContentFindings.h"

#include <ostream>
#include <string>
#include <vector>

class CheckReport
{
public:
    using Finding = CContentFindings::Finding;

    /// Adds a finding; a finding at the same place whose text holds (or is
    /// held in) an earlier one's merges with it, keeping the longer text.
    void Add(const Finding& finding);
    void Add(const std::string& file, int line, CContentFindings::Kind kind, const std::string& text);

    /// Findings ordered by file, then line (findings without a file first),
    /// then in the order they were added.
    std::vector<Finding> Sorted() const;
    int Count(CContentFindings::Kind kind) const;
    /// 0 clean, 1 warnings only, 2 errors.
    int ExitCode() const;

    void WriteText(std::ostream& out) const;
    void WriteJson(std::ostream& out) const;

private:
    std::vector<Finding> m_findings;
};
