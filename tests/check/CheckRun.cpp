#include "CheckRun.h"

#include "ChildProcess.h"
#include "TestFolder.h"

#include <sstream>

std::vector<std::string> CheckRun::Lines() const
{
    std::vector<std::string> lines;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

CheckRun RunCheck(const std::vector<std::string>& args, const std::string& folder)
{
    ChildProcess child(VEXAMARK_CHECK_PATH, args, folder, {"ALSOFT_DRIVERS=null"});
    CheckRun run;
    if (!child.Wait(240.0))
    {
        child.Kill();
        run.errors = "vexamark-check did not end";
        return run;
    }
    run.exitCode = child.ExitCode();
    run.output = child.StandardOutput();
    run.errors = child.StandardError();
    return run;
}

namespace
{
std::vector<std::string> readLines(const std::string& file)
{
    std::vector<std::string> lines;
    std::istringstream in(TestFolder::ReadFile(file));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

void writeLines(const std::string& file, const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    TestFolder::WriteFile(file, text);
}
}

int LineOf(const std::string& file, const std::string& text, int nth)
{
    const std::vector<std::string> lines = readLines(file);
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].find(text) != std::string::npos && --nth == 0) return static_cast<int>(i) + 1;
    return 0;
}

bool ReplaceInFile(const std::string& file, const std::string& from, const std::string& to)
{
    std::string text = TestFolder::ReadFile(file);
    const size_t at = text.find(from);
    if (at == std::string::npos) return false;
    text.replace(at, from.size(), to);
    TestFolder::WriteFile(file, text);
    return true;
}

void CutFileBefore(const std::string& file, int line)
{
    std::vector<std::string> lines = readLines(file);
    lines.resize(static_cast<size_t>(line - 1));
    writeLines(file, lines);
}

void RemoveLine(const std::string& file, int line)
{
    std::vector<std::string> lines = readLines(file);
    lines.erase(lines.begin() + (line - 1));
    writeLines(file, lines);
}
