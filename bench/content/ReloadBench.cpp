// Hand-run benchmark: what a live reload ("-watch") costs after an edit. A
// fresh content manager reads the content set of a working folder (the
// content list and everything it names) with the findings collected, and the
// running manager takes the new content over, R times. Prints milliseconds
// per load and per take-over, and the resident memory before and after;
// asserts nothing.
//
//   VexaContentReloadBench WORKDIR [--repeat R]

#include "CContentFindings.h"
#include "CContentReading.h"
#include "CMessageLog.h"
#include "CObjectManager.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

namespace
{
using Clock = std::chrono::steady_clock;

long residentKilobytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void load(CObjectManager& manager)
{
    manager.InitNewTricks(0, "models", 640, 480, 800, 600, nullptr, "Data/dataList.dat", false);
}
}

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: VexaContentReloadBench WORKDIR [--repeat R]\n");
        return 2;
    }
    const int repeat = argc > 3 && std::string(argv[2]) == "--repeat" ? std::atoi(argv[3]) : 20;
    if (chdir(argv[1]) != 0)
    {
        std::perror(argv[1]);
        return 2;
    }
    CMessageLog::UseFile("/dev/null");
    std::freopen("/dev/null", "w", stdout);  // the engine's console lines
    CObjectManager running;
    load(running);
    const long before = residentKilobytes();
    double loading = 0.0, taking = 0.0;
    for (int i = 0; i < repeat; ++i)
    {
        CContentReading reading;
        std::unique_ptr<CObjectManager> fresh(new CObjectManager);
        Clock::time_point start = Clock::now();
        CContentFindings::SetSink(&reading);
        load(*fresh);
        CContentFindings::SetSink(nullptr);
        loading += millisecondsSince(start);
        start = Clock::now();
        running.TakeContent(*fresh);
        fresh.reset();
        taking += millisecondsSince(start);
    }
    std::fprintf(stderr, "content set of %s: %d markers, %d objects\n", argv[1], running.GetNumTrackedMarkers(),
                 running.GetNumObjects());
    std::fprintf(stderr, "load %.1f ms, take-over %.2f ms per reload (%d reloads)\n", loading / repeat,
                 taking / repeat, repeat);
    std::fprintf(stderr, "resident memory %ld kB before, %ld kB after\n", before, residentKilobytes());
    return 0;
}
