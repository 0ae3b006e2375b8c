#include "PatternCommand.h"

namespace vxtools {

bool PatternCommand::run(const std::string&, const std::string& outPath, std::string& error) {
    error = "cannot write '" + outPath +
            "': pattern files are not available in this build (the marker-detection core's pattern writer is missing)";
    return false;
}

}  // namespace vxtools
