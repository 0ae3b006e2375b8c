#pragma once
#include <string>
#include <vector>

#include "vxt/Pose34.h"
#include "vxt/Status.h"

namespace vxt {

class PatternSet;

// Several squares whose placement on one rigid card (or set of cards) is
// known. Each sub-marker's placement maps its own marker frame into the
// multi-marker frame (millimetres). The configuration owns the pattern ids
// it loaded into the pattern set until `release`.
class MultiMarkerConfig {
public:
    static constexpr int kMaxSubMarkers = 50;

    struct SubMarker {
        std::string patternFile;  // as written in the file
        int patternId = -1;       // id in the pattern set
        double width = 80.0;      // mm, side of the black square
        double centre[2] = {0, 0};  // mm, pattern centre in the sub-marker frame
        Pose34 placement;         // sub-marker frame -> multi-marker frame
        Pose34 inversePlacement;  // multi-marker frame -> sub-marker frame
    };

    // Reads a configuration and loads its pattern files into `patterns`
    // (relative pattern paths are tried beside the configuration first, then
    // as given). On failure nothing stays loaded and `*this` is unchanged.
    Status load(const std::string& path, PatternSet& patterns);
    Status parse(const std::string& text, const std::string& name, const std::string& baseDir,
                 PatternSet& patterns);
    Status save(const std::string& path) const;

    // Adds a sub-marker whose pattern is already in a set (tools, tests).
    // False when full or the placement is not a rigid transform.
    bool addSubMarker(const std::string& patternFile, int patternId, double width, const double centre[2],
                      const Pose34& placement);
    // Frees this configuration's patterns in the set and empties it.
    void release(PatternSet& patterns);

    const std::vector<SubMarker>& subMarkers() const { return markers_; }
    int count() const { return static_cast<int>(markers_.size()); }

private:
    std::vector<SubMarker> markers_;
};

}  // namespace vxt
