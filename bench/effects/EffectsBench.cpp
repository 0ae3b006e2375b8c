// Frame cost of the material effects: the engine as the console host runs it
// (frame-locked on the demo clip, 640 x 480, under the X display), first with
// eight models drawn with plain materials, then with the same eight models
// drawn with eight different effects, two on each of the four demo markers.
// Prints milliseconds per frame (update and render) for both and their ratio,
// and the heap allocations of switching presets afterwards; asserts nothing.
//
//   VexaEffectsBench [--frames N] [--rounds R] [--pictures DIR]
//     N frames per scene (default 200, after 30 frames of warm-up), R rounds of
//     both scenes (default 3); DIR keeps the last frame of each scene
//     (plain.jpg, effects.jpg) to look at.

#include "CEffect.h"
#include "CEffectLibrary.h"
#include "CVexaBox.h"

#include "AllocationCounting.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
const char* const kMarkers[] = {"corvane", "glyph-f", "arrow", "sail"};
// Type, default preset and a second preset to cycle to.
const char* const kTypes[][3] = {
    {"METAL", "Gold", "Copper"},           {"CHROME_METAL", "Chrome", "RoseGold"},
    {"BRUSHED_METAL", "BrushedSteel", "BrushedGold"}, {"ALPHA_GLASS", "ClearGlass", "AmberGlass"},
    {"GLASS", "Crystal", "RubyGlass"},     {"RUBBER", "SignalRed", "Olive"},
    {"STONE", "Jade", "Marble"},           {"DIF_AOIL", "Painted", "Matte"}};

// A copy of the prepared working folder with a content set of four markers,
// each carrying one object of two models side by side.
std::string prepare(bool effects)
{
    char pattern[] = "/tmp/vexa-effects-bench-XXXXXX";
    const std::string folder = ::mkdtemp(pattern);
    fs::copy(VEXAMARK_WORKDIR, folder, fs::copy_options::recursive);
    for (const char* side : {"left", "right"})
    {
        std::ofstream zep(folder + "/models/effects/" + side + ".zep");
        zep << "<MODEL>\n<FILENAME> orb.osgt 24\n<TRANS> " << (side[0] == 'l' ? -22 : 22) << " 0 0\n</MODEL>\n";
    }
    std::ofstream dat(folder + "/models/bench.dat");
    for (int m = 0; m < 4; ++m)
    {
        dat << "<VEXA_MARKER>\n<FILE> Data/" << kMarkers[m] << ".patt\n<SIZE> 80\n<NAME> " << kMarkers[m]
            << "\n</VEXA_MARKER>\n<ENTITY>\n<NAME> pair" << m << "\n<MARKER> " << kMarkers[m] << "\n";
        for (int k = 0; k < 2; ++k)
        {
            dat << "<MODEL>\n<FILE> models/effects/" << (k ? "right" : "left") << ".zep\n"
                << "<DIFFUSE_MAP> models/effects/paintedBands.png\n";
            if (effects)
                dat << "<EFFECT>\n<NAME> " << kTypes[m * 2 + k][0] << "\n<DEFAULT> " << kTypes[m * 2 + k][1]
                    << "\n<PRESETS>\n" << kTypes[m * 2 + k][2] << "\n</PRESETS>\n</EFFECT>\n";
            dat << "</MODEL>\n";
        }
        dat << "</ENTITY>\n";
    }
    std::ofstream list(folder + "/Data/dataList.dat");
    list << "<DAT>\n<ASSET_FILE> models/bench.dat\n</DAT>\n";
    return folder;
}

// Milliseconds per frame over `frames` frames after the warm-up.
double run(bool effects, int frames, const std::string& picture)
{
    const std::string folder = prepare(effects);
    char previous[4096];
    if (!::getcwd(previous, sizeof(previous)) || ::chdir(folder.c_str()) != 0) return -1.0;
    double perFrame = -1.0;
    {
        CVexaBox box;
        std::vector<std::string> args{"Vexamark_basic", "-FFMPEG", "-video:", "Videos/demo.mp4"};
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        box.Init(static_cast<int>(argv.size()), argv.data(), "Data/dataList.dat", false, false, false, false);
        bool running = true;
        for (int i = 0; i < 30 && running; ++i)
            if ((running = box.Update(0.f))) box.Render();
        const auto start = std::chrono::steady_clock::now();
        int drawn = 0;
        for (; drawn < frames && running; ++drawn)
            if ((running = box.Update(0.f))) box.Render();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (drawn > 0) perFrame = seconds * 1000.0 / drawn;
        if (!picture.empty() && running)
        {
            const std::string shot = CVexaBox::SingleCaptureName(box.GetCaptureCount());
            box.CaptureSingleFrame();
            fs::copy_file(shot, picture, fs::copy_options::overwrite_existing);
        }
        box.CleanUp();
    }
    if (::chdir(previous) != 0) std::fprintf(stderr, "could not return to %s\n", previous);
    fs::remove_all(folder);
    return perFrame;
}

// Heap allocations per preset switch, over every effect the last run made
// (cycled round its presets ten times).
void reportCycling()
{
    std::vector<CEffect*> effects = CEffectLibrary::Instance()->GetInstances();
    long switches = 0;
    const long news = AllocationCounting::news(), mallocs = AllocationCounting::mallocs();
    for (int round = 0; round < 10; ++round)
        for (CEffect* effect : effects)
            for (int i = 0; i < effect->GetPresetCount(); ++i, ++switches) effect->NextPreset(true);
    const long made = AllocationCounting::news() - news + AllocationCounting::mallocs() - mallocs;
    std::printf("preset switches: %ld, heap allocations during them: %ld\n", switches, made);
}
}

int main(int argc, char** argv)
{
    int frames = 200, rounds = 3;
    std::string pictures;  // a folder to keep the last frame of each scene in
    for (int i = 1; i + 1 < argc; ++i)
    {
        if (std::string(argv[i]) == "--frames") frames = std::atoi(argv[i + 1]);
        if (std::string(argv[i]) == "--rounds") rounds = std::max(1, std::atoi(argv[i + 1]));
        if (std::string(argv[i]) == "--pictures") pictures = fs::absolute(argv[i + 1]).string();
    }
    if (!std::getenv("DISPLAY"))
    {
        std::fprintf(stderr, "VexaEffectsBench needs an X display (run it under xvfb-run)\n");
        return 1;
    }
    // Rounds of the two scenes one after the other, so a machine busy with
    // other work weighs on both alike; the median ratio is the figure.
    std::printf("frames measured: %d per scene and round, 640 x 480, 8 models on 4 markers\n", frames);
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round)
    {
        const bool last = round == rounds - 1;
        const double plain = run(false, frames, last && !pictures.empty() ? pictures + "/plain.jpg" : "");
        const double effects = run(true, frames, last && !pictures.empty() ? pictures + "/effects.jpg" : "");
        ratios.push_back(plain > 0 ? effects / plain : 0.0);
        std::printf("round %d: plain materials %.2f ms per frame, eight effects %.2f ms per frame, ratio %.2f\n",
                    round + 1, plain, effects, ratios.back());
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("median ratio effects / plain: %.2f\n", ratios[ratios.size() / 2]);
    reportCycling();
    return 0;
}
