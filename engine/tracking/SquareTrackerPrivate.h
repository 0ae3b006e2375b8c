#pragma once
// The detection core's contexts held by a SquareTracker (engine-internal;
// not installed with the public headers).

#include "SquareTracker.h"

#include "vxt/CameraParams.h"
#include "vxt/Detector.h"
#include "vxt/PatternSet.h"
#include "vxt/PoseEstimator.h"

#include <memory>

struct SquareTracker::Core
{
    vxt::CameraParams camera;
    std::unique_ptr<vxt::Detector> detector;
    std::unique_ptr<vxt::PoseEstimator> pose;
    std::unique_ptr<vxt::PatternSet> patterns;
};
