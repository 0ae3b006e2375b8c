#pragma once
// Figures of one detector on one condition: per-frame times of each round,
// allocations after warm-up, and accuracy against the ground truth.
// A detection counts when its id is a visible marker's and its centre lies
// within 30 % of the marker's side of the true centre; every other detection
// (unknown id, invisible marker, wrong place, second hit on one marker) is a
// false positive.

#include "AllocationCounter.h"
#include "Detection.h"
#include "TruthTable.h"

#include <vector>

namespace peerbench
{
struct ScoreSummary
{
    double msMedian = 0;         // median over rounds of each round's median frame time
    double msSpread = 0;         // largest minus smallest round median, ms
    double detectionRate = 0;    // 0..1
    double falsePerFrame = 0;
    double cornerMean = 0;       // px
    double cornerRms = 0;        // px
    double translationMedian = 0;  // % of distance
    double newsPerFrame = 0;
    double mallocsPerFrame = 0;
    double biasX = 0, biasY = 0;  // mean signed corner error, px (checks pixel conventions)
    int visible = 0;
};

class Scorecard
{
public:
    explicit Scorecard(int rounds) : m_times(static_cast<size_t>(rounds)) {}

    void addTime(int round, double ms) { m_times[static_cast<size_t>(round)].push_back(ms); }
    void addAllocations(const AllocationCount& delta);
    /// Accuracy of one frame (call for one round only).
    void addFrame(const std::vector<TruthMarker>& truth, const Detection* found, int count);
    ScoreSummary summary() const;

private:
    std::vector<std::vector<double>> m_times;
    AllocationCount m_alloc;
    int m_allocFrames = 0;
    int m_frames = 0, m_visible = 0, m_hits = 0, m_false = 0;
    double m_cornerSum = 0, m_cornerSq = 0, m_dx = 0, m_dy = 0;
    int m_corners = 0;
    std::vector<double> m_translation;
};
}
