#include "V4l2DeviceFactory.h"

#include "V4l2Device.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <utility>

namespace vexa {
namespace media {

V4l2DeviceFactory::V4l2DeviceFactory(std::string devDir) : devDir_(std::move(devDir)) {}

std::vector<std::string> V4l2DeviceFactory::devicePaths() {
    std::vector<std::pair<long, std::string>> found;
    if (DIR* dir = opendir(devDir_.c_str())) {
        while (dirent* e = readdir(dir)) {
            const std::string name = e->d_name;
            if (name.size() <= 5 || name.compare(0, 5, "video") != 0) continue;
            char* end = nullptr;
            const long n = std::strtol(name.c_str() + 5, &end, 10);
            if (*end == '\0') found.emplace_back(n, devDir_ + "/" + name);
        }
        closedir(dir);
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> paths;
    for (auto& f : found) paths.push_back(f.second);
    return paths;
}

std::unique_ptr<IVideoDevice> V4l2DeviceFactory::createDevice() { return std::make_unique<V4l2Device>(); }

}  // namespace media
}  // namespace vexa
