#pragma once
// OpenAL Soft reads its configuration once per process, so a test that needs
// another output than the suite's silent one (the wave-file writer, or no
// device at all) runs again as a child process of its own with that
// configuration in its environment. The environment entries made here also
// serve runs of the real program.

#include <string>
#include <vector>

class SoundChildRun
{
public:
    /// Environment entries under which OpenAL Soft writes its stereo mix to
    /// `wav`; the configuration file is written into `folder`.
    static std::vector<std::string> WaveOutput(const std::string& folder, const std::string& wav);
    /// Environment entries under which OpenAL Soft finds no device at all.
    static std::vector<std::string> NoDevice();

    /// Runs the test `name` ("Suite.Test") of this test program again, with
    /// `environment` added, and waits for it. Its exit code (0 = passed); the
    /// child's output is left in `output`.
    static int Run(const std::string& name, const std::vector<std::string>& environment, std::string* output);
    /// True inside such a run.
    static bool InChild();
    /// The wave file of WaveOutput inside such a run; empty elsewhere.
    static std::string WaveFile();
};
