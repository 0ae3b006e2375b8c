#include "Pose.h"

#include <cmath>

namespace vxsynth {

void Pose::apply(const double p[3], double out[3]) const {
    for (int r = 0; r < 3; ++r) out[r] = R[r * 3] * p[0] + R[r * 3 + 1] * p[1] + R[r * 3 + 2] * p[2] + t[r];
}

void Pose::axisAngle(double ax, double ay, double az, double angle, double out[9]) {
    const double c = std::cos(angle), s = std::sin(angle), C = 1 - c;
    const double m[9] = {c + ax * ax * C,      ax * ay * C - az * s, ax * az * C + ay * s,
                         ay * ax * C + az * s, c + ay * ay * C,      ay * az * C - ax * s,
                         az * ax * C - ay * s, az * ay * C + ax * s, c + az * az * C};
    for (int i = 0; i < 9; ++i) out[i] = m[i];
}

void Pose::multiply(const double a[9], const double b[9], double out[9]) {
    double r[9] = {};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) r[i * 3 + j] += a[i * 3 + k] * b[k * 3 + j];
    for (int i = 0; i < 9; ++i) out[i] = r[i];
}

Pose Pose::build(double tilt, double tiltAxis, double spin, const double t[3]) {
    // Facing the camera: marker x -> camera x, marker y (up) -> camera -y, z -> -z.
    const double facing[9] = {1, 0, 0, 0, -1, 0, 0, 0, -1};
    double spinR[9], tiltR[9], tmp[9];
    axisAngle(0, 0, 1, spin, spinR);
    axisAngle(std::cos(tiltAxis), std::sin(tiltAxis), 0, tilt, tiltR);
    multiply(facing, spinR, tmp);
    Pose p;
    multiply(tiltR, tmp, p.R);
    for (int i = 0; i < 3; ++i) p.t[i] = t[i];
    return p;
}

}  // namespace vxsynth
