// Live reload of content ("-watch") in the real console host on an X server
// of the test's own, on footage of a still card carrying a plate: a new
// colour in the model group file shows on screen; a broken edit keeps the
// plate as it was and puts the first error on the text HUD; the repaired file
// shows again; fifty reloads leave no descriptor behind and little memory;
// the tracker's threshold survives the reloads.
#include "ChildProcess.h"
#include "EngineLog.h"
#include "HostOnScreen.h"
#include "TestFolder.h"
#include "XWindowDriver.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <thread>

namespace
{
const char* const kHost = VEXAMARK_BASIC_PATH;
const char* const kSynth = VEXAMARK_SYNTH_PATH;
const char* const kReloaded = "VexaBox : Reload : reloaded the content set after a change to ";
const char* const kRefused = "VexaBox : Reload : kept the last good content after a change to ";

// A block 70 mm wide on the card (a cube: it shows whichever way the model
// group turns it), lit by the bundled light rig.
const char* const kPlate =
    "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\nv -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n"
    "vn 0 0 -1\nvn 0 0 1\nvn 0 -1 0\nvn 0 1 0\nvn -1 0 0\nvn 1 0 0\n"
    "f 1//1 4//1 3//1 2//1\nf 5//2 6//2 7//2 8//2\nf 1//3 2//3 6//3 5//3\n"
    "f 4//4 8//4 7//4 3//4\nf 1//5 5//5 8//5 4//5\nf 2//6 3//6 7//6 6//6\n";

std::string plateGroup(const std::string& colour, const std::string& model = "plate.obj")
{
    return "<MATERIAL> 0\n    <TYPE> STANDARD\n    <LIGHTING_ATTS> " + colour + " 1  " + colour +
           " 1  0 0 0 1  1\n</MATERIAL>\n<MODEL>\n    <FILENAME> " + model + " 70\n    <APPLY_MATERIAL> 0\n</MODEL>\n";
}

bool red(const uint8_t* p)
{
    return p[0] > 150 && p[1] < 90 && p[2] < 90;
}

bool blue(const uint8_t* p)
{
    return p[2] > 150 && p[0] < 90 && p[1] < 90;
}

// Pixels that differ clearly between two pictures of one size in the band
// along the bottom left, where the text HUD shows its message.
int messageBandChanges(const XWindowDriver::Picture& a, const XWindowDriver::Picture& b)
{
    int count = 0;
    for (int y = a.height * 17 / 20; y < a.height && a.height == b.height; ++y)
        for (int x = 0; x < a.width * 3 / 5 && a.width == b.width; ++x)
        {
            const uint8_t* p = a.At(x, y);
            const uint8_t* q = b.At(x, y);
            count += std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]) > 100;
        }
    return count;
}

int openDescriptors(long pid)
{
    int count = 0;
    if (DIR* dir = opendir(("/proc/" + std::to_string(pid) + "/fd").c_str()))
    {
        while (dirent* entry = readdir(dir)) count += entry->d_name[0] != '.';
        closedir(dir);
    }
    return count;
}

long residentKilobytes(long pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

class LiveReload : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(server.Name().empty()) << "Xvfb did not start";
        ASSERT_TRUE(x.IsOpen());
        folder.CopyWorkingFolder();
        ChildProcess synth(kSynth,
                           {"--size", "640", "480", "--fps", "25", "--frames", "25", "--intrinsics", "700", "700",
                            "320", "240", "--background", "flat", "--marker",
                            "glyph-f=design:glyph-f,width=80,distance=450:450,tilt=0,path=still", "--out",
                            "Videos/still.mp4", "--quiet"},
                           folder.Path());
        ASSERT_TRUE(synth.Wait(120.0));
        ASSERT_EQ(synth.ExitCode(), 0) << synth.StandardError();
        TestFolder::WriteFile(folder / "models/plate.obj", kPlate);
        TestFolder::WriteFile(folder / "models/plate.zep", plateGroup("0.9 0.05 0.05"));
        TestFolder::WriteFile(folder / "models/live.dat",
                              "<VEXA_MARKER>\n<FILE> Data/glyph-f.patt\n<SIZE> 80\n<NAME> CARD\n</VEXA_MARKER>\n"
                              "<ENTITY>\n<NAME> PLATE\n<MARKER> CARD\n<MODEL>\n<FILE> models/plate.zep\n</MODEL>\n"
                              "</ENTITY>\n");
        TestFolder::WriteFile(folder / "Data/dataList.dat", "<DAT>\n<ASSET_FILE> models/live.dat\n</DAT>\n");
        ASSERT_TRUE(ReplaceSetting("<THRESHOLD>", "    <THRESHOLD> 117 \n"));
        host = std::make_unique<ChildProcess>(
            kHost, std::vector<std::string>{"-watch", "-video:", "Videos/still.mp4"}, folder.Path(),
            std::vector<std::string>{"VEXAMARK_NONINTERACTIVE=1", "ALSOFT_DRIVERS=null", "DISPLAY=" + server.Name()});
        window = x.WaitForWindow("Vexamark", host->Pid(), 60.0);
        ASSERT_NE(window, 0u) << host->StandardError();
    }

    bool ReplaceSetting(const std::string& tag, const std::string& line)
    {
        std::string text = TestFolder::ReadFile(folder / "Data/VexaSettings.tsf");
        const size_t at = text.find("    " + tag);
        if (at == std::string::npos) return false;
        text.replace(at, text.find('\n', at) + 1 - at, line);
        TestFolder::WriteFile(folder / "Data/VexaSettings.tsf", text);
        return true;
    }

    XWindowDriver::Picture WaitFor(bool (*colour)(const uint8_t*), const char* what)
    {
        XWindowDriver::Picture picture;
        EXPECT_TRUE(x.WaitForPicture(window, 60.0, [&](const XWindowDriver::Picture& p) {
            return CountWhere(p, colour) >= 400;
        }, picture)) << "no " << what << " plate on the picture (" << CountWhere(picture, colour)
                     << " pixels; the picture is in " << folder.Path() << "/last.ppm)";
        if (CountWhere(picture, colour) < 400) picture.Save("/tmp/live-reload-last.ppm");
        return picture;
    }

    int LogCount(const std::string& start) const
    {
        int count = 0;
        for (const std::string& message : LogMessages(TestFolder::ReadFile(folder / "Data/messageLog.txt")))
            count += message.rfind(start, 0) == 0;
        return count;
    }

    std::string LastLog(const std::string& start) const
    {
        std::string last;
        for (const std::string& message : LogMessages(TestFolder::ReadFile(folder / "Data/messageLog.txt")))
            if (message.rfind(start, 0) == 0) last = message;
        return last;
    }

    bool WaitForLogCount(const std::string& start, int count) const
    {
        for (int i = 0; i < 600; ++i)
        {
            if (LogCount(start) >= count) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }

    void Close()
    {
        x.RequestClose(window);
        ASSERT_TRUE(host->Wait(60.0)) << "the host did not end";
        EXPECT_EQ(host->ExitCode(), 0) << host->StandardError();
    }

    XvfbServer server;
    XWindowDriver x{server.Name()};
    TestFolder folder;
    std::unique_ptr<ChildProcess> host;
    Window window = 0;
};

TEST_F(LiveReload, AnEditShowsABrokenEditKeepsTheOldContentWithItsErrorAndARepairShows)
{
    WaitFor(red, "red");

    const auto edited = std::chrono::steady_clock::now();
    TestFolder::WriteFile(folder / "models/plate.zep", plateGroup("0.05 0.05 0.9"));
    XWindowDriver::Picture picture = WaitFor(blue, "blue");
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - edited).count();
    std::printf("[ figure ] the edit showed on screen %.2f s after the file was written\n", seconds);
    EXPECT_EQ(CountWhere(picture, red), 0);
    EXPECT_EQ(LastLog(kReloaded).rfind(std::string(kReloaded) + "models/plate.zep in ", 0), 0u) << LastLog(kReloaded);

    // A model that is not there: the blue plate stays and the error is shown.
    const XWindowDriver::Picture before = x.Grab(window);
    TestFolder::WriteFile(folder / "models/plate.zep", plateGroup("0.05 0.9 0.05", "missing.obj"));
    ASSERT_TRUE(WaitForLogCount(kRefused, 1));
    // The first error by file and line: the model group that could not be loaded.
    EXPECT_NE(LastLog(kRefused).find("): models/live.dat:10: error: Could not load model models/plate.zep"),
              std::string::npos)
        << LastLog(kRefused);
    EXPECT_TRUE(x.WaitForPicture(window, 30.0, [&](const XWindowDriver::Picture& p) {
        return messageBandChanges(before, p) > 20;
    }, picture)) << "no error text on the HUD";
    EXPECT_GE(CountWhere(picture, blue), 400) << "the last good content is gone";

    TestFolder::WriteFile(folder / "models/plate.zep", plateGroup("0.9 0.05 0.05"));
    WaitFor(red, "repaired red");
    Close();
    // The threshold the run started with stayed through the reloads.
    EXPECT_NE(TestFolder::ReadFile(folder / "Data/VexaSettings.tsf").find("    <THRESHOLD> 117 \n"), std::string::npos);
}

TEST_F(LiveReload, FiftyReloadsLeaveNoDescriptorAndLittleMemoryBehind)
{
    WaitFor(red, "red");
    const int reloadsBefore = LogCount(kReloaded);
    // Warm-up reloads first: caches (shaders, fonts, textures) fill once.
    for (int i = 1; i <= 3; ++i)
    {
        TestFolder::WriteFile(folder / "models/plate.zep", plateGroup(i % 2 ? "0.05 0.05 0.9" : "0.9 0.05 0.05"));
        ASSERT_TRUE(WaitForLogCount(kReloaded, reloadsBefore + i));
    }
    const int descriptors = openDescriptors(host->Pid());
    const long resident = residentKilobytes(host->Pid());
    const auto start = std::chrono::steady_clock::now();
    for (int i = 1; i <= 50; ++i)
    {
        TestFolder::WriteFile(folder / "models/plate.zep", plateGroup(i % 2 ? "0.9 0.05 0.05" : "0.05 0.05 0.9"));
        ASSERT_TRUE(WaitForLogCount(kReloaded, reloadsBefore + 3 + i)) << "reload " << i;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long grown = residentKilobytes(host->Pid()) - resident;
    std::printf("[ figure ] 50 reloads in %.1f s; resident memory %+ld kB; descriptors %d -> %d\n", seconds, grown,
                descriptors, openDescriptors(host->Pid()));
    EXPECT_LE(openDescriptors(host->Pid()), descriptors);
#if !defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer holds freed memory back in quarantine, so resident
    // memory there says nothing of what the program keeps.
    EXPECT_LT(grown, 20 * 1024) << "kB more after 50 reloads";
#endif
    Close();
}
}  // namespace
