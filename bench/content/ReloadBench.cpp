// Hand-run benchmark: what a live reload ("-watch") costs after an edit: the
// engine's reload (CContentReload) of a working folder's content set, R
// times, as after R edits. Prints milliseconds per reload and the resident
// memory after the first reload and at the end; asserts nothing.
//
//   VexaContentReloadBench WORKDIR [--repeat R]

#include "CContentReload.h"
#include "CMessageLog.h"
#include "CObjectManager.h"
#include "cHud.h"

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
    running.InitNewTricks(0, "models", 640, 480, 800, 600, nullptr, "Data/dataList.dat", false);
    cHud hud;  // not drawn: messages go nowhere
    CContentReload reload(running, hud, CContentReload::Setup());
    reload.Reload("the first edit");
    const long before = residentKilobytes();
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < repeat; ++i) reload.Reload("an edit");
    const double perReload = millisecondsSince(start) / repeat;
    std::fprintf(stderr, "content set of %s: %d markers, %d objects\n", argv[1], running.GetNumTrackedMarkers(),
                 running.GetNumObjects());
    std::fprintf(stderr, "%.1f ms per reload (%d reloads, %d refused: %s)\n", perReload, repeat,
                 reload.RefusedReloads(), reload.LastError().c_str());
    std::fprintf(stderr, "resident memory %ld kB after the first reload, %ld kB after the last\n", before,
                 residentKilobytes());
    return 0;
}
