#pragma once
// Helpers for the core's tests: draw frames with known markers, detect, and
// pair the results with the truth.
#include <string>
#include <vector>

#include "FrameRenderer.h"
#include "vxt/Detector.h"
#include "vxt/PatternSet.h"

namespace vxttest {

struct Truth {
    int patternId;        // id in the test's pattern set
    double corners[4][2]; // printed TL, TR, BR, BL
};

// A pattern set with `n` test patterns (ids 0..n-1) and their pictures.
struct TestPatterns {
    vxt::PatternSet set;
    std::vector<vxt::PatternImage> images;
    explicit TestPatterns(int n, bool colour = true);
};

// The result whose centre is nearest the truth's centre (null if none
// within `maxDist` pixels).
const vxt::MarkerInfo* findResult(const vxt::Detector& d, const Truth& t, double maxDist = 5.0);

// Largest corner distance between a result and the truth, matching the
// result's corner `dir` to the printed top-left.
double cornerError(const vxt::MarkerInfo& m, const Truth& t);

// Temporary folder for file tests, removed with its files by the destructor.
struct TempDir {
    std::string path;
    TempDir();
    ~TempDir();
    std::string file(const std::string& name) const { return path + "/" + name; }
    void write(const std::string& name, const std::string& text) const;
};

std::string readFile(const std::string& path);

}  // namespace vxttest
