#pragma once
// A marker made of one square pattern of known width.

#include "BaseMarker.h"

#include <string>

namespace vxt
{
class Detector;
class PatternSet;
class PoseEstimator;
struct MarkerInfo;
}

class SingleMarker : public BaseMarker
{
public:
    /// The pattern set belongs to the tracker and outlives the marker.
    explicit SingleMarker(vxt::PatternSet* patterns);

    /// Loads the pattern file into the set and activates it. False without a
    /// detection handle, when a pattern is already loaded, or when the file
    /// cannot be read (`why` receives the reason).
    bool initialise(vxt::Detector* detector, const std::string& patternFile, double width, const double centre[2],
                    std::string* why = nullptr);

    int getType() const override { return 1; }
    void setActive(bool active) override;
    void releasePatterns() override;
    int getPatternID() const { return m_patternId; }
    double getWidth() const { return m_width; }
    /// Corner displacement of the last update, image pixels.
    double getDisplacement() const { return m_displacement; }
    bool usedContinuousPose() const { return m_usedContinuous; }

    /// One frame: the chosen detection of this pattern, or null when none
    /// qualified (the marker becomes invalid). A detection whose corners give
    /// no pose (degenerate) counts as none: the marker becomes invalid and
    /// keeps its transform, corners and confidence.
    void update(const vxt::MarkerInfo* result, const vxt::PoseEstimator* pose);

protected:
    ~SingleMarker() override;

private:
    vxt::PatternSet* m_patterns;
    vxt::Detector* m_detector = nullptr;
    int m_patternId = -1;
    double m_width = 80.0;      // mm
    double m_centre[2] = {0.0, 0.0};
    double m_previousPose[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
    double m_displacement = 0.0;
    double m_lastConfidence = 0.0;
    bool m_usedContinuous = false;
};
