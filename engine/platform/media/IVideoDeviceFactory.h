#pragma once
// Lists the video device nodes of the system and makes unopened device objects.
// The real one scans /dev/video*; tests supply a scripted one.
#include "IVideoDevice.h"

#include <memory>
#include <string>
#include <vector>

namespace vexa {
namespace media {

class IVideoDeviceFactory {
public:
    virtual ~IVideoDeviceFactory() = default;
    // Device node paths in enumeration order (e.g. /dev/video0, /dev/video1, ...).
    virtual std::vector<std::string> devicePaths() = 0;
    // A new, unopened device; the caller owns it.
    virtual std::unique_ptr<IVideoDevice> createDevice() = 0;
};

}  // namespace media
}  // namespace vexa
