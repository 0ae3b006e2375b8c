#pragma once
// Version of the marker-detection core, reported to the tracker.

namespace vxt {

// The core's version text; the tracker joins it to its own name.
constexpr const char* kVersion = "1.0.0";

}  // namespace vxt
