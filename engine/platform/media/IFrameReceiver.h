#pragma once
// Memory that takes video frames straight from a converter (see
// CamVideoLibrary::setFrameReceiver): the receiver says where the next frame
// goes, the converter writes it there in one pass, then tells the receiver.
//
// Both calls come from the thread that converts the frame (a camera's capture
// thread, or the caller of CamVideoLibrary::deliverFrame), one frame at a time.
#include "FrameTarget.h"

#include <cstdint>

namespace vexa {
namespace media {

class IFrameReceiver {
public:
    virtual ~IFrameReceiver() = default;
    // Where the next frame of width x height goes; a target without pixels skips it.
    virtual FrameTarget frameTarget(int width, int height) = 0;
    // The target given last now holds a whole new frame.
    virtual void frameWritten() = 0;
    // Called just before frameWritten: the frame's number at its source (the
    // index of a file's frame within the file; a camera's frames counted from 0).
    virtual void frameNumber(int64_t) {}
};

}  // namespace media
}  // namespace vexa
