#pragma once

namespace vxt {

// A rigid transform as a 3x4 matrix [R | t], row-major; maps marker
// coordinates (millimetres; x right, y up toward the printed top edge, z out
// of the card toward the viewer) to camera coordinates (x right, y down,
// z forward along the optical axis).
struct Pose34 {
    double m[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
};

// out = a * b (apply b, then a). `out` may alias either argument.
void poseMul(const Pose34& a, const Pose34& b, Pose34& out);

// out = inverse of a rigid transform. `out` may alias `a`.
void poseInverse(const Pose34& a, Pose34& out);

// Right-handed OpenGL modelview (camera x right, y up, z toward the viewer),
// column-major 16 doubles; the translation is multiplied by `scale`.
void poseToModelview(const Pose34& pose, double scale, double gl[16]);

// Apply the pose to a point.
void poseApply(const Pose34& pose, const double in[3], double out[3]);

}  // namespace vxt
