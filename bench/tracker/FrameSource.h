#pragma once
// Where the benchmark's frames come from: anything that yields frames with
// their ground truth. The synthetic source draws its own; a source reading
// footage and a ground-truth table can be added beside it.
#include <memory>
#include <string>
#include <vector>

#include "vxt/CameraParams.h"
#include "vxt/ImageView.h"
#include "vxt/PatternImage.h"
#include "vxt/Pose34.h"

namespace vxtbench {

struct TruthMarker {
    int patternId = -1;
    double corners[4][2] = {};  // printed TL, TR, BR, BL, observed pixels
    vxt::Pose34 pose;           // marker frame -> camera frame
    double width = 80.0;        // mm
};

struct BenchFrame {
    vxt::ImageView image;  // valid until the next call of next()
    std::vector<TruthMarker> truth;
};

class FrameSource {
public:
    virtual ~FrameSource() = default;
    virtual std::string name() const = 0;
    virtual const vxt::CameraParams& camera() const = 0;
    // The pictures of the patterns the frames carry (pattern id = index).
    virtual const std::vector<vxt::PatternImage>& patterns() const = 0;
    virtual int frameCount() const = 0;
    // Frame i (0 <= i < frameCount()).
    virtual void frame(int i, BenchFrame& out) = 0;
};

enum class Condition { Clean, Noise, Blur, Gradient, Small };

struct SyntheticSettings {
    int width = 640, height = 480;
    int markers = 4;
    Condition condition = Condition::Clean;
    int frames = 40;
    unsigned seed = 1;
};

const char* conditionName(Condition c);

// Draws every frame once, up front, so drawing never counts in timings.
std::unique_ptr<FrameSource> makeSyntheticSource(const SyntheticSettings& settings);

}  // namespace vxtbench
