#include "MultiMarker.h"

#include "vxt/MarkerInfo.h"
#include "vxt/MultiMarkerConfig.h"
#include "vxt/PatternSet.h"
#include "vxt/PoseEstimator.h"

#include <cstring>

namespace
{
const double kMinConfidence = 0.7;  // a sub-marker's detection must beat this
const double kContinuousLimit = 10.0;  // pixels
}

MultiMarker::MultiMarker(vxt::PatternSet* patterns)
    : m_patterns(patterns), m_config(std::make_unique<vxt::MultiMarkerConfig>())
{
}

MultiMarker::~MultiMarker()
{
    releasePatterns();
}

void MultiMarker::releasePatterns()
{
    if (m_patterns && m_config) m_config->release(*m_patterns);
    m_patterns = nullptr;
    m_sub.clear();
    m_valid = false;
}

bool MultiMarker::load(const std::string& configFile, std::string* why)
{
    if (!m_patterns) return false;
    const vxt::Status status = m_config->load(configFile, *m_patterns);
    if (!status)
    {
        if (why) *why = status.message();
        return false;
    }
    m_sub.assign(static_cast<size_t>(m_config->count()), SubState());
    setName(configFile);
    m_active = false;
    m_corners.assign(4, osg::Vec2f(0.f, 0.f));
    m_direction = -1;
    m_reference = 0;
    return true;
}

int MultiMarker::getSubMarkerCount() const
{
    return m_config ? m_config->count() : 0;
}

bool MultiMarker::subMarkerSeen(int i) const
{
    return i >= 0 && static_cast<size_t>(i) < m_sub.size() && m_sub[static_cast<size_t>(i)].seenLastUpdate;
}

void MultiMarker::update(const vxt::PoseEstimator* pose, const vxt::MarkerInfo* results, int count)
{
    if (!m_patterns) return;
    m_valid = false;
    m_validLastUpdate = false;
    int seen = 0;
    double confidenceSum = 0.0;
    const auto& subs = m_config->subMarkers();
    for (size_t i = 0; i < m_sub.size(); ++i)
    {
        SubState& sub = m_sub[i];
        sub.matched = nullptr;
        for (int r = 0; r < count; ++r)
        {
            const vxt::MarkerInfo& res = results[r];
            if (res.id != subs[i].patternId || res.cf <= kMinConfidence) continue;
            if (!sub.matched || res.cf > sub.matched->cf) sub.matched = &res;
        }
        if (!sub.matched) continue;
        ++seen;
        confidenceSum += sub.matched->cf;
        sub.displacement = static_cast<float>(
            CornerDisplacement(sub.corners, sub.direction, sub.matched->vertex, sub.matched->dir));
        for (int k = 0; k < 4; ++k)
            sub.corners[static_cast<size_t>(k)].set(static_cast<float>(sub.matched->vertex[k][0]),
                                                    static_cast<float>(sub.matched->vertex[k][1]));
        sub.direction = sub.matched->dir;
    }
    m_confidence = seen > 0 ? confidenceSum / seen : 0.0;

    int reference = -1;
    int bestArea = 0;
    for (size_t i = 0; i < m_sub.size(); ++i)
        if (m_sub[i].matched && m_sub[i].matched->area > bestArea)
        {
            bestArea = m_sub[i].matched->area;
            reference = static_cast<int>(i);
        }

    if (reference >= 0 && pose)
    {
        SubState& sub = m_sub[static_cast<size_t>(reference)];
        const auto& config = subs[static_cast<size_t>(reference)];
        vxt::Pose34 previous, estimate;
        std::memcpy(previous.m, sub.pose, sizeof(previous.m));
        const double error = sub.seenLastUpdate && sub.displacement <= kContinuousLimit
                                 ? pose->estimateCont(*sub.matched, previous, config.centre, config.width, estimate)
                                 : pose->estimate(*sub.matched, config.centre, config.width, estimate);
        if (error >= 0.0)
        {
            m_valid = true;
            m_validLastUpdate = true;
            m_reference = reference;
            std::memcpy(sub.pose, estimate.m, sizeof(sub.pose));
            vxt::Pose34 markerPose;
            vxt::poseMul(estimate, config.inversePlacement, markerPose);
            double gl[16];
            vxt::poseToModelview(markerPose, 1.0, gl);
            m_corners = sub.corners;
            m_direction = sub.direction;
            updateTransform(osg::Matrixd(gl));
        }
        else
            // Degenerate corners give no pose: the marker is not valid this
            // frame and keeps its transform, and the sub-marker counts as
            // unseen so its next sighting is estimated afresh.
            sub.matched = nullptr;
    }
    for (SubState& sub : m_sub)
    {
        sub.seenLastUpdate = sub.matched != nullptr;
        sub.matched = nullptr;  // the results belong to the detector's last frame
    }
}
