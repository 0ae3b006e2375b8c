#pragma once
// IVideoDeviceFactory test double: a set of fake cameras by path.
#include "FakeCamera.h"
#include "IVideoDeviceFactory.h"

#include <memory>
#include <string>
#include <vector>

namespace vexa {
namespace media {
namespace testing {

class FakeVideoSystem : public IVideoDeviceFactory {
public:
    // A streaming capture camera with no formats yet.
    std::shared_ptr<FakeCamera> addCamera(const std::string& path, const std::string& card);
    // A camera offering YUYV 640x480 and 320x240 at 30 fps, MJPG 1280x720 at 30 fps,
    // currently set to YUYV 640x480 at 30 fps.
    std::shared_ptr<FakeCamera> addTypicalCamera(const std::string& path, const std::string& card);
    std::shared_ptr<FakeCamera> find(const std::string& path) const;
    void remove(const std::string& path);

    std::vector<std::string> devicePaths() override;
    std::unique_ptr<IVideoDevice> createDevice() override;

private:
    std::vector<std::shared_ptr<FakeCamera>> cameras_;
};

}  // namespace testing
}  // namespace media
}  // namespace vexa
