// bench_tracker_peers: our tracker against OpenCV's ArUco detector and
// AprilTag 3 on lossless synthetic frames rendered by vexamark-synth, each
// family with its own markers at the same poses. Per condition and detector:
// median time per frame on one thread (median over rounds), detection rate,
// false positives per frame, corner error, translation error and heap
// allocations per frame after warm-up; then the time ratios. Run by hand.
//
//   bench_tracker_peers [--work DIR] [--frames N] [--rounds R] [--only NAME]...
//                       [--render-threads N] [--synth EXE] [--marker EXE] [--calibrate EXE]
#include "AllocationCounter.h"
#include "AprilTagPeer.h"
#include "ArucoPeer.h"
#include "FootageMaker.h"
#include "OursDetector.h"
#include "Scorecard.h"
#include "TruthTable.h"

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace peerbench;

namespace
{
const int kWarmUpFrames = 5;  // per round, not counted for allocations
const double kMarkerWidthMm = 80.0;

struct Options
{
    std::string work = "/tmp/vexamark-tracker-peers";
    int frames = 100;
    int rounds = 3;
    int renderThreads = 1;
    std::vector<std::string> only;
    Tools tools{VEXAMARK_SYNTH_EXE, VEXAMARK_MARKER_EXE, VEXAMARK_CALIBRATE_EXE};
};

std::vector<Condition> conditions()
{
    const char* hd = "";
    std::vector<Condition> list = {
        {"vga-1-clean", "640x480, 1 marker, clean", 640, 480, 1, ""},
        {"vga-4-clean", "640x480, 4 markers, clean", 640, 480, 4, ""},
        {"vga-4-noise", "640x480, 4 markers, noise 8", 640, 480, 4, "--noise 8"},
        {"vga-4-blur", "640x480, 4 markers, blur 1.5", 640, 480, 4, "--blur 1.5"},
        {"vga-4-light", "640x480, 4 markers, lighting gradient", 640, 480, 4, "--lighting 0.3 1.2 20"},
        {"vga-4-small", "640x480, 4 markers of 30 px, noise 8 + blur 1.5", 640, 480, 4,
         "--marker-px 30 --noise 8 --blur 1.5"},
        {"vga-8-clean", "640x480, 8 markers, clean", 640, 480, 8, ""},
        {"hd-1-clean", "1280x720, 1 marker, clean", 1280, 720, 1, hd},
        {"hd-4-clean", "1280x720, 4 markers, clean", 1280, 720, 4, hd},
        {"hd-8-clean", "1280x720, 8 markers, clean", 1280, 720, 8, hd},
        {"hd-8-noise", "1280x720, 8 markers, noise 8", 1280, 720, 8, "--noise 8"},
        {"hd-8-small", "1280x720, 8 markers of 30 px, noise 8 + blur 1.5", 1280, 720, 8,
         "--marker-px 30 --noise 8 --blur 1.5"},
    };
    for (Condition& c : list)
        if (c.width == 1280)
        {
            c.fx = c.fy = 1000;
            c.cx = 640;
            c.cy = 360;
        }
    return list;
}

bool parseOptions(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--work" && hasValue) o.work = argv[++i];
        else if (a == "--frames" && hasValue) o.frames = std::max(kWarmUpFrames + 1, std::atoi(argv[++i]));
        else if (a == "--rounds" && hasValue) o.rounds = std::max(1, std::atoi(argv[++i]));
        else if (a == "--render-threads" && hasValue) o.renderThreads = std::max(1, std::atoi(argv[++i]));
        else if (a == "--only" && hasValue) o.only.push_back(argv[++i]);
        else if (a == "--synth" && hasValue) o.tools.synth = argv[++i];
        else if (a == "--marker" && hasValue) o.tools.marker = argv[++i];
        else if (a == "--calibrate" && hasValue) o.tools.calibrate = argv[++i];
        else
        {
            std::fprintf(stderr, "bench_tracker_peers: unknown or incomplete option '%s'\n", a.c_str());
            return false;
        }
    }
    return true;
}

bool loadFrames(const std::string& dir, int count, std::vector<cv::Mat>& frames, std::string& error)
{
    frames.clear();
    for (int i = 0; i < count; ++i)
    {
        char name[64];
        std::snprintf(name, sizeof name, "/frame_%06d.png", i);
        frames.push_back(cv::imread(dir + name, cv::IMREAD_COLOR));
        if (frames.back().empty())
        {
            error = "cannot read '" + dir + name + "'";
            return false;
        }
    }
    return true;
}

// The peers' footage must carry the same poses as ours.
double largestPoseDifference(const TruthTable& a, const TruthTable& b)
{
    double worst = 0;
    for (int f = 0; f < std::min(a.frameCount(), b.frameCount()); ++f)
        for (int m = 0; m < std::min(a.markerCount(), b.markerCount()); ++m)
            for (int k = 0; k < 3; ++k)
                worst = std::max(worst, std::fabs(a.frame(f)[static_cast<size_t>(m)].t[k] -
                                                  b.frame(f)[static_cast<size_t>(m)].t[k]));
    return worst;
}

// One detector over all frames of one round.
void runRound(MarkerDetector& detector, const std::vector<cv::Mat>& frames, const TruthTable& truth, int round,
              Scorecard& card)
{
    std::vector<Detection> found(64);
    for (size_t i = 0; i < frames.size(); ++i)
    {
        detector.load(frames[i]);
        const AllocationCount before = allocationsSoFar();
        const auto t0 = std::chrono::steady_clock::now();
        detector.process();
        const auto t1 = std::chrono::steady_clock::now();
        const AllocationCount after = allocationsSoFar();
        card.addTime(round, std::chrono::duration<double, std::milli>(t1 - t0).count());
        if (i >= static_cast<size_t>(kWarmUpFrames))
            card.addAllocations({after.news - before.news, after.mallocs - before.mallocs});
        if (round == 0)
        {
            const int n = detector.collect(found.data(), static_cast<int>(found.size()));
            card.addFrame(truth.frame(static_cast<int>(i)), found.data(), n);
        }
    }
}

struct Row
{
    std::string detector;
    ScoreSummary s;
};

void printRows(const Condition& c, const std::vector<Row>& rows)
{
    const double ours = rows[0].s.msMedian;
    for (const Row& r : rows)
        std::printf("| %s | %s | %.3f (±%.2f) | %.2f | %.1f %% | %.2f | %.3f / %.3f | %.3f %% | %.1f (%.1f) |\n",
                    c.label.c_str(), r.detector.c_str(), r.s.msMedian, 0.5 * r.s.msSpread,
                    ours > 0 ? r.s.msMedian / ours : 0.0, 100.0 * r.s.detectionRate, r.s.falsePerFrame,
                    r.s.cornerMean, r.s.cornerRms, r.s.translationMedian, r.s.newsPerFrame, r.s.mallocsPerFrame);
    std::fflush(stdout);
    for (const Row& r : rows)
        std::fprintf(stderr, "%s / %s: mean signed corner error %+.3f %+.3f px over %d visible markers\n",
                     c.name.c_str(), r.detector.c_str(), r.s.biasX, r.s.biasY, r.s.visible);
}

// Runs one condition; false with `error` when its material cannot be made.
bool runCondition(const Condition& c, const Options& o, FootageMaker& maker, std::vector<Row>& rows,
                  std::string& error)
{
    const Family families[3] = {Family::Ours, Family::Aruco, Family::AprilTag};
    TruthTable truth[3];
    std::vector<cv::Mat> frames[3];
    for (int f = 0; f < 3; ++f)
    {
        if (!maker.makeFrames(c, families[f], error)) return false;
        const std::string dir = maker.frameDir(c, families[f]);
        if (!truth[f].load(dir + "/truth.csv", error) || !loadFrames(dir, o.frames, frames[f], error)) return false;
    }
    for (int f = 1; f < 3; ++f)
        if (largestPoseDifference(truth[0], truth[f]) > 1e-6)
            std::fprintf(stderr, "warning: %s: %s footage has other poses than ours (%.3g mm)\n", c.name.c_str(),
                         familyName(families[f]), largestPoseDifference(truth[0], truth[f]));
    std::string camera;
    if (!maker.cameraFile(c, camera, error)) return false;

    // Index 0, 1: ours (global, adaptive threshold); 2 ArUco; 3 AprilTag.
    std::vector<Scorecard> cards(4, Scorecard(o.rounds));
    std::vector<std::string> names(4);
    for (int round = 0; round < o.rounds; ++round)
        for (int d = 0; d < 4; ++d)
        {
            std::unique_ptr<MarkerDetector> det;
            if (d < 2)
            {
                auto ours = std::make_unique<OursDetector>();
                if (!ours->init(c.width, c.height, camera, maker.patternFiles(), kMarkerWidthMm, d == 1, error))
                    return false;
                det = std::move(ours);
            }
            else if (d == 2)
                det = std::make_unique<ArucoPeer>(c.fx, c.fy, c.cx, c.cy, kMarkerWidthMm);
            else
                det = std::make_unique<AprilTagPeer>(c.fx, c.fy, c.cx, c.cy, kMarkerWidthMm);
            names[static_cast<size_t>(d)] = det->name();
            const int fam = d < 2 ? 0 : d - 1;
            runRound(*det, frames[fam], truth[fam], round, cards[static_cast<size_t>(d)]);
        }
    rows.clear();
    for (int d = 0; d < 4; ++d) rows.push_back({names[static_cast<size_t>(d)], cards[static_cast<size_t>(d)].summary()});
    return true;
}

void printRatios(const std::vector<std::pair<Condition, std::vector<Row>>>& all)
{
    std::printf("\n| condition | ours ms | ArUco / ours | AprilTag / ours | faster peer / ours | "
                "faster peer / ours adaptive |\n|---|---|---|---|---|---|\n");
    for (const auto& [c, rows] : all)
    {
        const double ours = rows[0].s.msMedian, adaptive = rows[1].s.msMedian;
        const double faster = std::min(rows[2].s.msMedian, rows[3].s.msMedian);
        std::printf("| %s | %.3f | %.1f | %.1f | %.1f | %.1f |\n", c.label.c_str(), ours, rows[2].s.msMedian / ours,
                    rows[3].s.msMedian / ours, faster / ours, faster / adaptive);
    }
}
}

int main(int argc, char** argv)
{
    Options o;
    if (!parseOptions(argc, argv, o)) return 2;
    cv::setNumThreads(1);
    FootageMaker maker(o.tools, o.work, o.frames, o.renderThreads);
    std::string error;
    if (!maker.prepare(error))
    {
        std::fprintf(stderr, "bench_tracker_peers: %s\n", error.c_str());
        return 1;
    }
    std::printf("%d frames per condition, %d rounds, one thread; times: median over rounds of the median per frame "
                "(± half the spread of the round medians)\n\n",
                o.frames, o.rounds);
    std::printf("| condition | detector | ms/frame | × ours | detected | false/frame | corner mean / RMS px | "
                "translation median | allocations/frame: new (all) |\n|---|---|---|---|---|---|---|---|---|\n");
    std::vector<std::pair<Condition, std::vector<Row>>> all;
    for (const Condition& c : conditions())
    {
        if (!o.only.empty() && std::find(o.only.begin(), o.only.end(), c.name) == o.only.end()) continue;
        std::vector<Row> rows;
        if (!runCondition(c, o, maker, rows, error))
        {
            std::fprintf(stderr, "bench_tracker_peers: %s: %s\n", c.name.c_str(), error.c_str());
            return 1;
        }
        printRows(c, rows);
        all.emplace_back(c, rows);
    }
    printRatios(all);
    return 0;
}
