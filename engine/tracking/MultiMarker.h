#pragma once
// A marker made of several square patterns whose placement on one card (or
// set of cards) is known from a multi-marker configuration file. Its pose is
// that of the largest sub-marker seen, carried to the marker's own origin.

#include "BaseMarker.h"

#include <memory>
#include <string>
#include <vector>

namespace vxt
{
class MultiMarkerConfig;
class PatternSet;
class PoseEstimator;
struct MarkerInfo;
}

class MultiMarker : public BaseMarker
{
public:
    /// The pattern set belongs to the tracker and outlives the marker.
    explicit MultiMarker(vxt::PatternSet* patterns);

    /// Reads the configuration and loads its patterns; false (with the
    /// reason in `why`) when it cannot.
    bool load(const std::string& configFile, std::string* why = nullptr);

    int getType() const override { return 2; }
    void setActive(bool active) override { m_active = active; }
    void releasePatterns() override;

    /// One frame: valid when a sub-marker is seen and the largest seen one's
    /// corners give a pose; otherwise the transform, corners and reference
    /// stay those of the last valid frame. The confidence is the mean of the
    /// seen sub-markers' detections (0 when none).
    void update(const vxt::PoseEstimator* pose, const vxt::MarkerInfo* results, int count);

    int getSubMarkerCount() const;
    int getReferenceSubMarker() const { return m_reference; }
    /// Whether sub-marker i had a matching detection in the last update (for
    /// the largest one seen: one whose corners gave a pose).
    bool subMarkerSeen(int i) const;

protected:
    ~MultiMarker() override;

private:
    struct SubState
    {
        const vxt::MarkerInfo* matched = nullptr;
        bool seenLastUpdate = false;
        std::vector<osg::Vec2f> corners = std::vector<osg::Vec2f>(4, osg::Vec2f(0.f, 0.f));
        int direction = -1;
        float displacement = 0.f;
        double pose[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
    };

    vxt::PatternSet* m_patterns;
    std::unique_ptr<vxt::MultiMarkerConfig> m_config;
    std::vector<SubState> m_sub;
    int m_reference = 0;
};
