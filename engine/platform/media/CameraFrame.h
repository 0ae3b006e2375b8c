#pragma once
// One camera frame as the device delivered it, still in the driver's buffer,
// with the converter that knows its format. A V4l2CaptureSession hands it to
// its frame callback, which converts it once, straight into the memory where it
// belongs (convertTo with a FrameTarget). Valid only while the data is.
#include "FrameConverter.h"
#include "FrameTarget.h"

#include <cstddef>
#include <cstdint>

namespace vexa {
namespace media {

class CameraFrame {
public:
    CameraFrame(FrameConverter& converter, const uint8_t* data, size_t bytes)
        : converter_(converter), data_(data), bytes_(bytes) {}

    int width() const { return converter_.width(); }
    int height() const { return converter_.height(); }
    // Converts the frame into the target in one pass (see FrameConverter::convert).
    FrameResult convertTo(const FrameTarget& target) const { return converter_.convert(data_, bytes_, target); }

private:
    FrameConverter& converter_;
    const uint8_t* data_;
    size_t bytes_;
};

}  // namespace media
}  // namespace vexa
