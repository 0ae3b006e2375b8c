#pragma once
// Draws deterministic test frames: printed marker cards warped through a
// homography, each pixel integrated over its area by supersampling, so the
// corners are known to a few thousandths of a pixel. Pixel (i, j) covers
// [i, i+1) x [j, j+1). Used by the tests and the benchmark.
#include <cstdint>
#include <vector>

#include "vxt/CameraParams.h"
#include "vxt/PatternImage.h"
#include "vxt/PixelFormat.h"
#include "vxt/Pose34.h"

namespace vxtbench {

struct MarkerStyle {
    double margin = 0.25;   // white card around the black square, fraction of its width
    bool inverted = false;  // light border on a dark card (for labeling mode 1)
    float ink = 12.0f;      // grey level of black print
    float paper = 230.0f;   // grey level of white paper
    int supersample = 8;    // samples per pixel side
};

class FrameRenderer {
public:
    FrameRenderer(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }

    void fill(float grey);
    // Smooth random blotches between `lo` and `hi` grey, deterministic per seed.
    void texture(unsigned seed, float lo, float hi);

    // Draws a card whose black square has its printed top-left, top-right,
    // bottom-right and bottom-left corners at `corners`.
    void drawMarker(const vxt::PatternImage& pattern, const double corners[4][2], const MarkerStyle& style);
    // Draws a card of `width` mm at `pose` (marker frame to camera frame)
    // through an ideal pinhole camera; returns the corners drawn. False when
    // the square is behind the camera.
    bool drawMarkerAt(const vxt::PatternImage& pattern, const vxt::CameraParams& cam, const vxt::Pose34& pose,
                      double width, const MarkerStyle& style, double corners[4][2]);

    // Multiplies brightness by a factor going linearly from `left` to `right`.
    void lightingGradient(float left, float right);
    void blur(double sigma);
    void noise(double sigma, unsigned seed);

    // The frame in a pixel format, tightly packed.
    void toFormat(vxt::PixelFormat format, std::vector<std::uint8_t>& out) const;

    float* rgb() { return rgb_.data(); }

private:
    int width_, height_;
    std::vector<float> rgb_;  // 3 floats per pixel
};

// A deterministic, rotation-asymmetric 16x16 picture for tests.
vxt::PatternImage makeTestPattern(unsigned seed, bool colour = true);

// Corners of a square of `side` pixels centred at (cx, cy), rotated by
// `angleDeg` (clockwise on screen), printed top-left first.
void squareCorners(double cx, double cy, double side, double angleDeg, double corners[4][2]);

// A pose looking at a square `distance` mm straight ahead, then tilted by
// `tiltXDeg` about the marker's x axis and `tiltYDeg` about its y axis,
// rotated `rollDeg` about the viewing axis, offset (dx, dy) mm.
vxt::Pose34 makePose(double distance, double tiltXDeg, double tiltYDeg, double rollDeg, double dx, double dy);

}  // namespace vxtbench
