// The console host as a batch tool: a recorded clip becomes an annotated
// video ("-record:") and a pose file ("-poses:"), off screen ("-headless"),
// ending after the clip's last frame ("-frames: 0"); and recording in the
// ways a run can end.
#include "ChildProcess.h"
#include "FootageTruth.h"
#include "TestFolder.h"
#include "XWindowDriver.h"
#include "XvfbServer.h"

#include "MediaFileReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include <signal.h>

namespace
{
const char* const kHost = VEXAMARK_BASIC_PATH;
const char* const kSynth = VEXAMARK_SYNTH_PATH;

// The demo content names two markers; the other two are known by their pattern files.
const std::map<std::string, std::string> kTruthName = {
    {"MARKER_A", "corvane"}, {"MARKER_B", "glyph-f"}, {"Data/arrow.patt", "arrow"}, {"Data/sail.patt", "sail"}};

struct PoseRow
{
    int frame = 0;
    std::string marker;
    bool valid = false;
    double corners[4][2] = {};
    double t[3] = {};
};

// The value after "key": in a JSON line ("" for null).
std::string jsonValue(const std::string& line, const std::string& key)
{
    const size_t at = line.find("\"" + key + "\":");
    if (at == std::string::npos) return "";
    size_t begin = at + key.size() + 3, end = begin;
    if (line[begin] == '"') return line.substr(begin + 1, line.find('"', begin + 1) - begin - 1);
    while (end < line.size() && line[end] != ',' && line[end] != '}') ++end;
    const std::string value = line.substr(begin, end - begin);
    return value == "null" ? "" : value;
}

// The cells of one record, in the field order, from either format.
std::vector<std::string> recordCells(const std::string& line, bool json)
{
    static const char* const fields[25] = {"frame", "time", "marker", "valid", "confidence", "x0",  "y0",
                                           "x1",    "y1",   "x2",     "y2",    "x3",         "y3",  "r00",
                                           "r01",   "r02",  "r10",    "r11",   "r12",        "r20", "r21",
                                           "r22",   "tx",   "ty",     "tz"};
    std::vector<std::string> cells;
    if (json)
    {
        for (const char* field : fields) cells.push_back(jsonValue(line, field));
        return cells;
    }
    std::stringstream s(line);
    for (std::string cell; std::getline(s, cell, ',');) cells.push_back(cell);
    if (!line.empty() && line.back() == ',') cells.push_back("");
    return cells;
}

std::vector<PoseRow> readPoses(const std::string& path, std::string& header)
{
    const bool json = path.size() > 6 && path.compare(path.size() - 6, 6, ".jsonl") == 0;
    std::vector<PoseRow> rows;
    std::ifstream in(path);
    if (!json) std::getline(in, header);
    for (std::string line; std::getline(in, line);)
    {
        const std::vector<std::string> cells = recordCells(line, json);
        EXPECT_EQ(cells.size(), 25u) << line;
        if (cells.size() != 25) continue;
        PoseRow row;
        row.frame = std::stoi(cells[0]);
        row.marker = cells[2];
        row.valid = cells[3] == "1";
        if (row.valid)
        {
            for (int k = 0; k < 8; ++k) row.corners[k / 2][k % 2] = std::stod(cells[5 + k]);
            for (int k = 0; k < 3; ++k) row.t[k] = std::stod(cells[22 + k]);
        }
        rows.push_back(row);
    }
    return rows;
}

double median(std::vector<double> v)
{
    if (v.empty()) return 1e9;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

class BatchRun : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(server.Name().empty()) << "Xvfb did not start";
        folder.CopyWorkingFolder();
    }
    std::unique_ptr<ChildProcess> Run(const std::vector<std::string>& args)
    {
        return std::make_unique<ChildProcess>(
            kHost, args, folder.Path(),
            std::vector<std::string>{"VEXAMARK_NONINTERACTIVE=1", "DISPLAY=" + server.Name(), "HOME=" + folder.Path()});
    }
    // Compares the pose file with the footage's truth: corners, translation
    // and how often each visible marker was found.
    void CheckPosesAgainstTruth(const std::string& poses, const std::string& truthFile, int frames)
    {
        std::string header;
        const std::vector<PoseRow> rows = readPoses(folder / poses, header);
        EXPECT_EQ(header, "frame,time,marker,valid,confidence,x0,y0,x1,y1,x2,y2,x3,y3,r00,r01,r02,r10,r11,r12,r20,r21,"
                          "r22,tx,ty,tz");
        auto truth = FootageTruth::Read(folder / truthFile);
        std::vector<double> relative;
        int visible = 0, found = 0, frameSeen = -1;
        for (const PoseRow& row : rows)
        {
            frameSeen = std::max(frameSeen, row.frame);
            const auto name = kTruthName.find(row.marker);
            ASSERT_NE(name, kTruthName.end()) << row.marker;
            const FootageTruth& t = truth[row.frame][name->second];
            if (!t.visible) continue;
            ++visible;
            if (!row.valid) continue;
            ++found;
            for (int k = 0; k < 4; ++k)
                EXPECT_NEAR(std::hypot(row.corners[k][0] - t.corners[k][0], row.corners[k][1] - t.corners[k][1]), 0,
                            3.0)
                    << "frame " << row.frame << " " << row.marker << " corner " << k;
            const double distance = std::hypot(t.t[0], t.t[1], t.t[2]);
            relative.push_back(std::hypot(row.t[0] - t.t[0], row.t[1] - t.t[1], row.t[2] - t.t[2]) / distance);
        }
        EXPECT_EQ(frameSeen, frames - 1);
        ASSERT_GT(visible, 0);
        EXPECT_GE(double(found) / visible, 0.95) << found << " of " << visible;
        EXPECT_LT(median(relative), 0.005) << "median translation error, relative to the distance";
    }

    XvfbServer server;
    TestFolder folder;
};

TEST_F(BatchRun, TheDemoClipBecomesAPlayableRecordingAndPosesMatchingTheTruth)
{
    const auto start = std::chrono::steady_clock::now();
    auto host = Run({"-FFMPEG", "-video:", "Videos/demo.mp4", "-frames:", "0", "-record:", "out.mp4", "-poses:",
                     "out.csv", "-headless"});
    ASSERT_TRUE(host->Wait(300.0)) << "the run did not end after the clip";
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(host->ExitCode(), 0) << host->StandardError();
    vexa::media::MediaFileReader clip, recording;
    ASSERT_TRUE(clip.open(folder / "Videos/demo.mp4"));
    ASSERT_TRUE(recording.open(folder / "out.mp4")) << recording.lastError();
    EXPECT_EQ(recording.info().width, 640);
    EXPECT_EQ(recording.info().height, 480);
    EXPECT_EQ(recording.info().frameCount, clip.info().frameCount);
    EXPECT_NEAR(recording.info().frameRate, 1 / 0.0333, 0.05);
    EXPECT_TRUE(recording.info().hasAudio) << "the demo's sounds are in the recording";
    CheckPosesAgainstTruth("out.csv", "Videos/demo.csv", static_cast<int>(clip.info().frameCount));
    std::printf("batch run of the %lld-frame demo clip: %.1f s (%.1f frames/s with start-up)\n",
                static_cast<long long>(clip.info().frameCount), seconds, clip.info().frameCount / seconds);
}

TEST_F(BatchRun, PosesOfFootageTheTrackerWasNotTunedOnAsJsonLines)
{
    // Two of the content set's markers on footage of their own.
    ChildProcess synth(kSynth,
                       {"--seed", "4711", "--frames", "120", "--intrinsics", "700", "700", "320", "240", "--background",
                        "cloth", "--noise", "3", "--marker", "MARKER_B=design:glyph-f,path=orbit", "--marker",
                        "sail=design:sail,path=drift", "--out", "Videos/unseen.mp4", "--quiet"},
                       folder.Path());
    ASSERT_TRUE(synth.Wait(120.0));
    ASSERT_EQ(synth.ExitCode(), 0) << synth.StandardError();
    auto host = Run({"-FFMPEG", "-video:", "Videos/unseen.mp4", "-frames:", "0", "-poses:", "unseen.jsonl", "-headless"});
    ASSERT_TRUE(host->Wait(300.0));
    EXPECT_EQ(host->ExitCode(), 0) << host->StandardError();
    std::string header;
    const std::vector<PoseRow> rows = readPoses(folder / "unseen.jsonl", header);
    auto all = FootageTruth::Read(folder / "Videos/unseen.csv");
    std::vector<double> relative;
    int visible = 0, found = 0;
    for (const PoseRow& row : rows)
    {
        if (row.marker != "MARKER_B" && row.marker != "Data/sail.patt") continue;
        const FootageTruth& t = all[row.frame][row.marker == "MARKER_B" ? "MARKER_B" : "sail"];
        if (!t.visible) continue;
        ++visible;
        if (!row.valid) continue;
        ++found;
        const double distance = std::hypot(t.t[0], t.t[1], t.t[2]);
        relative.push_back(std::hypot(row.t[0] - t.t[0], row.t[1] - t.t[1], row.t[2] - t.t[2]) / distance);
    }
    ASSERT_GT(visible, 100);
    EXPECT_GE(double(found) / visible, 0.95) << found << " of " << visible;
    EXPECT_LT(median(relative), 0.005);
}

TEST_F(BatchRun, ClosingTheWindowWhileRecordingLeavesAPlayableFile)
{
    XWindowDriver x(server.Name());
    auto host = Run({"-video:", "Videos/demo.mp4", "-record:", "closed.mp4"});
    const Window window = x.WaitForWindow("Vexamark", host->Pid(), 60.0);
    ASSERT_NE(window, 0u) << host->StandardError();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    x.RequestClose(window);
    ASSERT_TRUE(host->Wait(30.0));
    EXPECT_EQ(host->ExitCode(), 0);
    vexa::media::MediaFileReader recording;
    ASSERT_TRUE(recording.open(folder / "closed.mp4")) << recording.lastError();
    EXPECT_GT(recording.info().frameCount, 0);
}

TEST_F(BatchRun, InterruptingTheRunFinishesTheRecording)
{
    auto host = Run({"-video:", "Videos/demo.mp4", "-record:", "interrupted.mp4", "-headless"});
    ASSERT_TRUE(WaitUntil(60.0, [&]() {
        return TestFolder::ReadFile(folder / "Data/messageLog.txt").find("VexaBox :Init : Complete") !=
               std::string::npos;
    }));
    std::this_thread::sleep_for(std::chrono::seconds(2));
    ::kill(host->Pid(), SIGINT);  // Ctrl+C in the terminal
    ASSERT_TRUE(host->Wait(30.0));
    EXPECT_EQ(host->ExitCode(), 0) << host->StandardError();
    vexa::media::MediaFileReader recording;
    ASSERT_TRUE(recording.open(folder / "interrupted.mp4")) << recording.lastError();
    EXPECT_GT(recording.info().frameCount, 0);
}

// (How many frames a run of a few seconds draws depends on the machine's
// load; what these tests hold is that the file is finished and plays.)

// The X server ending under the program (a kiosk's session closing, a remote
// display dropping) ends the run in order: one line saying why, the recording
// finished, and the exit code of a closed window.
TEST_F(BatchRun, TheXServerGoingAwayEndsTheRunInOrderAndFinishesTheRecording)
{
    auto host = Run({"-video:", "Videos/demo.mp4", "-record:", "lost.mp4"});
    {
        XWindowDriver x(server.Name());  // closed before the server goes
        ASSERT_NE(x.WaitForWindow("Vexamark", host->Pid(), 60.0), 0u) << host->StandardError();
    }
    std::this_thread::sleep_for(std::chrono::seconds(3));
    server.Stop();
    ASSERT_TRUE(host->Wait(30.0)) << "the program did not end without its X server";
    EXPECT_EQ(host->ExitCode(), 0) << host->StandardError();
    const std::string said = "the connection to the X server was lost; the program ends";
    const std::string errors = host->StandardError();
    EXPECT_NE(errors.find(said), std::string::npos) << errors;
    EXPECT_EQ(errors.find(said), errors.rfind(said)) << "said more than once: " << errors;
    const std::string log = TestFolder::ReadFile(folder / "Data/messageLog.txt");
    EXPECT_NE(log.find("RenderSurface: " + said), std::string::npos) << log;
    vexa::media::MediaFileReader recording;
    ASSERT_TRUE(recording.open(folder / "lost.mp4")) << recording.lastError();
    EXPECT_GT(recording.info().frameCount, 0) << TestFolder::ReadFile(folder / "Data/messageLog.txt");
}

TEST_F(BatchRun, AFullDiskEndsTheRecordingWithOneMessageAndTheRunGoesOn)
{
    // No file of the run may grow past 500 kB: the recording meets that
    // limit part-way, as it would meet a full disk.
    auto host = std::make_unique<ChildProcess>(
        "/usr/bin/prlimit",
        std::vector<std::string>{"--fsize=500000", "--", kHost, "-FFMPEG", "-video:", "Videos/demo.mp4", "-frames:",
                                 "120", "-record:", "full.mp4", "-headless"},
        folder.Path(), std::vector<std::string>{"VEXAMARK_NONINTERACTIVE=1", "DISPLAY=" + server.Name()});
    ASSERT_TRUE(host->Wait(120.0));
    EXPECT_EQ(host->ExitCode(), 0) << host->StandardError();
    std::istringstream lines(host->StandardError());
    int said = 0;
    for (std::string line; std::getline(lines, line);)
        if (line.find("full.mp4") != std::string::npos)
        {
            ++said;
            EXPECT_EQ(line.rfind("Vexamark: recording to full.mp4 stopped: ", 0), 0u) << line;
        }
    EXPECT_EQ(said, 1) << host->StandardError();
    EXPECT_FALSE(TestFolder::Exists(folder / "full.mp4"));
    EXPECT_FALSE(TestFolder::Exists(folder / "full.partial.mp4"));
    // The run went on to its end and saved its settings in order.
    const std::string log = TestFolder::ReadFile(folder / "Data/messageLog.txt");
    EXPECT_NE(log.find("recording to full.mp4 stopped"), std::string::npos) << log;
    EXPECT_NE(TestFolder::ReadFile(folder / "Data/VexaSettings.tsf").find("<THRESHOLD>"), std::string::npos);
}
}
