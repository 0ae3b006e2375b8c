#pragma once
#include <string>

#include "vxt/Status.h"

namespace vxt {

// A pinhole camera with the Brown-Conrady lens model (k1 k2 p1 p2 k3, the
// convention of the common calibration tools), for one image size.
// Image coordinates are continuous, y down: pixel (i, j) covers
// [i, i+1) x [j, j+1), so its centre is (i + 0.5, j + 0.5).
// Observed = distorted image coordinates as the sensor delivers them;
// ideal = where a distortion-free pinhole camera would see the point.
class CameraParams {
public:
    CameraParams() = default;
    // An ideal camera: no distortion.
    CameraParams(int width, int height, double fx, double fy, double cx, double cy);

    // Reads a camera parameter file; on failure `*this` is unchanged.
    Status load(const std::string& path);
    // Writes it (temporary file then rename); `digits` significant digits.
    Status save(const std::string& path, int digits = 12) const;
    // Parses the text of a camera parameter file.
    Status parse(const std::string& text, const std::string& name = "camera parameters");

    // The same camera for another image size (the sensor area is assumed to
    // be the same, scaled uniformly per axis).
    CameraParams rescaled(int width, int height) const;

    // OpenGL projection matrix (column-major) for a right-handed camera
    // looking down -z, image row 0 at the top of the viewport.
    void projectionMatrix(double nearPlane, double farPlane, double out[16]) const;

    void observedToIdeal(double ox, double oy, double& ix, double& iy) const;
    void idealToObserved(double ix, double iy, double& ox, double& oy) const;

    bool hasDistortion() const;

    int width() const { return width_; }
    int height() const { return height_; }
    double fx() const { return fx_; }
    double fy() const { return fy_; }
    double cx() const { return cx_; }
    double cy() const { return cy_; }
    // k1 k2 p1 p2 k3
    const double* distortion() const { return dist_; }
    void setDistortion(double k1, double k2, double p1, double p2, double k3);

    // Checks sizes and values; message says what is wrong.
    Status validate() const;

private:
    int width_ = 0, height_ = 0;
    double fx_ = 0, fy_ = 0, cx_ = 0, cy_ = 0;
    double dist_[5] = {0, 0, 0, 0, 0};
};

}  // namespace vxt
