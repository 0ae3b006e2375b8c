#pragma once
// Pinhole camera with the Brown-Conrady lens model (k1 k2 p1 p2 k3, the convention
// of the common calibration tools). Image coordinates are continuous pixels: pixel
// (i, j) covers [i, i+1) x [j, j+1) and its centre is (i + 0.5, j + 0.5).
// Camera frame: x right, y down, z forward; units of the 3D points are free (mm here).

namespace vxsynth {

class CameraModel {
public:
    double fx = 700, fy = 700, cx = 320, cy = 240;
    double k1 = 0, k2 = 0, p1 = 0, p2 = 0, k3 = 0;

    bool hasDistortion() const { return k1 != 0 || k2 != 0 || p1 != 0 || p2 != 0 || k3 != 0; }

    // Distorts normalised ideal coordinates (x/z, y/z).
    void distortNormalised(double x, double y, double& xd, double& yd) const;

    // Projects a camera-frame point to (distorted) image pixels. False behind the camera.
    bool project(const double p[3], double& u, double& v) const;

    // Ideal (undistorted) pixel position (fx * x/z + cx, ...) of an observed pixel position.
    // Solved by Gauss-Newton; accurate to about 1e-9 px for ordinary lenses.
    void undistortPixel(double u, double v, double& iu, double& iv) const;

    // Ideal pixel position of an observed one, by the forward model (inverse of undistortPixel).
    void distortPixel(double iu, double iv, double& u, double& v) const;
};

}  // namespace vxsynth
