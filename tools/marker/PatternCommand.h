#pragma once
// The "pattern" subcommand: trains a pattern file from an inner picture through the
// marker-detection core's pattern writer. Without the core in the build it reports
// that pattern files are not available.

#include <string>

namespace vxtools {

class PatternCommand {
public:
    // Returns true when `outPath` was written; else false with one line in `error`.
    static bool run(const std::string& innerSource, const std::string& outPath, std::string& error);
};

}  // namespace vxtools
