#pragma once
// The engine's command line. Every option is a whole argument compared
// exactly (case-sensitive); options taking a value find it in the next
// argument. Rows are scanned in a fixed order over all arguments, so a later
// row wins over an earlier one and, within a row, the last occurrence wins.

#include <string>
#include <vector>

class CEngineOptions
{
public:
    std::string videoSourceType = "DSHOW";
    bool fixedTimeStep = false;        // "-FFMPEG": every frame advances 0.0333 s
    std::string contentFolder = "models";
    bool debugFolder = false;          // "-vexadebug"
    unsigned int frameLimit = 0;       // "-frames:" N; 0 = run until the window closes
    bool untilClipEnds = false;        // "-frames: 0": the "-video:" file plays once, then the run ends
    std::string videoFile;             // "-video:" FILE
    std::string recordFile;            // "-record:" FILE: what the window shows, encoded
    std::string posesFile;             // "-poses:" FILE: every marker's pose in every analysed frame
    bool headless = false;             // "-headless": draw off screen, no window
    bool watchContent = false;         // "-watch": reload the content set when its files change
    bool keyCommands = false;          // "-keys": the editing keys even when the host leaves them off
    bool gui = false;                  // "-gui": the 3D menu and panels even when the host leaves them off
    bool showHelp = false;             // "--help"
    bool showVersion = false;          // "--version"
    /// One line per argument that was recognised but could not be used.
    std::vector<std::string> warnings;

    /// Parses the whole argument vector, program name included.
    static CEngineOptions Parse(int argc, const char* const* argv);

    /// The option list printed for "--help".
    static std::string HelpText(const std::string& programName);
};
