// bench_tracker_peers: our tracker against OpenCV's ArUco detector and
// AprilTag 3 on lossless synthetic frames rendered by vexamark-synth, each
// family with its own markers at the same poses; ours in three marker sets
// (the demo's four designs, the other four, random block pictures), each with
// its own poses. Per condition and detector: median time per frame on one
// thread (median over rounds), detection rate, false positives per frame,
// corner error, translation error and heap allocations per frame after
// warm-up; then the summary against the bar (ours at least five times faster
// than the faster peer, finding as much as the better one). Run by hand.
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
#include <opencv2/imgproc.hpp>

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
    int frames = 40;
    int rounds = 3;
    int renderThreads = 1;
    std::vector<std::string> only;
    Tools tools{VEXAMARK_SYNTH_EXE, VEXAMARK_MARKER_EXE, VEXAMARK_CALIBRATE_EXE};
};

// The six conditions of the robustness bar at 640 x 480 with four markers,
// then a monochrome camera (colour-trained patterns in grey frames) and the
// larger scenes.
std::vector<Condition> conditions()
{
    const char* light = "--lighting 0.15 1.15 180";  // gain 1.15 on the left to 0.15 on the right
    const std::string combined = std::string("--marker-px 30 --noise 8 --blur 1.5 ") + light;
    std::vector<Condition> list = {
        {"clean", "clean", 640, 480, 4, ""},
        {"noise", "noise 8", 640, 480, 4, "--noise 8"},
        {"blur", "blur 1.5", 640, 480, 4, "--blur 1.5"},
        {"light", "uneven light 1.15 to 0.15", 640, 480, 4, light},
        {"small", "30 px markers", 640, 480, 4, "--marker-px 30"},
        {"combined", "30 px + noise + blur + uneven light", 640, 480, 4, combined},
        {"grey", "clean, grey frames", 640, 480, 4, ""},
        {"hd-8-clean", "1280x720, 8 markers, clean", 1280, 720, 8, ""},
        {"hd-8-noise", "1280x720, 8 markers, noise 8", 1280, 720, 8, "--noise 8"},
    };
    list[6].grey = true;
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

// Frames as BGR; with `grey`, every channel carries the luminance.
bool loadFrames(const std::string& dir, int count, bool grey, std::vector<cv::Mat>& frames, std::string& error)
{
    frames.clear();
    for (int i = 0; i < count; ++i)
    {
        char name[64];
        std::snprintf(name, sizeof name, "/frame_%06d.png", i);
        frames.push_back(cv::imread(dir + name, grey ? cv::IMREAD_GRAYSCALE : cv::IMREAD_COLOR));
        if (frames.back().empty())
        {
            error = "cannot read '" + dir + name + "'";
            return false;
        }
        if (grey) cv::cvtColor(frames.back(), frames.back(), cv::COLOR_GRAY2BGR);
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

const int kDetectors = 4;  // ours (defaults), ours (global threshold), ArUco, AprilTag

std::unique_ptr<MarkerDetector> makeDetector(int d, const Condition& c, const std::string& camera,
                                             const MarkerSet& set, std::string& error)
{
    if (d == 2) return std::make_unique<ArucoPeer>(c.fx, c.fy, c.cx, c.cy, kMarkerWidthMm);
    if (d == 3) return std::make_unique<AprilTagPeer>(c.fx, c.fy, c.cx, c.cy, kMarkerWidthMm);
    auto ours = std::make_unique<OursDetector>();
    if (!ours->init(c.width, c.height, camera, set.patterns, kMarkerWidthMm, d == 1, error)) return nullptr;
    return ours;
}

// The footage of one marker set in one condition: frames and truth per family.
struct SetFootage
{
    TruthTable truth[3];
    std::vector<cv::Mat> frames[3];
};

bool loadSet(const Condition& c, const MarkerSet& set, const Options& o, FootageMaker& maker, SetFootage& out,
             std::string& error)
{
    const Family families[3] = {Family::Ours, Family::Aruco, Family::AprilTag};
    for (int f = 0; f < 3; ++f)
    {
        if (!maker.makeFrames(c, set, families[f], error)) return false;
        const std::string dir = maker.frameDir(c, set, families[f]);
        if (!out.truth[f].load(dir + "/truth.csv", error) || !loadFrames(dir, o.frames, c.grey, out.frames[f], error))
            return false;
    }
    for (int f = 1; f < 3; ++f)
        if (largestPoseDifference(out.truth[0], out.truth[f]) > 1e-6)
            std::fprintf(stderr, "warning: %s: %s footage has other poses than ours (%.3g mm)\n", c.name.c_str(),
                         familyName(families[f]), largestPoseDifference(out.truth[0], out.truth[f]));
    return true;
}

// Runs one condition over every marker set (our markers change with the set,
// the peers' with its seed); false with `error` when its material cannot be made.
bool runCondition(const Condition& c, const Options& o, FootageMaker& maker, std::vector<Row>& rows,
                  std::string& error)
{
    std::string camera;
    if (!maker.cameraFile(c, camera, error)) return false;
    std::vector<Scorecard> cards(kDetectors, Scorecard(o.rounds));
    std::vector<std::string> names(kDetectors);
    for (const MarkerSet& set : maker.sets())
    {
        SetFootage footage;
        if (!loadSet(c, set, o, maker, footage, error)) return false;
        for (int round = 0; round < o.rounds; ++round)
            for (int d = 0; d < kDetectors; ++d)
            {
                std::unique_ptr<MarkerDetector> det = makeDetector(d, c, camera, set, error);
                if (!det) return false;
                names[static_cast<size_t>(d)] = det->name();
                const int fam = d < 2 ? 0 : d - 1;
                runRound(*det, footage.frames[fam], footage.truth[fam], round, cards[static_cast<size_t>(d)]);
            }
    }
    rows.clear();
    for (int d = 0; d < kDetectors; ++d)
        rows.push_back({names[static_cast<size_t>(d)], cards[static_cast<size_t>(d)].summary()});
    return true;
}

// The bar: per condition our time against the faster peer's, our detection
// against the better peer's, false markers per frame and corner error.
void printSummary(const std::vector<std::pair<Condition, std::vector<Row>>>& all)
{
    std::printf("\n| condition | ours ms | faster peer ms | ratio | ours found | better peer found | "
                "ours global threshold found | false/frame ours | corner error px ours / AprilTag / ArUco |\n"
                "|---|---|---|---|---|---|---|---|---|\n");
    for (const auto& [c, rows] : all)
    {
        const ScoreSummary &ours = rows[0].s, &global = rows[1].s, &aruco = rows[2].s, &april = rows[3].s;
        const double faster = std::min(aruco.msMedian, april.msMedian);
        const double better = std::max(aruco.detectionRate, april.detectionRate);
        std::printf("| %s | %.2f | %.2f | %.1f× | %.1f %% | %.1f %% | %.1f %% | %.3f | %.3f / %.3f / %.3f |\n",
                    c.label.c_str(), ours.msMedian, faster, ours.msMedian > 0 ? faster / ours.msMedian : 0.0,
                    100.0 * ours.detectionRate, 100.0 * better, 100.0 * global.detectionRate, ours.falsePerFrame,
                    ours.cornerMean, april.cornerMean, aruco.cornerMean);
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
    printSummary(all);
    return 0;
}
