// Vexamark_basic: the smallest host of the engine. It picks the working
// folder (the one given, the current one, or the user's own), hands its
// command line to the engine, lets the engine open its own window, runs the
// frame loop until the engine reports the end, and shuts the engine down.
#include "CVexaBox.h"
#include "CWorkingFolder.h"

#include <csignal>
#include <cstring>

namespace
{
// Ctrl+C or a polite kill ends the run as closing the window does: the frame
// loop stops, the engine cleans up, and a recording or pose file is completed.
volatile std::sig_atomic_t g_stopRequested = 0;

void requestStop(int)
{
    g_stopRequested = 1;
}

// "--help" and "--version" only print: no folder is chosen, made or entered.
bool printsOnly(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "--version") == 0) return true;
    return false;
}
}

int main(int argc, char** argv)
{
    if (!printsOnly(argc, argv) && !CWorkingFolder::Enter(CWorkingFolder::Choose(argc, argv))) return 1;
    // A file that grows past the process's size limit fails its write
    // (reported and survived) instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    CVexaBox* box = new CVexaBox();
    box->Init(argc, argv, "Data/dataList.dat", false, false, false, false, 0);
    while (!g_stopRequested && box->Update(0.01f)) box->Render();
    box->CleanUp();
    delete box;
    return 0;
}
