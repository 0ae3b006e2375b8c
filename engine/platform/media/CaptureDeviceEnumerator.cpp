#include "CaptureDeviceEnumerator.h"

#include <cerrno>
#include <cstring>
#include <map>

namespace vexa {
namespace media {

std::vector<std::string> CaptureDeviceEnumerator::uniqueNames(const std::vector<std::string>& names) {
    std::map<std::string, int> seen;
    std::vector<std::string> out;
    for (const std::string& n : names) {
        const int count = ++seen[n];
        out.push_back(count == 1 ? n : n + " #" + std::to_string(count));
    }
    return out;
}

std::vector<CaptureDeviceEnumerator::Entry> CaptureDeviceEnumerator::enumerate(IVideoDeviceFactory& factory,
                                                                                const LogSink& log) {
    std::vector<std::string> paths, cards;
    for (const std::string& path : factory.devicePaths()) {
        std::unique_ptr<IVideoDevice> device = factory.createDevice();
        const int rc = device->open(path);
        if (rc) {
            if (log && rc != ENOTTY)  // ENOTTY: not a V4L2 node at all, nothing to report
                log("camera '" + path + "' cannot be opened: " + std::strerror(rc));
            continue;
        }
        VideoCapability cap;
        if (device->queryCapability(cap) == 0 && cap.canCapture() && cap.canStream()) {
            paths.push_back(path);
            cards.push_back(cap.card.empty() ? path : cap.card);
        }
        device->close();
    }
    const std::vector<std::string> names = uniqueNames(cards);
    std::vector<Entry> entries;
    for (size_t i = 0; i < paths.size(); ++i) entries.push_back({paths[i], names[i]});
    return entries;
}

}  // namespace media
}  // namespace vexa
