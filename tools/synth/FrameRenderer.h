#pragma once
// Renders one frame: the background, the marker cards (nearest first wins) and the
// occluders, each output pixel integrated over its area by supersampling. Every pixel
// that touches a card or occluder is first sampled at 13 points of a rank-1 lattice
// and probed at its four corners; when those disagree (an edge or picture detail) it
// is integrated again at 233 lattice points, so edges are placed to a few
// thousandths of a pixel. Pixels lying wholly inside a still marker's inner picture,
// where no edge of the square can pass, take 55 points. Samples are
// inverse-mapped through each card's homography (through the lens model first when
// the camera has distortion) and read the printed picture as square printed pixels.
// With a shutter time the samples are spread over up to 8 instants of the exposure.
//
// The renderer owns its lattice and undistortion tables; cards and occluders are
// passed per frame and only read.

#include <vector>

#include "CameraModel.h"
#include "CardTexture.h"
#include "FloatFrame.h"
#include "Homography.h"
#include "MotionPlanner.h"
#include "Pose.h"

namespace vxsynth {

class FrameRenderer {
public:
    static constexpr int kMaxInstants = 8;

    // One card in one frame: its picture, and its pose at each instant of the exposure.
    struct Card {
        const CardTexture* texture = nullptr;
        std::vector<Pose> poses;  // 1..kMaxInstants, in time order
    };

    FrameRenderer(const CameraModel& camera, int width, int height);

    // Rendering threads (1 by default); the pictures do not depend on it.
    void setThreads(int threads) { threads_ = threads < 1 ? 1 : threads; }

    // Renders into `out` (width x height, values 0..255 before lighting).
    // `background` is the static background picture of the same size.
    void render(const FloatFrame& background, const std::vector<Card>& cards,
                const std::vector<MotionPlanner::Capsule>& occluders, FloatFrame& out);

    // True when image point (u, v) (observed pixels) lies on `card` at instant `k`.
    bool onCard(const Card& card, size_t k, double u, double v) const;

    // Ideal (undistorted) pixel position of an observed one, from the table.
    void ideal(double u, double v, double& iu, double& iv) const;

private:
    struct Layer {
        const CardTexture* texture;
        vxtools::Homography toTexel[kMaxInstants];
        int instants;
        int x0, y0, x1, y1;  // pixel bounds, exclusive end
    };
    struct Hit {
        int surface;  // -1 background, 0..n-1 layers, n.. occluders
        const float* colour;
        bool inner;   // inside the marker's inner picture, away from the border's edges
    };

    void prepareLayers(const std::vector<Card>& cards);
    void layerBounds(const Card& card, Layer& layer) const;
    Hit hit(double u, double v, int instant, const float* bg, const std::vector<MotionPlanner::Capsule>& occ) const;
    void renderRows(int first, int step, const FloatFrame& background,
                    const std::vector<MotionPlanner::Capsule>& occluders, const std::vector<int>& occBounds,
                    FloatFrame& out) const;
    void shadePixel(int x, int y, const float* bg, const std::vector<MotionPlanner::Capsule>& occ, float* out) const;

    CameraModel camera_;
    int width_, height_;
    int threads_ = 1;
    std::vector<double> idealTable_;  // (width+1) x (height+1) pixel corners, ideal u v
    std::vector<double> baseLattice_, midLattice_, fineLattice_;
    std::vector<Layer> layers_;
};

}  // namespace vxsynth
