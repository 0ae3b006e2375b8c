#pragma once
// Running vexamark-check on a folder, and editing the copies of the bundled
// content the tests break: lines found by their text, so the tests follow
// the bundled files when those change.
#include <string>
#include <vector>

struct CheckRun
{
    int exitCode = -1;
    std::string output;  // standard output
    std::string errors;  // standard error
    std::vector<std::string> Lines() const;
};

/// Runs vexamark-check with `args` in `folder` and waits for it.
CheckRun RunCheck(const std::vector<std::string>& args, const std::string& folder = ".");

/// Line number (from 1) of the `nth` line (from 1) of `file` that holds
/// `text`; 0 when there is none.
int LineOf(const std::string& file, const std::string& text, int nth = 1);
/// Replaces the first occurrence of `from` in `file` by `to`; false when absent.
bool ReplaceInFile(const std::string& file, const std::string& from, const std::string& to);
/// Keeps the lines of `file` before line `line` (from 1) and drops the rest.
void CutFileBefore(const std::string& file, int line);
/// Removes line `line` (from 1) of `file`.
void RemoveLine(const std::string& file, int line);
