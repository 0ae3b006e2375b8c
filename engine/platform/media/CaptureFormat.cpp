#include "CaptureFormat.h"

#include <cmath>
#include <cstdio>

namespace vexa {
namespace media {

std::string CaptureFormat::makeName(long width, long height, double fps, int bits) {
    char text[128];
    const double fraction = fps - std::floor(fps);
    std::snprintf(text, sizeof text, fraction <= 0.01 ? "%ldx%ld %.0f %d-bit" : "%ldx%ld %.2f %d-bit", width, height,
                  fps, bits);
    return text;
}

double CaptureFormat::framesPerSecond(const VideoFrameInterval& interval) {
    if (!interval.valid()) return 0.0;
    // Whole 100 ns units, truncated, as capture drivers report their average frame time.
    const auto units = static_cast<long long>(10000000.0 * interval.numerator / interval.denominator);
    return units > 0 ? 10000000.0 / static_cast<double>(units) : 0.0;
}

int CaptureFormat::bitsForPixelFormat(uint32_t f) {
    if (f == fourcc('Y', 'U', 'Y', 'V') || f == fourcc('U', 'Y', 'V', 'Y') || f == fourcc('Y', 'V', 'Y', 'U')) return 16;
    if (f == fourcc('M', 'J', 'P', 'G') || f == fourcc('J', 'P', 'E', 'G')) return 24;
    if (f == fourcc('R', 'G', 'B', '3') || f == fourcc('B', 'G', 'R', '3')) return 24;
    if (f == fourcc('B', 'G', 'R', '4') || f == fourcc('R', 'G', 'B', '4') || f == fourcc('A', 'R', '2', '4') ||
        f == fourcc('X', 'R', '2', '4'))
        return 32;
    if (f == fourcc('G', 'R', 'E', 'Y')) return 8;
    if (f == fourcc('N', 'V', '1', '2') || f == fourcc('Y', 'U', '1', '2') || f == fourcc('Y', 'V', '1', '2')) return 12;
    return 24;
}

int CaptureFormat::listFormats(IVideoDevice& device, std::vector<CaptureFormat>& out, int& defaultIndex) {
    out.clear();
    defaultIndex = 0;
    std::vector<VideoFormatDesc> formats;
    int rc = device.enumerateFormats(formats);
    if (rc) return rc;
    VideoPixelFormat current;
    const bool haveCurrent = device.getFormat(current) == 0;
    VideoFrameInterval currentInterval;
    const bool haveInterval = device.getFrameInterval(currentInterval) == 0 && currentInterval.valid();
    int sizeMatch = -1, fullMatch = -1;
    std::vector<VideoFrameSize> sizes;
    std::vector<VideoFrameInterval> intervals;
    for (const VideoFormatDesc& f : formats) {
        if (f.emulated) continue;
        if ((rc = device.enumerateFrameSizes(f.pixelFormat, sizes)) != 0) return rc;
        for (const VideoFrameSize& s : sizes) {
            if ((rc = device.enumerateFrameIntervals(f.pixelFormat, s.width, s.height, intervals)) != 0) return rc;
            if (intervals.empty()) intervals.push_back(VideoFrameInterval());  // rate unknown
            for (const VideoFrameInterval& i : intervals) {
                CaptureFormat c;
                c.pixelFormat = f.pixelFormat;
                c.width = s.width;
                c.height = s.height;
                c.interval = i;
                c.bitsPerPixel = bitsForPixelFormat(f.pixelFormat);
                c.name = makeName(s.width, s.height, framesPerSecond(i), c.bitsPerPixel);
                const bool sameSize = haveCurrent && current.pixelFormat == c.pixelFormat &&
                                      current.width == c.width && current.height == c.height;
                if (sameSize && sizeMatch < 0) sizeMatch = static_cast<int>(out.size());
                if (sameSize && haveInterval && fullMatch < 0 &&
                    static_cast<uint64_t>(i.numerator) * currentInterval.denominator ==
                        static_cast<uint64_t>(currentInterval.numerator) * i.denominator)
                    fullMatch = static_cast<int>(out.size());
                out.push_back(c);
            }
        }
    }
    defaultIndex = fullMatch >= 0 ? fullMatch : (sizeMatch >= 0 ? sizeMatch : 0);
    return 0;
}

}  // namespace media
}  // namespace vexa
