#include "FrameSource.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "FrameRenderer.h"

namespace vxtbench {

const char* conditionName(Condition c) {
    switch (c) {
        case Condition::Clean: return "clean";
        case Condition::Noise: return "noise8";
        case Condition::Blur: return "blur1.5";
        case Condition::Gradient: return "gradient";
        case Condition::Small: return "small30+noise+blur";
    }
    return "?";
}

namespace {

class SyntheticSource : public FrameSource {
public:
    explicit SyntheticSource(const SyntheticSettings& s)
        : settings_(s), cam_(s.width, s.height, s.width * 700.0 / 640.0, s.width * 700.0 / 640.0,
                         s.width / 2.0, s.height / 2.0) {
        for (int i = 0; i < 8; ++i) patterns_.push_back(makeTestPattern(static_cast<unsigned>(100 + i)));
        std::mt19937 rng(s.seed);
        for (int f = 0; f < s.frames; ++f) draw(f, rng);
    }
    std::string name() const override {
        return std::to_string(settings_.width) + "x" + std::to_string(settings_.height) + " " +
               std::to_string(settings_.markers) + "m " + conditionName(settings_.condition);
    }
    const vxt::CameraParams& camera() const override { return cam_; }
    const std::vector<vxt::PatternImage>& patterns() const override { return patterns_; }
    int frameCount() const override { return static_cast<int>(pixels_.size()); }
    void frame(int i, BenchFrame& out) override {
        out.image = vxt::ImageView{pixels_[i].data(), settings_.width, settings_.height, 0, vxt::PixelFormat::BGR};
        out.truth = truth_[i];
    }

private:
    // One marker per grid cell, sized and tilted at random, kept inside its cell.
    void draw(int f, std::mt19937& rng) {
        std::uniform_real_distribution<double> u(0, 1);
        FrameRenderer r(settings_.width, settings_.height);
        r.texture(settings_.seed * 1000 + f, 110, 235);
        int cols = settings_.markers <= 1 ? 1 : settings_.markers <= 4 ? 2 : 4;
        int rows = (settings_.markers + cols - 1) / cols;
        double cw = static_cast<double>(settings_.width) / cols, ch = static_cast<double>(settings_.height) / rows;
        double scale = settings_.width / 640.0;
        std::vector<TruthMarker> truth;
        for (int m = 0; m < settings_.markers; ++m) {
            double cx = (m % cols + 0.5) * cw, cy = (m / cols + 0.5) * ch;
            double maxSide = std::min(140.0 * scale, std::min(cw, ch) / 1.6);
            for (int attempt = 0; attempt < 20; ++attempt) {
                double side = settings_.condition == Condition::Small ? 30.0 : 40.0 * scale + u(rng) * (maxSide - 40.0 * scale);
                TruthMarker t;
                t.patternId = m % 8;
                t.width = 80.0;
                double dist = cam_.fx() * t.width / side;
                double x = (cx - cam_.cx()) / cam_.fx() * dist, y = (cy - cam_.cy()) / cam_.fy() * dist;
                t.pose = makePose(dist, (u(rng) - 0.5) * 100, (u(rng) - 0.5) * 100, u(rng) * 360, x, y);
                // Card corners (margin 0.25) must stay inside the cell.
                const double hw = t.width * 0.75;
                const double card[4][3] = {{-hw, hw, 0}, {hw, hw, 0}, {hw, -hw, 0}, {-hw, -hw, 0}};
                bool fits = true;
                for (auto& c : card) {
                    double p[3];
                    vxt::poseApply(t.pose, c, p);
                    double px = cam_.fx() * p[0] / p[2] + cam_.cx(), py = cam_.fy() * p[1] / p[2] + cam_.cy();
                    fits = fits && std::fabs(px - cx) < cw / 2 - 2 && std::fabs(py - cy) < ch / 2 - 2;
                }
                if (!fits) continue;
                r.drawMarkerAt(patterns_[t.patternId], cam_, t.pose, t.width, MarkerStyle(), t.corners);
                truth.push_back(t);
                break;
            }
        }
        switch (settings_.condition) {
            case Condition::Noise: r.noise(8.0, settings_.seed * 7 + f); break;
            case Condition::Blur: r.blur(1.5); break;
            case Condition::Gradient: r.lightingGradient(0.3f, 1.1f); break;
            case Condition::Small:
                r.blur(1.5);
                r.noise(8.0, settings_.seed * 7 + f);
                break;
            default: break;
        }
        pixels_.emplace_back();
        r.toFormat(vxt::PixelFormat::BGR, pixels_.back());
        truth_.push_back(truth);
    }

    SyntheticSettings settings_;
    vxt::CameraParams cam_;
    std::vector<vxt::PatternImage> patterns_;
    std::vector<std::vector<std::uint8_t>> pixels_;
    std::vector<std::vector<TruthMarker>> truth_;
};

}  // namespace

std::unique_ptr<FrameSource> makeSyntheticSource(const SyntheticSettings& settings) {
    return std::unique_ptr<FrameSource>(new SyntheticSource(settings));
}

}  // namespace vxtbench
