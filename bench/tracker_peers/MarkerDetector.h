#pragma once
// A detector under test. Per frame the benchmark calls `load` (not timed:
// hands over the frame), `process` (timed: the detection itself, from the
// colour frame to the markers) and `collect` (not timed: the results in the
// footage's conventions).

#include "Detection.h"

#include <opencv2/core.hpp>

#include <string>

namespace peerbench
{
class MarkerDetector
{
public:
    virtual ~MarkerDetector() = default;
    virtual std::string name() const = 0;
    /// The frame (8-bit BGR) stays alive until the next load.
    virtual void load(const cv::Mat& bgr) = 0;
    virtual void process() = 0;
    /// Writes at most `capacity` detections; returns how many.
    virtual int collect(Detection* out, int capacity) = 0;
};
}
