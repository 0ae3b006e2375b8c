#include "HostOnScreen.h"

#include <cstdlib>

void HostOnScreen::SetUp()
{
    ASSERT_FALSE(server.Name().empty()) << "Xvfb did not start";
    ASSERT_TRUE(x.IsOpen());
    folder.CopyWorkingFolder();
}

void HostOnScreen::Start(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& environment)
{
    std::vector<std::string> env{"VEXAMARK_NONINTERACTIVE=1", "ALSOFT_DRIVERS=null", "DISPLAY=" + server.Name()};
    env.insert(env.end(), environment.begin(), environment.end());  // later entries win
    host = std::make_unique<ChildProcess>(program, args, folder.Path(), env);
    window = x.WaitForWindow("Vexamark", host->Pid(), 60.0);
    ASSERT_NE(window, 0u) << host->StandardError();
}

void HostOnScreen::Close()
{
    x.RequestClose(window);
    ASSERT_TRUE(host->Wait(60.0)) << "the host did not end";
    EXPECT_EQ(host->ExitCode(), 0) << host->StandardError();
}

std::string HostOnScreen::Log() const
{
    return TestFolder::ReadFile(folder / "Data/messageLog.txt");
}

int CountWhere(const XWindowDriver::Picture& picture, bool (*test)(const uint8_t*), int top)
{
    int count = 0;
    for (int y = top; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) count += test(picture.At(x, y));
    return count;
}

int Differing(const XWindowDriver::Picture& a, const XWindowDriver::Picture& b, int step)
{
    if (a.width != b.width || a.height != b.height) return 0;
    int count = 0;
    for (size_t i = 0; i + 2 < a.rgb.size(); i += 3)
        count += std::abs(a.rgb[i] - b.rgb[i]) + std::abs(a.rgb[i + 1] - b.rgb[i + 1]) +
                     std::abs(a.rgb[i + 2] - b.rgb[i + 2]) >
                 step;
    return count;
}
