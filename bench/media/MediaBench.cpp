// Frame cost of the media entities: the engine as the console host runs it
// (frame-locked on the demo clip, 640 x 480, under the X display), first with
// plain content on the four demo markers (the comet model alone), then with
// the same content plus a 500-particle trail on the comet, bubbles, and two
// 640 x 480 keyed video planes playing the studio clip. Prints milliseconds
// per frame (update, render, and the slowest update) for both scenes and
// their ratio; asserts nothing. The slowest update shows whether the
// engine's thread ever waited for a video decoder.
//
//   VexaMediaBench [--frames N] [--rounds R]
//     N frames per scene (default 200, after 30 frames of warm-up), R rounds of
//     both scenes (default 3).

#include "CVexaBox.h"

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
using Clock = std::chrono::steady_clock;
const char* const kMarkers[] = {"corvane", "glyph-f", "arrow", "sail"};

struct Figures
{
    double update = -1, render = -1, slowestUpdate = -1;  // milliseconds
};

void entity(std::ofstream& dat, const std::string& name, const char* marker, const std::string& body)
{
    dat << "<ENTITY>\n<NAME> " << name << "\n<MARKER> " << marker << "\n" << body << "</ENTITY>\n";
}

// A copy of the prepared working folder with the bench's content set.
std::string prepare(bool media)
{
    char pattern[] = "/tmp/vexa-media-bench-XXXXXX";
    const std::string folder = ::mkdtemp(pattern);
    fs::copy(VEXAMARK_WORKDIR, folder, fs::copy_options::recursive);
    std::ofstream dat(folder + "/models/bench.dat");
    for (const char* marker : kMarkers)
        dat << "<VEXA_MARKER>\n<FILE> Data/" << marker << ".patt\n<SIZE> 80\n<NAME> " << marker << "\n</VEXA_MARKER>\n";
    const std::string trail = media ? "<TRACE_PARTICLE>\n<COUNT> 500\n<NODE_NAME> Comet\n<EMISSIVE> 1\n"
                                      "<MAX_SPAWN_PER_FRAME> 20\n<MIN_LIFE> 1\n<MAX_LIFE> 2\n</TRACE_PARTICLE>\n"
                                    : "";
    entity(dat, "COMET", "glyph-f", "<MODEL>\n<FILE> models/media/comet.osgt\n" + trail + "</MODEL>\n");
    if (media)
    {
        entity(dat, "BUBBLES", "corvane", "<BUBBLES> 0 0 30\n");
        const std::string plane = "<VIDEO>\n<FILE> models/media/studio.mp4\n<SCALE> 40\n<BLEND> 0 0.7 0.25 0.3\n</VIDEO>\n";
        entity(dat, "PLANE1", "arrow", plane);
        entity(dat, "PLANE2", "sail", plane);
    }
    std::ofstream list(folder + "/Data/dataList.dat");
    list << "<DAT>\n<ASSET_FILE> models/bench.dat\n</DAT>\n";
    return folder;
}

double since(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

Figures run(bool media, int frames)
{
    const std::string folder = prepare(media);
    char previous[4096];
    Figures figures;
    if (!::getcwd(previous, sizeof(previous)) || ::chdir(folder.c_str()) != 0) return figures;
    {
        CVexaBox box;
        std::vector<std::string> args{"Vexamark_basic", "-FFMPEG", "-video:", "Videos/demo.mp4"};
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        box.Init(static_cast<int>(argv.size()), argv.data(), "Data/dataList.dat", false, false, false, false);
        bool running = true;
        for (int i = 0; i < 30 && running; ++i)
            if ((running = box.Update(0.f))) box.Render();
        double update = 0, render = 0, slowest = 0;
        int drawn = 0;
        for (; drawn < frames && running; ++drawn)
        {
            const Clock::time_point t0 = Clock::now();
            running = box.Update(0.f);
            const double u = since(t0);
            update += u, slowest = std::max(slowest, u);
            const Clock::time_point t1 = Clock::now();
            if (running) box.Render();
            render += since(t1);
        }
        if (drawn > 0) figures = {update / drawn, render / drawn, slowest};
        box.CleanUp();
    }
    if (::chdir(previous) != 0) std::fprintf(stderr, "could not return to %s\n", previous);
    fs::remove_all(folder);
    return figures;
}
}

int main(int argc, char** argv)
{
    int frames = 200, rounds = 3;
    for (int i = 1; i + 1 < argc; ++i)
    {
        if (std::string(argv[i]) == "--frames") frames = std::max(1, std::atoi(argv[i + 1]));
        if (std::string(argv[i]) == "--rounds") rounds = std::max(1, std::atoi(argv[i + 1]));
    }
    if (!std::getenv("DISPLAY"))
    {
        std::fprintf(stderr, "VexaMediaBench needs an X display (run it under xvfb-run)\n");
        return 1;
    }
    // Rounds of the two scenes one after the other, so a machine busy with
    // other work weighs on both alike; the median ratio is the figure.
    std::printf("frames measured: %d per scene and round, 640 x 480, demo clip frame by frame\n", frames);
    std::printf("media scene: 500-particle trail, 20 bubbles, two 640 x 480 keyed video planes\n");
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round)
    {
        const Figures plain = run(false, frames), media = run(true, frames);
        const double plainTotal = plain.update + plain.render, mediaTotal = media.update + media.render;
        ratios.push_back(plainTotal > 0 ? mediaTotal / plainTotal : 0.0);
        std::printf("round %d: without media %.2f ms per frame (update %.2f, render %.2f, slowest update %.2f); "
                    "with media %.2f ms (update %.2f, render %.2f, slowest update %.2f); ratio %.2f\n",
                    round + 1, plainTotal, plain.update, plain.render, plain.slowestUpdate, mediaTotal, media.update,
                    media.render, media.slowestUpdate, ratios.back());
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("median ratio with / without media: %.2f\n", ratios[ratios.size() / 2]);
    return 0;
}
