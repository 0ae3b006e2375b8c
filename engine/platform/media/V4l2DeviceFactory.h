#pragma once
// The system's V4L2 nodes: /dev/video0, /dev/video1, ... in number order, opened as
// V4l2Device objects.
#include "IVideoDeviceFactory.h"

namespace vexa {
namespace media {

class V4l2DeviceFactory : public IVideoDeviceFactory {
public:
    // devDir is where to look for "video<N>" nodes ("/dev" normally).
    explicit V4l2DeviceFactory(std::string devDir = "/dev");
    std::vector<std::string> devicePaths() override;
    std::unique_ptr<IVideoDevice> createDevice() override;

private:
    std::string devDir_;
};

}  // namespace media
}  // namespace vexa
