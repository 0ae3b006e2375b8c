#pragma once
// Plain records exchanged with a video capture device (IVideoDevice). Pixel formats
// are V4L2 four-character codes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vexa {
namespace media {

constexpr uint32_t fourcc(char a, char b, char c, char d) {
    return static_cast<uint32_t>(static_cast<uint8_t>(a)) | (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8) |
           (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16) | (static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24);
}

// "YUYV" etc.; non-printable codes as hex.
std::string fourccText(uint32_t code);

struct VideoCapability {
    std::string driver;
    std::string card;              // the device's name as it reports it
    std::string busInfo;
    uint32_t deviceCaps = 0;       // V4L2_CAP_* of this node
    bool canCapture() const;       // single-planar video capture
    bool canStream() const;        // mmap streaming I/O
};

struct VideoFormatDesc {
    uint32_t pixelFormat = 0;
    std::string description;
    bool compressed = false;
    bool emulated = false;         // offered by libv4l2's conversion, not by the device
};

struct VideoFrameSize {
    uint32_t width = 0;
    uint32_t height = 0;
};

// Time between frames in seconds = numerator / denominator. 0/0 means unknown.
struct VideoFrameInterval {
    uint32_t numerator = 0;
    uint32_t denominator = 0;
    bool valid() const { return numerator > 0 && denominator > 0; }
};

struct VideoPixelFormat {
    uint32_t pixelFormat = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bytesPerLine = 0;
    uint32_t sizeImage = 0;
};

struct VideoControl {
    uint32_t id = 0;
    std::string name;
    int32_t minimum = 0;
    int32_t maximum = 0;
    int32_t step = 1;
    int32_t defaultValue = 0;
    int32_t value = 0;
    uint32_t type = 0;             // V4L2_CTRL_TYPE_*
    // A menu control's entries (value, name); integer menus name the number.
    std::vector<std::pair<int32_t, std::string>> menuItems;
};

// A filled capture buffer, valid until it is queued again.
struct VideoBufferView {
    uint32_t index = 0;
    const uint8_t* data = nullptr;
    size_t length = 0;             // size of the mapping
    size_t bytesUsed = 0;          // bytes of frame data
    uint32_t sequence = 0;
};

}  // namespace media
}  // namespace vexa
