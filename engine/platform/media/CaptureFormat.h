#pragma once
// One capture capability of a camera: native pixel format, frame size and frame
// interval, with its display name "640x480 30 24-bit" (saved in the camera settings
// and compared as whole text).
#include "IVideoDevice.h"

#include <string>
#include <vector>

namespace vexa {
namespace media {

struct CaptureFormat {
    uint32_t pixelFormat = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    VideoFrameInterval interval;   // 0/0 when the device gives none
    int bitsPerPixel = 0;
    std::string name;

    // "%ldx%ld %.0f %d-bit", or "%.2f" for the rate when its fractional part is above 0.01.
    static std::string makeName(long width, long height, double framesPerSecond, int bitsPerPixel);
    // Frames per second as 10^7 / (interval in whole 100 ns units); 0 for an unknown interval.
    static double framesPerSecond(const VideoFrameInterval& interval);
    // Bits per pixel of a device's native format: YUYV 16, MJPG 24, RGB3/BGR3 24,
    // BGR4/RGB4 32, GREY 8; other formats by their usual depth.
    static int bitsForPixelFormat(uint32_t pixelFormat);

    // All (format, size, interval) triples the device lists, native formats only, in
    // the device's order. defaultIndex gets the entry matching the device's current
    // format and interval (0 when none matches). Returns 0 or the device's errno.
    static int listFormats(IVideoDevice& device, std::vector<CaptureFormat>& out, int& defaultIndex);
};

}  // namespace media
}  // namespace vexa
