// Benchmark of the marker-detection core: median time per stage and per
// frame on one core, detection rate, false positives, corner error, pose
// error and heap allocations per frame, on deterministic frames.
//
//   bench_tracker_core [--frames N] [--rounds R] [--quick] [--mode 0|1]
//   bench_tracker_core --footage DIR --camera FILE --pattern NAME=FILE.patt[,MM] ...
//   bench_tracker_core --wrapper [--frames N] [--rounds R]
// The second form measures footage written as PNG frames with a truth table;
// the third only the tracker wrapper's update on frames without markers
// (also printed at the end of the first form when the engine is built).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "AllocationCounting.h"
#include "FrameSource.h"
#ifdef VXT_BENCH_WRAPPER
#include "WrapperBench.h"
#endif
#ifdef VXT_BENCH_FOOTAGE
#include "FootageSource.h"
#endif
#include "vxt/Detector.h"
#include "vxt/PatternSet.h"
#include "vxt/PoseEstimator.h"

namespace {

using vxtbench::BenchFrame;

const double kTolerance = 0.8;  // the tracker's default confidence tolerance
using vxtbench::FrameSource;

struct Options {
    std::string footage, camera;
    std::vector<std::string> patterns;  // NAME=FILE[,MM]
    int frames = 40;
    int rounds = 3;
    bool quick = false;
    bool wrapperOnly = false;
    int imageProcMode = 0;
};

struct Result {
    std::vector<double> total, stage[vxt::StageTimes::Count], pose;
    int truthCount = 0, found = 0, foundSure = 0, falsePositives = 0, falseSure = 0, frames = 0, scoredFrames = 0;
    double cornerSum = 0, cornerSq = 0;
    int corners = 0;
    std::vector<double> transErrPct, rotErrDeg;
    long allocations = 0;
};

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Scores one frame's results against its truth.
void score(const vxt::Detector& d, const vxt::PoseEstimator& pe, const BenchFrame& f, Result& r) {
    std::vector<bool> used(d.markerCount(), false);
    for (const vxtbench::TruthMarker& t : f.truth) {
        ++r.truthCount;
        double cx = 0, cy = 0;
        for (auto& c : t.corners) {
            cx += c[0] / 4;
            cy += c[1] / 4;
        }
        int best = -1;
        for (int i = 0; i < d.markerCount(); ++i) {
            const vxt::MarkerInfo& m = d.markers()[i];
            if (m.id == t.patternId && std::hypot(m.pos[0] - cx, m.pos[1] - cy) < 10.0) best = i;
        }
        if (best < 0) continue;
        used[best] = true;
        ++r.found;
        const vxt::MarkerInfo& m = d.markers()[best];
        if (m.cf > kTolerance) ++r.foundSure;
        for (int k = 0; k < 4; ++k) {
            const double* v = m.vertex[(m.dir + k) & 3];
            double e = std::hypot(v[0] - t.corners[k][0], v[1] - t.corners[k][1]);
            r.cornerSum += e;
            r.cornerSq += e * e;
            ++r.corners;
        }
        vxt::Pose34 pose;
        const double centre[2] = {0, 0};
        if (pe.estimate(m, centre, t.width, pose) >= 0) {
            double dist = std::sqrt(t.pose.m[0][3] * t.pose.m[0][3] + t.pose.m[1][3] * t.pose.m[1][3] +
                                    t.pose.m[2][3] * t.pose.m[2][3]);
            double e = std::sqrt(std::pow(pose.m[0][3] - t.pose.m[0][3], 2) + std::pow(pose.m[1][3] - t.pose.m[1][3], 2) +
                                 std::pow(pose.m[2][3] - t.pose.m[2][3], 2));
            r.transErrPct.push_back(100.0 * e / dist);
            double tr = 0;
            for (int a = 0; a < 3; ++a)
                for (int b = 0; b < 3; ++b) tr += pose.m[b][a] * t.pose.m[b][a];
            r.rotErrDeg.push_back(std::acos(std::min(1.0, std::max(-1.0, (tr - 1) / 2))) * 180.0 / M_PI);
        }
    }
    for (int i = 0; i < d.markerCount(); ++i)
        if (!used[i] && d.markers()[i].id >= 0) {
            ++r.falsePositives;
            if (d.markers()[i].cf > kTolerance) ++r.falseSure;
        }
}

Result run(FrameSource& src, const Options& o, bool adaptive) {
    Result r;
    vxt::PatternSet set;
    for (const vxt::PatternImage& p : src.patterns()) set.add(p);
    vxt::Detector d(src.camera());
    d.attachPatternSet(&set);
    d.setImageProcMode(o.imageProcMode);
    d.setAdaptiveThreshold(adaptive);
    vxt::PoseEstimator pe(src.camera());
    BenchFrame f;
    f.truth.reserve(64);
    // Warm-up: every frame once.
    for (int i = 0; i < src.frameCount(); ++i) {
        src.frame(i, f);
        d.detect(f.image);
    }
    for (int round = 0; round < o.rounds; ++round) {
        for (int i = 0; i < src.frameCount(); ++i) {
            src.frame(i, f);
            long before = AllocationCounting::news();
            d.detect(f.image);
            auto t0 = std::chrono::steady_clock::now();
            for (int k = 0; k < d.markerCount(); ++k) {
                vxt::Pose34 pose;
                const double centre[2] = {0, 0};
                pe.estimate(d.markers()[k], centre, 80.0, pose);
            }
            auto t1 = std::chrono::steady_clock::now();
            r.allocations += AllocationCounting::news() - before;
            r.total.push_back(d.times().totalMs);
            for (int s = 0; s < vxt::StageTimes::Count; ++s) r.stage[s].push_back(d.times().ms[s]);
            r.pose.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
            ++r.frames;
            if (round == 0) {
                score(d, pe, f, r);
                ++r.scoredFrames;
            }
        }
    }
    return r;
}

void printHeader() {
    std::printf("%-34s %6s |", "scenario", "total");
    for (int s = 0; s < vxt::StageTimes::Count; ++s) std::printf(" %6.6s", vxt::StageTimes::name(s));
    std::printf(" %6s | %6s %6s %6s %6s %7s %7s %8s %6s | %7s\n", "pose", "det%", "det.8%", "FP/f", "FP.8/f", "cornerM",
                "cornerR", "trans%", "rot", "alloc/f");
}

void printRow(const std::string& name, const Result& r) {
    std::printf("%-34s %6.3f |", name.c_str(), median(r.total));
    for (int s = 0; s < vxt::StageTimes::Count; ++s) std::printf(" %6.3f", median(r.stage[s]));
    double rounds = r.frames ? static_cast<double>(r.frames) : 1.0;
    int scored = r.truthCount ? r.truthCount : 1;
    std::printf(" %6.3f | %6.1f %6.1f %6.2f %6.2f %7.4f %7.4f %8.4f %6.3f | %7.2f\n", median(r.pose),
                100.0 * r.found / scored, 100.0 * r.foundSure / scored,
                static_cast<double>(r.falsePositives) / std::max(1, r.scoredFrames),
                static_cast<double>(r.falseSure) / std::max(1, r.scoredFrames),
                r.corners ? r.cornerSum / r.corners : 0.0, r.corners ? std::sqrt(r.cornerSq / r.corners) : 0.0,
                median(r.transErrPct), median(r.rotErrDeg), static_cast<double>(r.allocations) / rounds);
    std::fflush(stdout);
}

int runFootage(const Options& o) {
#ifdef VXT_BENCH_FOOTAGE
    vxtbench::FootageSettings settings;
    settings.folder = o.footage;
    settings.cameraFile = o.camera;
    settings.maxFrames = o.frames;
    for (const std::string& p : o.patterns) {
        vxtbench::FootageSettings::Marker m;
        std::size_t eq = p.find('='), comma = p.find(',');
        if (eq == std::string::npos) {
            std::printf("--pattern expects NAME=FILE[,MM], found '%s'\n", p.c_str());
            return 2;
        }
        m.name = p.substr(0, eq);
        m.patternFile = p.substr(eq + 1, comma == std::string::npos ? std::string::npos : comma - eq - 1);
        if (comma != std::string::npos) m.width = std::atof(p.c_str() + comma + 1);
        settings.markers.push_back(m);
    }
    std::string error;
    auto src = vxtbench::makeFootageSource(settings, error);
    if (!src) {
        std::printf("cannot read the footage: %s\n", error.c_str());
        return 1;
    }
    std::printf("Footage %s: %d frames, %d rounds\n\n", o.footage.c_str(), src->frameCount(), o.rounds);
    printHeader();
    printRow(src->name(), run(*src, o, false));
    printRow(src->name() + " adaptive", run(*src, o, true));
    return 0;
#else
    (void)o;
    std::printf("this build has no PNG support; footage cannot be read\n");
    return 1;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--frames" && i + 1 < argc) o.frames = std::max(1, std::atoi(argv[++i]));
        else if (a == "--rounds" && i + 1 < argc) o.rounds = std::max(1, std::atoi(argv[++i]));
        else if (a == "--mode" && i + 1 < argc) o.imageProcMode = std::atoi(argv[++i]) == 1 ? 1 : 0;
        else if (a == "--quick") o.quick = true;
        else if (a == "--wrapper") o.wrapperOnly = true;
        else if (a == "--footage" && i + 1 < argc) o.footage = argv[++i];
        else if (a == "--camera" && i + 1 < argc) o.camera = argv[++i];
        else if (a == "--pattern" && i + 1 < argc) o.patterns.push_back(argv[++i]);
        else {
            std::printf("usage: bench_tracker_core [--frames N] [--rounds R] [--quick] [--mode 0|1]\n"
                        "       bench_tracker_core --footage DIR --camera FILE --pattern NAME=FILE.patt[,MM] ...\n"
                        "       bench_tracker_core --wrapper [--frames N] [--rounds R]\n");
            return 2;
        }
    }
    if (!o.footage.empty()) return runFootage(o);
    if (o.wrapperOnly) {
#ifdef VXT_BENCH_WRAPPER
        vxtbench::runWrapperBench(o.frames, o.rounds);
        return 0;
#else
        std::printf("this build has no engine library; the tracker wrapper cannot be measured\n");
        return 1;
#endif
    }
    std::printf("Marker-detection core benchmark: %d frames per scenario, %d timed rounds, image processing mode %d\n",
                o.frames, o.rounds, o.imageProcMode);
    std::printf("Times are medians in ms per frame on one core; pose = estimating every result's pose.\n");
    std::printf("det%% = truth markers found with the right id (det.8%%: with confidence above 0.8, the tracker's default);\n");
    std::printf("FP/f = identified squares that are not there, per frame (FP.8/f: confidence above 0.8);\n");
    std::printf("cornerM/cornerR = mean/RMS corner error (px); trans%% = median pose translation error (%% of distance);\n");
    std::printf("rot = median pose rotation error (degrees); alloc/f = heap allocations per frame after warm-up.\n\n");
    printHeader();
    const int sizes[2][2] = {{640, 480}, {1280, 720}};
    const int counts[3] = {1, 4, 8};
    const vxtbench::Condition conds[5] = {vxtbench::Condition::Clean, vxtbench::Condition::Noise,
                                          vxtbench::Condition::Blur, vxtbench::Condition::Gradient,
                                          vxtbench::Condition::Small};
    for (auto& sz : sizes) {
        for (int count : counts) {
            if (o.quick && count != 4) continue;
            for (vxtbench::Condition c : conds) {
                vxtbench::SyntheticSettings settings;
                settings.width = sz[0];
                settings.height = sz[1];
                settings.markers = count;
                settings.condition = c;
                settings.frames = o.frames;
                settings.seed = static_cast<unsigned>(sz[0] + count * 10 + static_cast<int>(c));
                auto src = vxtbench::makeSyntheticSource(settings);
                printRow(src->name(), run(*src, o, false));
                if (c == vxtbench::Condition::Gradient || c == vxtbench::Condition::Small)
                    printRow(src->name() + " adaptive", run(*src, o, true));
            }
        }
    }
#ifdef VXT_BENCH_WRAPPER
    vxtbench::runWrapperBench(o.frames, o.rounds);
#endif
    return 0;
}
