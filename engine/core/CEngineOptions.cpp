#include "CEngineOptions.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace
{
// Index of every argument equal to `option`, in argument order.
std::vector<int> occurrences(int argc, const char* const* argv, const char* option)
{
    std::vector<int> found;
    for (int i = 0; i < argc; ++i)
        if (argv[i] && std::string(argv[i]) == option) found.push_back(i);
    return found;
}

bool parseFrameCount(const char* text, unsigned int& value)
{
    if (!text || !*text) return false;
    errno = 0;
    char* end = nullptr;
    const long long n = std::strtoll(text, &end, 10);
    if (errno != 0 || *end != '\0' || n < 0 || n > UINT_MAX) return false;
    value = static_cast<unsigned int>(n);
    return true;
}
}

CEngineOptions CEngineOptions::Parse(int argc, const char* const* argv)
{
    CEngineOptions o;
    struct SourceRow
    {
        const char* option;
        const char* type;
    };
    const SourceRow sources[] = {{"-imagingplugin", "imagingsource"}, {"-FFMPEG", "FFMPEG"},
                                 {"-dshow", "DSHOW"},                 {"-vrmagic", "VRMAGIC"},
                                 {"-camvideo", "camvideo"}};
    for (const SourceRow& row : sources)
    {
        if (occurrences(argc, argv, row.option).empty()) continue;
        o.videoSourceType = row.type;
        if (std::string(row.option) == "-FFMPEG") o.fixedTimeStep = true;
    }
    for (int i : occurrences(argc, argv, "-usefolder:"))
        if (i + 1 < argc && argv[i + 1]) o.contentFolder = argv[i + 1];
    if (!occurrences(argc, argv, "-vexadebug").empty()) o.debugFolder = true;

    for (int i : occurrences(argc, argv, "-frames:"))
    {
        unsigned int n = 0;
        if (i + 1 < argc && parseFrameCount(argv[i + 1], n))
        {
            o.frameLimit = n;
            o.untilClipEnds = n == 0;
        }
        else
            o.warnings.push_back(std::string("Ignoring -frames: expected a whole number of 0 or more after it, found '") +
                                 (i + 1 < argc && argv[i + 1] ? argv[i + 1] : "") + "'");
    }
    const struct
    {
        const char* option;
        const char* what;
        std::string CEngineOptions::*value;
    } files[] = {{"-video:", "a video file name", &CEngineOptions::videoFile},
                 {"-record:", "the name of the video file to record", &CEngineOptions::recordFile},
                 {"-poses:", "the name of the pose file to write", &CEngineOptions::posesFile}};
    for (const auto& file : files)
        for (int i : occurrences(argc, argv, file.option))
        {
            if (i + 1 < argc && argv[i + 1] && *argv[i + 1])
                o.*file.value = argv[i + 1];
            else
                o.warnings.push_back(std::string("Ignoring ") + file.option + " expected " + file.what +
                                     " after it, found nothing");
        }
    o.headless = !occurrences(argc, argv, "-headless").empty();
    o.keyCommands = !occurrences(argc, argv, "-keys").empty();
    o.watchContent = !occurrences(argc, argv, "-watch").empty();
    o.gui = !occurrences(argc, argv, "-gui").empty();
    o.showHelp = !occurrences(argc, argv, "--help").empty();
    o.showVersion = !occurrences(argc, argv, "--version").empty();
    return o;
}

std::string CEngineOptions::HelpText(const std::string& programName)
{
    struct Row
    {
        const char* option;
        const char* effect;
    };
    // The same table as the README's and the manual pages'.
    static const Row rows[] = {
#include "EngineOptionsTable.inc"
    };
    std::string text = "Usage: " + programName + " [options]\n"
                       "Shows 3D content on the printed markers seen by the camera. It runs in a working\n"
                       "folder holding Data/, models/, Models/splash/, shaders/, fonts/ and Videos/: the one\n"
                       "given with -workdir:, else the current folder when it is one, else the user's own\n"
                       "($XDG_DATA_HOME/vexamark, made from the installed content set).\n"
                       "\n"
                       "Options (each a whole argument; a value follows as the next argument):\n";
    for (const Row& row : rows)
    {
        std::string option = std::string("  ") + row.option;
        option.resize(std::max<size_t>(option.size() + 1, 22), ' ');
        text += option + row.effect + "\n";
    }
    return text + "When several video options are given, the later line of the list wins.\n"
                  "\n"
                  "Environment: VEXAMARK_NONINTERACTIVE=1 sends message boxes to standard error;\n"
                  "VEXAMARK_SAVE_AS=FILE answers save dialogs in unattended runs.\n";
}
