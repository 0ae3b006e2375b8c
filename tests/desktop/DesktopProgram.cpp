#include "DesktopProgram.h"

#include <chrono>
#include <cmath>
#include <filesystem>
#include <set>
#include <thread>

const char* const DesktopProgram::kMainTitle = "Untitled - VexamarkMFC";

bool NotBlank(const XWindowDriver::Picture& picture)
{
    if (picture.width < 8 || picture.height < 8) return false;
    std::set<int> levels;
    double sum = 0, squares = 0;
    int count = 0;
    for (int y = 0; y < picture.height; y += 4)
        for (int x = 0; x < picture.width; x += 4)
        {
            const int g = picture.Grey(x, y);
            levels.insert(g);
            sum += g;
            squares += double(g) * g;
            ++count;
        }
    const double mean = sum / count;
    const double spread = std::sqrt(std::max(0.0, squares / count - mean * mean));
    return levels.size() >= 16 && spread >= 8.0;
}

void DesktopProgram::SetUp()
{
    ASSERT_FALSE(server.Name().empty()) << "Xvfb did not start";
    ASSERT_TRUE(x.IsOpen()) << "cannot connect to " << server.Name();
    ASSERT_TRUE(x.HasXTest()) << "needs the XTEST extension";
    folder.CopyWorkingFolder();
}

void DesktopProgram::TearDown()
{
    if (!program) return;
    if (main) x.RequestClose(main);
    if (!program->Wait(30.0)) program->Kill();
}

void DesktopProgram::Start(const std::string& path, const std::vector<std::string>& args)
{
    program = std::make_unique<ChildProcess>(
        path, args, folder.Path(),
        std::vector<std::string>{"DISPLAY=" + server.Name(), "VEXAMARK_NONINTERACTIVE=1", "QT_QPA_PLATFORM=xcb",
                                 "VEXAMARK_OPEN_LOG=" + folder / "opened.txt", "HOME=" + folder.Path(),
                                 "XDG_CONFIG_HOME=" + folder / "config", "VEXAMARK_TEST_BY_ID=" + folder / "by-id"});
    main = x.WaitForWindow(kMainTitle, program->Pid(), 90.0);
    ASSERT_NE(main, 0u) << program->StandardError();
    x.PointInto(main);
}

Window DesktopProgram::WaitForWindow(const std::string& title, double seconds)
{
    return x.WaitForWindow(title, program->Pid(), seconds);
}

bool DesktopProgram::WaitForWindowGone(const std::string& title, double seconds)
{
    return WaitUntil(seconds, [&]() { return x.WaitForWindow(title, program->Pid(), 0.0) == 0; });
}

bool DesktopProgram::ScreenshotNotBlank(Window window, const std::string& name)
{
    XWindowDriver::Picture picture;
    const bool seen = x.WaitForPicture(window, 30.0, NotBlank, picture);
    std::filesystem::create_directories(VEXAMARK_SCREENSHOTS);
    picture.Save(std::string(VEXAMARK_SCREENSHOTS) + "/" + name + ".ppm");
    return seen;
}

void DesktopProgram::Menu(const char* menu, const char* item)
{
    x.PointInto(main, 0.3);
    x.Chord(std::string("Alt+") + menu);
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    x.Key(item);
}

Window DesktopProgram::Dialog(const std::string& title, const std::string& screenshot)
{
    const Window dialog = WaitForWindow(title);
    if (!dialog) return 0;
    EXPECT_TRUE(ScreenshotNotBlank(dialog, screenshot)) << title;
    x.PointInto(dialog, 0.3);
    return dialog;
}

bool DesktopProgram::WaitForOpened(const std::string& line)
{
    return WaitUntil(20.0, [&]() { return Opened().find(line + "\n") != std::string::npos; });
}

std::string DesktopProgram::Opened() const
{
    const std::string path = folder / "opened.txt";
    return TestFolder::Exists(path) ? TestFolder::ReadFile(path) : std::string();
}

int DesktopProgram::WaitForExit(double seconds)
{
    if (!program->Wait(seconds)) return -1;
    main = 0;
    return program->ExitCode();
}
