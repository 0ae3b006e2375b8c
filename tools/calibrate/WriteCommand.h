#pragma once
// "vexamark-calibrate write": a camera parameter file from known intrinsics.

#include <string>
#include <vector>

namespace vxtools
{
/// Runs the command on its arguments (after "write"); returns the exit code
/// and prints one line to standard error on failure.
int RunWriteCommand(const std::vector<std::string>& args);
}
