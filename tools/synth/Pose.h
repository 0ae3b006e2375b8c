#pragma once
// Rigid pose of a marker in the camera frame: p_cam = R * p_marker + t.
// R is row-major; t is in mm. Marker frame: origin at the marker centre, x right,
// y up toward the printed top edge, z out of the card toward the viewer.

namespace vxsynth {

class Pose {
public:
    double R[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    double t[3] = {0, 0, 0};

    void apply(const double p[3], double out[3]) const;

    // Rotation of `angle` radians about the unit axis (ax, ay, az), row-major.
    static void axisAngle(double ax, double ay, double az, double angle, double out[9]);
    static void multiply(const double a[9], const double b[9], double out[9]);

    // Pose of a card `tilt` radians away from facing the camera (turned about the image
    // direction `tiltAxis`), spun by `spin` radians in its own plane, centred at t.
    static Pose build(double tilt, double tiltAxis, double spin, const double t[3]);
};

}  // namespace vxsynth
