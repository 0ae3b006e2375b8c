#pragma once
// Renders a whole synthetic clip from a SynthScene: loads the marker pictures, plans
// the motion, renders and develops every frame, and writes the requested outputs
// (video file, lossless PNG frames, ground-truth CSV). Outputs are written safely:
// PNG frames and the CSV through temporary siblings, the video by the media writer.

#include <memory>
#include <string>
#include <vector>

#include "BackgroundTexture.h"
#include "CardTexture.h"
#include "FrameRenderer.h"
#include "MotionPlanner.h"
#include "SensorModel.h"
#include "SynthScene.h"
#include "TruthTable.h"

namespace vxsynth {

class SynthRun {
public:
    struct Outputs {
        std::string video;   // empty: none; extension picks the container (.mp4, .mkv, .avi)
        std::string pngDir;  // empty: none; frames as frame_000000.png, ...
        std::string csv;     // empty: none
        bool quiet = false;
    };

    explicit SynthRun(const SynthScene& scene);
    ~SynthRun();

    // Checks the scene and loads the marker pictures. False with `error` on bad input.
    bool prepare(std::string& error);

    // Renders frame `index` into `picture` and fills its truth rows (one per marker).
    void renderFrame(int index, vxtools::Image& picture, std::vector<TruthTable::Row>& rows);

    // Renders every frame into the outputs. False with `error` when an output fails.
    bool run(const Outputs& outputs, std::string& error);

    // Seconds spent rendering and developing frames so far (not writing them).
    double renderSeconds() const { return renderSeconds_; }

    // Whether this build can write video files (the media layer is linked).
    static bool videoAvailable();

private:
    void truthRow(size_t marker, double t, size_t order, const std::vector<FrameRenderer::Card>& cards,
                  const std::vector<MotionPlanner::Capsule>& occ, TruthTable::Row& row) const;

    SynthScene scene_;
    std::vector<CardTexture> textures_;
    std::unique_ptr<MotionPlanner> planner_;
    std::unique_ptr<FrameRenderer> renderer_;
    std::unique_ptr<SensorModel> sensor_;
    FloatFrame background_, frame_;
    double renderSeconds_ = 0;
};

}  // namespace vxsynth
