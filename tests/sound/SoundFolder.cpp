#include "SoundFolder.h"

#include "DemoSounds.h"
#include "EngineLog.h"
#include "WavWriter.h"

#include <filesystem>

void SoundFolder::SetUp()
{
    std::filesystem::create_directories(folder / "Data");
    here = std::make_unique<ScopedCurrentFolder>(folder.Path());
}

void SoundFolder::TearDown()
{
    manager.CleanUp();
    here.reset();
}

void SoundFolder::StartAsTheEngineDoes()
{
    manager.Init(0, nullptr);
    manager.SetListenerPosition(0.f, 0.f, 0.f);
    manager.SetForwardVector(0.f, 0.f, -1.f);
    manager.SetUpVector(0.f, 1.f, 0.f);
}

std::string SoundFolder::WriteTone(const std::string& relative, double seconds, float amplitude, double hertz)
{
    std::filesystem::create_directories(std::filesystem::path(Path(relative)).parent_path());
    EXPECT_TRUE(WavWriter::WriteMono16(Path(relative), DemoSounds::Tone(hertz, seconds, amplitude), DemoSounds::kRate));
    return relative;
}

std::vector<std::string> SoundFolder::LogLines(const std::string& prefix) const
{
    std::vector<std::string> lines;
    for (const std::string& line : LogMessages(TestFolder::ReadFile(folder / "Data/messageLog.txt")))
        if (line.rfind(prefix, 0) == 0) lines.push_back(line);
    return lines;
}
