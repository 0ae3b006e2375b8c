#pragma once
// Where one converted video frame goes: memory its receiver owns (a stream's
// back buffer, the camera library's frame), the pixel layout there, and how the
// picture lies in it. Converters (FrameWriter and the classes built on it) fill
// every stored row in the same pass that converts the colours, so a frame is
// touched once on its way from the camera or decoder to the receiver.
//
// Orientation is told as the picture, not as memory: `bottomUp` stores the
// picture's last row first, `mirrored` puts its left edge at the end of each row,
// `oneField` keeps only the picture's odd rows (1, 3, 5, ...; de-interlacing), so
// the target holds height / 2 rows.
#include <cstdint>

namespace vexa {
namespace media {

struct FrameTarget {
    enum class Layout { Bgra32, Bgr24 };  // bytes B, G, R (, A = 255)

    uint8_t* pixels = nullptr;  // the first stored row; null: the receiver takes no frame now
    int rowBytes = 0;           // from one stored row to the next, at least width * bytesPerPixel()
    int width = 0;              // the picture's size, in pixels
    int height = 0;
    Layout layout = Layout::Bgra32;
    bool mirrored = false;
    bool bottomUp = false;
    bool oneField = false;

    int bytesPerPixel() const { return layout == Layout::Bgra32 ? 4 : 3; }
    int storedRows() const { return oneField ? height / 2 : height; }
};

}  // namespace media
}  // namespace vexa
