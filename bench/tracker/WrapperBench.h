#pragma once
// The tracker wrapper's per-frame update (SquareTracker::update) on frames
// without any of its markers, so the automatic threshold search runs on
// every frame. Prints median milliseconds per update and heap allocations
// per update after warm-up. Needs the engine library.

namespace vxtbench {

// `frames` distinct frames, each updated `rounds` times after one warm-up pass.
void runWrapperBench(int frames, int rounds);

}  // namespace vxtbench
