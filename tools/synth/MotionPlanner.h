#pragma once
// Smooth, seeded motion of every marker card and occluder over the clip. Each marker
// gets a home cell of a grid over the picture (so cards rarely overlap) and moves
// within it; distance, tilt (angle between the card normal and the optical axis,
// capped so the card never turns more than 80 degrees from the line of sight) and
// in-plane spin follow slow sine paths with seeded frequencies and phases.

#include <vector>

#include "Pose.h"
#include "SynthScene.h"

namespace vxsynth {

class MotionPlanner {
public:
    // An occluder: a capsule (segment with radius) in image pixels, drawn over everything.
    struct Capsule {
        double x0 = 0, y0 = 0, x1 = 0, y1 = 0, radius = 0;
        float colour[3] = {0, 0, 0};  // brightness 0..255

        bool contains(double u, double v) const;
    };

    // `cardHalfMm` gives each marker's card half side (for fitting cards into cells).
    MotionPlanner(const SynthScene& scene, const std::vector<double>& cardHalfMm);

    // Pose of marker `i` at time `t` seconds.
    Pose markerPose(size_t i, double t) const;

    // Occluder `j` at time `t`, placed against its target marker's pose at that time.
    Capsule occluder(size_t j, double t) const;

private:
    struct Track {
        double uc, vc, ax, ay;           // home position and amplitude, pixels
        double fu, fv, pu, pv;           // frequencies (Hz) and phases
        double zMid, zAmp, fz, pz;       // distance mm
        double tiltMax, ft, pt, axis0, fa;  // radians, Hz
        double spin0, spinRate;          // radians, radians/s
        int path;                        // 0 drift, 1 orbit, 2 sweep, 3 still
    };
    struct OccluderTrack {
        double angle0, turnRate, fr, pr;
    };

    Track makeTrack(size_t i, double cardHalfMm) const;

    const SynthScene& scene_;
    std::vector<Track> tracks_;
    std::vector<OccluderTrack> occluders_;
};

}  // namespace vxsynth
