#include "SingleMarker.h"

#include "vxt/Detector.h"
#include "vxt/MarkerInfo.h"
#include "vxt/PatternSet.h"
#include "vxt/PoseEstimator.h"

#include <cstring>

namespace
{
// Above this corner displacement (pixels) the previous pose is no good start.
const double kContinuousLimit = 10.0;
}

SingleMarker::SingleMarker(vxt::PatternSet* patterns) : m_patterns(patterns) {}

SingleMarker::~SingleMarker()
{
    releasePatterns();
}

void SingleMarker::releasePatterns()
{
    if (m_patterns && m_patternId >= 0) m_patterns->free(m_patternId);
    m_patternId = -1;
    m_patterns = nullptr;
    m_detector = nullptr;
    m_valid = false;
}

bool SingleMarker::initialise(vxt::Detector* detector, const std::string& patternFile, double width,
                              const double centre[2], std::string* why)
{
    if (!detector || !m_patterns || m_patternId >= 0 || m_detector) return false;
    vxt::Status status;
    const int id = m_patterns->load(patternFile, &status);
    if (id < 0)
    {
        if (why) *why = status.message();
        return false;
    }
    m_patternId = id;
    m_width = width;
    m_centre[0] = centre[0];
    m_centre[1] = centre[1];
    setName(patternFile);
    setActive(true);
    m_detector = detector;
    m_valid = false;
    return true;
}

void SingleMarker::setActive(bool active)
{
    m_active = active;
    if (!m_patterns || m_patternId < 0) return;
    if (active)
        m_patterns->activate(m_patternId);
    else
        m_patterns->deactivate(m_patternId);
}

void SingleMarker::update(const vxt::MarkerInfo* result, const vxt::PoseEstimator* pose)
{
    if (!result || !pose || result->id < 0)
    {
        m_valid = false;
        m_validLastUpdate = false;
        return;
    }
    const double displacement = CornerDisplacement(m_corners, m_direction, result->vertex, result->dir);
    vxt::Pose34 previous;
    std::memcpy(previous.m, m_previousPose, sizeof(previous.m));
    vxt::Pose34 estimate;
    const bool continuous = m_validLastUpdate && displacement <= kContinuousLimit;
    const double error = continuous ? pose->estimateCont(*result, previous, m_centre, m_width, estimate)
                                    : pose->estimate(*result, m_centre, m_width, estimate);
    if (error < 0.0)
    {
        // Degenerate corners give no pose. The frame counts as one without
        // this marker: not valid, the next sighting is estimated afresh, and
        // transform, corners and confidence stay those of the last sighting
        // (an identity pose here would put the content onto the camera).
        m_valid = false;
        m_validLastUpdate = false;
        return;
    }
    m_displacement = displacement;
    m_usedContinuous = continuous;
    std::memcpy(m_previousPose, estimate.m, sizeof(m_previousPose));
    m_valid = true;
    m_validLastUpdate = true;
    m_lastConfidence = result->cf;

    double gl[16];
    vxt::poseToModelview(estimate, 1.0, gl);
    updateTransform(osg::Matrixd(gl));

    m_confidence = result->cf;
    for (int k = 0; k < 4; ++k)
        m_corners[static_cast<size_t>(k)].set(static_cast<float>(result->vertex[k][0]),
                                              static_cast<float>(result->vertex[k][1]));
    m_direction = result->dir;
}
