#pragma once

namespace vxt {

// Pixel formats the detector reads. The numbers are the tracker's pixel
// format codes; bytes are listed in memory order.
enum class PixelFormat : int {
    Invalid = 0,
    RGB = 1,    // R G B
    BGR = 2,    // B G R
    RGBA = 3,   // R G B A
    BGRA = 4,   // B G R A
    ABGR = 5,   // A B G R
    Mono = 6,   // Y (8-bit grey)
    ARGB = 7,   // A R G B (BGRA packed as 8_8_8_8 on a little-endian host)
    UYVY = 8,   // Cb Y0 Cr Y1, 4 bytes per 2 pixels ("2vuy")
    YUYV = 9,   // Y0 Cb Y1 Cr, 4 bytes per 2 pixels ("yuvs")
};

// Bytes per pixel of a format (2 for the 4:2:2 formats); 0 for Invalid or an
// unknown code.
int bytesPerPixel(PixelFormat f);

// True for codes 1..9.
bool isValidPixelFormat(int code);

}  // namespace vxt
