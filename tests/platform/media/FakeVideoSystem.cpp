#include "FakeVideoSystem.h"

#include "FakeVideoDevice.h"

#include <algorithm>
#include <linux/videodev2.h>

namespace vexa {
namespace media {
namespace testing {

std::shared_ptr<FakeCamera> FakeVideoSystem::addCamera(const std::string& path, const std::string& card) {
    auto cam = std::make_shared<FakeCamera>();
    cam->path = path;
    cam->capability.driver = "fake";
    cam->capability.card = card;
    cam->capability.busInfo = "fake:" + path;
    cam->capability.deviceCaps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
    cameras_.push_back(cam);
    return cam;
}

std::shared_ptr<FakeCamera> FakeVideoSystem::addTypicalCamera(const std::string& path, const std::string& card) {
    auto cam = addCamera(path, card);
    const VideoFrameInterval fps30{1, 30};
    cam->addFormat(fourcc('Y', 'U', 'Y', 'V'), {{640, 480}, {320, 240}}, {fps30});
    cam->addFormat(fourcc('M', 'J', 'P', 'G'), {{1280, 720}}, {fps30});
    cam->current = {fourcc('Y', 'U', 'Y', 'V'), 640, 480, 1280, 640 * 480 * 2};
    cam->currentInterval = fps30;
    return cam;
}

std::shared_ptr<FakeCamera> FakeVideoSystem::find(const std::string& path) const {
    for (const auto& c : cameras_)
        if (c->path == path) return c;
    return nullptr;
}

void FakeVideoSystem::remove(const std::string& path) {
    cameras_.erase(std::remove_if(cameras_.begin(), cameras_.end(),
                                  [&](const std::shared_ptr<FakeCamera>& c) { return c->path == path; }),
                   cameras_.end());
}

std::vector<std::string> FakeVideoSystem::devicePaths() {
    std::vector<std::string> paths;
    for (const auto& c : cameras_) paths.push_back(c->path);
    return paths;
}

std::unique_ptr<IVideoDevice> FakeVideoSystem::createDevice() {
    return std::make_unique<FakeVideoDevice>([this](const std::string& p) { return find(p); });
}

}  // namespace testing
}  // namespace media
}  // namespace vexa
