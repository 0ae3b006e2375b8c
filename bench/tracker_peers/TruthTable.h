#pragma once
// The ground-truth table written by the footage synthesiser: per frame and
// marker, visibility, the four corners (printed order) and the pose.

#include <map>
#include <string>
#include <vector>

namespace peerbench
{
struct TruthMarker
{
    bool visible = false;
    double corner[4][2] = {};
    double t[3] = {0, 0, 0};  // mm, camera frame
    double occluded = 0;      // fraction
};

class TruthTable
{
public:
    /// Reads the CSV; markers are numbered in order of first appearance.
    /// False with `error` (file, line, what was wrong) on bad data.
    bool load(const std::string& path, std::string& error);
    int frameCount() const { return static_cast<int>(m_frames.size()); }
    int markerCount() const { return m_markers; }
    /// Markers of one frame, indexed by marker number.
    const std::vector<TruthMarker>& frame(int index) const { return m_frames[static_cast<size_t>(index)]; }

private:
    bool readRow(const std::string& line, size_t columns, std::map<std::string, size_t>& col,
                 std::map<std::string, int>& markerIndex, int lineNo, const std::string& path, std::string& error);

    std::vector<std::vector<TruthMarker>> m_frames;
    int m_markers = 0;
};
}
