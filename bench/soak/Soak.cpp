// The engine run for a long time as a kiosk runs it: the bundled demo clip,
// looping, with its whole content (models, effects, animation, characters,
// sound, media), the GUI when asked for, and a picture captured every
// minute. Each minute it prints the process's resident memory, open file
// descriptors and threads, and the 50th and 99th percentiles and the maximum
// of that minute's frame times (update and render). Memory and descriptors
// must stay flat after the first minutes; the 99th percentile must not grow.
//
//   VexaSoak [--minutes M] [--interval S] [--gui]
//     M minutes in all (default 60), S seconds a sample (default 60).
// Sound goes to OpenAL's null device unless ALSOFT_DRIVERS says otherwise.

#include "CVexaBox.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
using Clock = std::chrono::steady_clock;

struct Options
{
    double minutes = 60.0;
    double interval = 60.0;  // seconds
    bool gui = false;
};

Options readOptions(int argc, char** argv)
{
    Options o;
    for (int i = 1; i < argc; ++i)
    {
        const std::string a = argv[i];
        if (a == "--minutes" && i + 1 < argc) o.minutes = std::atof(argv[++i]);
        else if (a == "--interval" && i + 1 < argc) o.interval = std::atof(argv[++i]);
        else if (a == "--gui") o.gui = true;
        else
        {
            std::fprintf(stderr, "usage: VexaSoak [--minutes M] [--interval S] [--gui]\n");
            std::exit(2);
        }
    }
    return o;
}

// A value of /proc/self/status ("VmRSS:", "Threads:"), in its own unit.
long statusValue(const char* key)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.compare(0, std::strlen(key), key) == 0) return std::atol(line.c_str() + std::strlen(key));
    return -1;
}

long openDescriptors()
{
    std::error_code error;
    long count = 0;
    for (auto it = fs::directory_iterator("/proc/self/fd", error); !error && it != fs::directory_iterator(); ++it)
        ++count;
    return count;
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(p * (v.size() - 1) + 0.5))];
}

std::string prepareFolder()
{
    char pattern[] = "/tmp/vexa-soak-XXXXXX";
    const std::string folder = ::mkdtemp(pattern);
    fs::copy(VEXAMARK_WORKDIR, folder, fs::copy_options::recursive);
    return folder;
}
}

int main(int argc, char** argv)
{
    const Options options = readOptions(argc, argv);
    const std::string folder = prepareFolder();
    fs::current_path(folder);
    std::vector<std::string> args{"VexaSoak", "-video:", "Videos/demo.mp4"};
    std::vector<char*> engineArgv;
    for (std::string& a : args) engineArgv.push_back(a.data());
    int result = 0;
    {
        CVexaBox box;
        box.Init(static_cast<int>(engineArgv.size()), engineArgv.data(), "Data/dataList.dat", true, options.gui,
                 false, false);
        std::printf("%7s %10s %6s %8s %8s %8s %8s %9s\n", "minute", "rss MiB", "fds", "threads", "frames",
                    "p50 ms", "p99 ms", "max ms");
        const Clock::time_point start = Clock::now();
        Clock::time_point sampleStart = start;
        std::vector<double> frameTimes;
        frameTimes.reserve(1 << 16);
        for (;;)
        {
            const Clock::time_point before = Clock::now();
            if (!box.Update(0.f))
            {
                result = 1;
                std::fprintf(stderr, "VexaSoak: the engine stopped\n");
                break;
            }
            box.Render();
            const Clock::time_point after = Clock::now();
            frameTimes.push_back(std::chrono::duration<double, std::milli>(after - before).count());
            if (std::chrono::duration<double>(after - sampleStart).count() < options.interval) continue;
            box.CaptureSingleFrame();
            const double minute = std::chrono::duration<double>(after - start).count() / 60.0;
            std::printf("%7.1f %10.1f %6ld %8ld %8zu %8.2f %8.2f %9.2f\n", minute, statusValue("VmRSS:") / 1024.0,
                        openDescriptors(), statusValue("Threads:"), frameTimes.size(), percentile(frameTimes, 0.5),
                        percentile(frameTimes, 0.99), percentile(frameTimes, 1.0));
            std::fflush(stdout);
            frameTimes.clear();
            sampleStart = after;
            if (minute >= options.minutes) break;
        }
        box.CleanUp();
    }
    std::error_code error;
    fs::current_path("/", error);
    fs::remove_all(folder, error);
    return result;
}
