#include "vxt/PixelFormat.h"

namespace vxt {

int bytesPerPixel(PixelFormat f) {
    switch (f) {
        case PixelFormat::RGB:
        case PixelFormat::BGR: return 3;
        case PixelFormat::RGBA:
        case PixelFormat::BGRA:
        case PixelFormat::ABGR:
        case PixelFormat::ARGB: return 4;
        case PixelFormat::Mono: return 1;
        case PixelFormat::UYVY:
        case PixelFormat::YUYV: return 2;
        default: return 0;
    }
}

bool isValidPixelFormat(int code) { return code >= 1 && code <= 9; }

}  // namespace vxt
