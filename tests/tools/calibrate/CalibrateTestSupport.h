#pragma once
// Helpers for the calibration tool's tests: a private temporary folder, running
// a command with its output and exit status, a chessboard picture and synthetic
// footage of it rendered through a known camera by vexamark-synth.

#include <gtest/gtest.h>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace calibtest
{
class TempDir
{
public:
    TempDir()
    {
        char tmpl[] = "/tmp/vexamark-calibrate-test-XXXXXX";
        const char* made = mkdtemp(tmpl);
        path_ = made ? made : "/tmp";
    }
    ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

struct CommandResult
{
    int status = -1;     // exit status
    std::string output;  // standard output and error together
};

inline CommandResult run(const std::string& command)
{
    CommandResult r;
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.output.append(buf, n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

inline std::string calibrateExe()
{
    return VEXAMARK_CALIBRATE_EXE;
}

// The board: 8 x 6 squares (7 x 5 inner corners) in a square picture of
// 10 x 10 cells of `cell` pixels, white around it. The whole picture is the
// "marker square" of the synthesiser, so with a card width W mm one square
// is W / 10 mm.
const int kBoardCols = 7, kBoardRows = 5;

inline bool writeBoardPicture(const std::string& path, int cell = 24)
{
    cv::Mat img(10 * cell, 10 * cell, CV_8UC1, cv::Scalar(255));
    for (int r = 0; r < kBoardRows + 1; ++r)
        for (int c = 0; c < kBoardCols + 1; ++c)
            if ((r + c) % 2 == 0)
                cv::rectangle(img, cv::Rect((1 + c) * cell, (2 + r) * cell, cell, cell), cv::Scalar(0), cv::FILLED);
    return cv::imwrite(path, img);
}

// Renders `frames` frames of the board card (200 mm wide, so 20 mm squares),
// one second apart so the views differ,
// through the camera `intrinsics` ("FX FY CX CY") and `distortion`; `output`
// is "--png-dir DIR" or "--out FILE".
inline CommandResult renderBoard(const TempDir& dir, const std::string& intrinsics, const std::string& distortion,
                                 int frames, const std::string& output)
{
    const std::string board = dir.file("board.png");
    if (!writeBoardPicture(board)) return CommandResult{};
    return run(std::string(VEXAMARK_SYNTH_EXE) + " --quiet --seed 7 --fps 1 --frames " + std::to_string(frames) +
               " --marker 'board=" + board + ",box=full,width=200,distance=450:800,tilt=65' --background flat" +
               " --intrinsics " + intrinsics + " --distortion " + distortion + " " + output);
}
}
