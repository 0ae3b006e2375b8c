#include "vxt/Pose34.h"

namespace vxt {

void poseMul(const Pose34& a, const Pose34& b, Pose34& out) {
    Pose34 r;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 4; ++j) {
            double v = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
            if (j == 3) v += a.m[i][3];
            r.m[i][j] = v;
        }
    }
    out = r;
}

void poseInverse(const Pose34& a, Pose34& out) {
    Pose34 r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) r.m[i][j] = a.m[j][i];
    for (int i = 0; i < 3; ++i)
        r.m[i][3] = -(r.m[i][0] * a.m[0][3] + r.m[i][1] * a.m[1][3] + r.m[i][2] * a.m[2][3]);
    out = r;
}

void poseToModelview(const Pose34& p, double scale, double gl[16]) {
    // Camera axes x right, y down, z forward -> OpenGL x right, y up, z back.
    const double flip[3] = {1.0, -1.0, -1.0};
    for (int col = 0; col < 3; ++col)
        for (int row = 0; row < 3; ++row) gl[col * 4 + row] = flip[row] * p.m[row][col];
    for (int row = 0; row < 3; ++row) gl[12 + row] = flip[row] * p.m[row][3] * scale;
    gl[3] = gl[7] = gl[11] = 0.0;
    gl[15] = 1.0;
}

void poseApply(const Pose34& p, const double in[3], double out[3]) {
    double r[3];
    for (int i = 0; i < 3; ++i)
        r[i] = p.m[i][0] * in[0] + p.m[i][1] * in[1] + p.m[i][2] * in[2] + p.m[i][3];
    out[0] = r[0];
    out[1] = r[1];
    out[2] = r[2];
}

}  // namespace vxt
