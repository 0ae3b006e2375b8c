// vexamark-hudpage: the console host with the 3D HUD switched on, showing a
// page of every HUD widget over the video. It reports on standard output,
// one line each, what a test or a person does with the widgets:
//
//   region <role> <name> <x> <y> <w> <h>     where the widgets lie (HUD pixels, y up), at start
//   ready <width> <height>                   the HUD's size, once the window shows
//   event <type> <target>                    every event the HUD was handed
//   pressed <name> | clicked <name> <value>  what the widgets report
//   page WIDGETS shown|hidden                the page's visibility
//
// Options of its own (the others go to the engine, e.g. -video: FILE -frames: N):
//   --fullscreen   the window covers the screen (the HUD is the screen's size)
//   --fade         a click on empty space fades the page out over 2 s, the
//                  next one fades it back in
#include "CHudRegionManager.h"
#include "CVexaBox.h"
#include "CVideo.h"
#include "HudTestPage.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifndef VEXAMARK_VERSION
#define VEXAMARK_VERSION "0.0.0"
#endif

namespace
{
void print(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines) std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}
}

int main(int argc, char** argv)
{
    bool fullScreen = false, fade = false;
    std::vector<char*> engineArgs;
    for (int i = 0; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--fullscreen") == 0)
            fullScreen = true;
        else if (std::strcmp(argv[i], "--fade") == 0)
            fade = true;
        else if (std::strcmp(argv[i], "--help") == 0)
        {
            std::printf("usage: vexamark-hudpage [--fullscreen] [--fade] [engine options]\n");
            return 0;
        }
        else if (std::strcmp(argv[i], "--version") == 0)
        {
            std::printf("vexamark-hudpage %s\n", VEXAMARK_VERSION);
            return 0;
        }
        else
            engineArgs.push_back(argv[i]);
    }
    CVexaBox* box = new CVexaBox();
    box->Init(static_cast<int>(engineArgs.size()), engineArgs.data(), "Data/dataList.dat", false, true, false, false,
              0);
    if (fullScreen) box->ToggleFullScreen();
    CHudRegionManager* hud = CHudRegionManager::Instance();
    // The page stands alone: the engine's own menu stays hidden, whatever is clicked.
    hud->CancelPageSwitch();
    hud->SetRepeatDefault(false);
    HudTestPage* page = new HudTestPage;
    page->Build(*hud, "Videos/demo.mp4", box->GetVideoManager()->GetStream());
    if (fade)
    {
        hud->RequestPageSwitch(HudTestPage::kPageName, 1.0, 0.0, 2.0, true);
        hud->SetRepeatDefault(true);
    }
    std::vector<std::string> lines;
    page->Describe(lines);
    lines.push_back("ready " + std::to_string(hud->GetWidth()) + " " + std::to_string(hud->GetHeight()));
    print(lines);
    while (box->Update(0.01f))
    {
        box->Render();
        lines.clear();
        page->Poll(*hud, lines);
        print(lines);
    }
    box->CleanUp();
    delete box;
    delete page;
    return 0;
}
