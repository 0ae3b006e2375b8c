#pragma once
// The "pattern" subcommand: trains a pattern file from an inner picture. The picture
// is printed as a marker in memory and its inner half sampled upright by the
// marker-detection core, exactly as the detector samples a square it has found,
// then written in the core's pattern file format. In a build without the core it
// reports that pattern files are not available.

#include <string>

namespace vxtools {

class PatternCommand {
public:
    // Marker width in pixels of the in-memory print that is sampled: its inner half is
    // 48 px, 3 x 3 pixels per pattern cell, which the core's sampler reads at their
    // centres, so each cell is the exact area average of the picture over the cell.
    static constexpr int kTrainingMarkerPx = 96;

    // Returns true when `outPath` was written; else false with one line in `error`.
    static bool run(const std::string& innerSource, const std::string& outPath, std::string& error);
};

}  // namespace vxtools
