#include "VideoDeviceTypes.h"

#include <cstdio>
#include <linux/videodev2.h>

namespace vexa {
namespace media {

std::string fourccText(uint32_t code) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const char c = static_cast<char>((code >> (8 * i)) & 0xff);
        if (c < 32 || c > 126) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "0x%08x", code);
            return hex;
        }
        text += c;
    }
    return text;
}

bool VideoCapability::canCapture() const { return (deviceCaps & V4L2_CAP_VIDEO_CAPTURE) != 0; }
bool VideoCapability::canStream() const { return (deviceCaps & V4L2_CAP_STREAMING) != 0; }

}  // namespace media
}  // namespace vexa
