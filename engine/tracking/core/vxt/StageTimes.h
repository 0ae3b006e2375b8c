#pragma once

namespace vxt {

// Wall-clock milliseconds spent in each step of the last detection.
struct StageTimes {
    enum Stage { Luminance, Binarize, Label, Quads, Pattern, Results, Count };
    double ms[Count] = {0, 0, 0, 0, 0, 0};
    double totalMs = 0.0;
    static const char* name(int stage) {
        static const char* names[Count] = {"luminance", "binarize", "label", "quads", "pattern", "results"};
        return stage >= 0 && stage < Count ? names[stage] : "?";
    }
};

}  // namespace vxt
