#include "EngineLog.h"

#include <cstdlib>
#include <sstream>

std::vector<std::string> LogMessages(const std::string& logText)
{
    std::vector<std::string> lines;
    std::istringstream in(logText);
    std::string line;
    // "MSG %4d <text> ": the text starts after the number and its blank.
    while (std::getline(in, line))
        if (line.rfind("MSG ", 0) == 0 && line.size() >= 10) lines.push_back(line.substr(9, line.size() - 10));
    return lines;
}

bool HaveDisplay()
{
    const char* display = std::getenv("DISPLAY");
    return display && *display;
}
