#pragma once

#include "vxt/CameraParams.h"
#include "vxt/MarkerInfo.h"
#include "vxt/Pose34.h"

namespace vxt {

class MultiMarkerConfig;

// Pose of squares from their observed corners: an initial estimate from the
// homography, then Levenberg-Marquardt refinement of the reprojection error.
// Refinement stops after `maxLoopCount` steps, when the error falls below the
// break threshold, or when one step improves it by less than the break ratio
// (error / previous error > ratio). Errors are mean squared reprojection
// errors per corner in ideal image pixels squared; a negative return means
// the corners were degenerate and `out` is unchanged. A square's corners are
// degenerate when two coincide, three are collinear, the outline is not
// convex or a coordinate is not finite.
class PoseEstimator {
public:
    // `camera` must be valid (loaded or built with a size and focal lengths).
    explicit PoseEstimator(const CameraParams& camera);

    bool setMaxLoopCount(int n);             // 0..1000, default 10 (0: initial estimate only)
    bool setBreakThreshold(double t);        // >= 0 px^2, default 0.1
    bool setBreakRatio(double r);            // 0..1, default 0.99
    int maxLoopCount() const { return maxLoop_; }
    double breakThreshold() const { return breakThreshold_; }
    double breakRatio() const { return breakRatio_; }

    // Pose of a square of `width` mm whose pattern centre sits at `centre`
    // (mm) in the marker frame.
    double estimate(const MarkerInfo& square, const double centre[2], double width, Pose34& out) const;
    // The same, starting from `previous`; the fresh estimate is kept when it
    // reprojects better.
    double estimateCont(const MarkerInfo& square, const Pose34& previous, const double centre[2], double width,
                        Pose34& out) const;
    // Pose of a multi-marker frame from every sub-marker seen among `results`
    // (the best result per pattern id above `minConfidence`; degenerate
    // squares are left out).
    double estimateMulti(const MultiMarkerConfig& config, const MarkerInfo* results, int count, Pose34& out,
                         double minConfidence = 0.7) const;
    // Generic: `n` (4..256) observed image points and their marker-frame points.
    double estimatePoints(const double (*image)[2], const double (*object)[3], int n, const Pose34* start,
                          Pose34& out) const;

    const CameraParams& camera() const { return camera_; }

private:
    double refine(const double (*ideal)[2], const double (*object)[3], int n, Pose34& pose) const;
    bool initialFromSquare(const double (*ideal)[2], const double (*object)[3], Pose34& pose) const;

    CameraParams camera_;
    int maxLoop_ = 10;
    double breakThreshold_ = 0.1;
    double breakRatio_ = 0.99;
};

}  // namespace vxt
