#pragma once
// Finds the capture devices of the system: nodes that can capture video, named by
// the card name they report. When names repeat, the second and later get " #2",
// " #3", ... in enumeration order, so every name is unique and comparable as text.
#include "IVideoDeviceFactory.h"
#include "LogSink.h"

#include <string>
#include <vector>

namespace vexa {
namespace media {

class CaptureDeviceEnumerator {
public:
    struct Entry {
        std::string path;          // device node to open
        std::string friendlyName;  // unique display name
    };

    // Opens each node briefly to read its capabilities. Nodes that cannot be opened
    // or cannot capture are skipped (one log line for each camera that cannot be
    // opened, e.g. because it is busy).
    static std::vector<Entry> enumerate(IVideoDeviceFactory& factory, const LogSink& log = LogSink());

    // Names with repeats made unique as above (input order kept).
    static std::vector<std::string> uniqueNames(const std::vector<std::string>& names);
};

}  // namespace media
}  // namespace vexa
