#include "SoundChildRun.h"

#include "ChildProcess.h"
#include "TestFolder.h"

#include <cstdlib>
#include <filesystem>

namespace
{
const char* const kChildFlag = "VEXA_SOUND_CHILD";
const char* const kWaveFile = "VEXA_SOUND_WAVE_FILE";
}

std::vector<std::string> SoundChildRun::WaveOutput(const std::string& folder, const std::string& wav)
{
    const std::string conf = folder + "/alsoft-wave.conf";
    TestFolder::WriteFile(conf, "[general]\ndrivers = wave\nchannels = stereo\nfrequency = 44100\nhrtf = false\n"
                                "[wave]\nfile = " + wav + "\n");
    return {"ALSOFT_DRIVERS=wave", "ALSOFT_CONF=" + conf, std::string(kWaveFile) + "=" + wav};
}

std::vector<std::string> SoundChildRun::NoDevice()
{
    return {"ALSOFT_DRIVERS=none-at-all"};
}

int SoundChildRun::Run(const std::string& name, const std::vector<std::string>& environment, std::string* output)
{
    std::vector<std::string> env = environment;
    env.push_back(std::string(kChildFlag) + "=1");
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    ChildProcess child(self, {"--gtest_filter=" + name}, std::filesystem::current_path().string(), env);
    const bool ended = child.Wait(120.0);
    if (output) *output = child.StandardOutput() + child.StandardError();
    return ended ? child.ExitCode() : -1;
}

bool SoundChildRun::InChild()
{
    return std::getenv(kChildFlag) != nullptr;
}

std::string SoundChildRun::WaveFile()
{
    const char* wav = std::getenv(kWaveFile);
    return wav ? wav : "";
}
