// vexamark-check [DIR]: checks the content set in DIR (default: the current
// folder) with the engine's own readers and prints each problem as
// "FILE:LINE: error|warning: text". Exit code 0 clean, 1 warnings only,
// 2 errors, 3 for a bad command line.
#include "CMessageLog.h"
#include "ContentChecker.h"

#include <cstring>
#include <iostream>
#include <string>

#ifndef VEXAMARK_VERSION
#define VEXAMARK_VERSION "0.0.0"
#endif

namespace
{
const char* kUsage =
    "Usage: vexamark-check [--json] [DIR]\n"
    "Reads the content set in DIR (default: the current folder) as the engine does\n"
    "and prints every problem as FILE:LINE: error|warning: text.\n"
    "  --json       print the findings as one JSON object instead\n"
    "  --help       print this text\n"
    "  --version    print the version\n"
    "Exit code: 0 clean, 1 warnings only, 2 errors, 3 bad command line.\n";
}

int main(int argc, char** argv)
{
    bool json = false;
    std::string folder = ".";
    int folders = 0;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h")
        {
            std::cout << kUsage;
            return 0;
        }
        if (arg == "--version")
        {
            std::cout << "vexamark-check " << VEXAMARK_VERSION << "\n";
            return 0;
        }
        if (arg == "--json") json = true;
        else if (!arg.empty() && arg[0] == '-')
        {
            std::cerr << "vexamark-check: unknown option " << arg << "\n" << kUsage;
            return 3;
        }
        else
        {
            folder = arg;
            ++folders;
        }
    }
    if (folders > 1)
    {
        std::cerr << "vexamark-check: expected one folder, found " << folders << "\n" << kUsage;
        return 3;
    }
    CMessageLog::UseFile("/dev/null");  // the checker writes nothing into the content set
    const CheckReport report = ContentChecker(folder).Run();
    if (json) report.WriteJson(std::cout);
    else report.WriteText(std::cout);
    return report.ExitCode();
}
