#pragma once
// The scripted state of one fake camera: what it reports, the frames it delivers and
// the errors it injects. Shared between the test (which scripts and inspects it) and
// the FakeVideoDevice that the code under test drives; guarded by 'mutex'.
#include "VideoDeviceTypes.h"

#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace vexa {
namespace media {
namespace testing {

struct FakeCamera {
    struct Size {
        VideoFrameSize size;
        std::vector<VideoFrameInterval> intervals;  // may hold 0/0
    };
    struct Format {
        uint32_t pixelFormat = 0;
        std::vector<Size> sizes;
        bool emulated = false;
    };

    std::mutex mutex;
    std::string path;
    VideoCapability capability;                 // card name, caps
    std::vector<Format> formats;
    VideoPixelFormat current;                   // G_FMT answer
    VideoFrameInterval currentInterval;         // G_PARM answer
    std::vector<VideoControl> controls;

    std::deque<std::vector<uint8_t>> frames;    // delivered in order, one per dequeue
    std::vector<uint8_t> steadyFrame;           // delivered when 'frames' is empty (if set)

    // Errors to return, one per call, by operation: "open", "querycap", "setFormat",
    // "requestBuffers", "queue", "dequeue", "streamOn", "wait".
    std::map<std::string, std::deque<int>> errors;
    // Same, but returned on every call from now on (e.g. "wait" -> EAGAIN).
    std::map<std::string, int> stickyErrors;
    int unplugAfterFrames = -1;                 // device vanishes after this many frames
    bool unplugged = false;

    // What happened.
    int opens = 0;
    int closes = 0;
    int streamOns = 0;
    int streamOffs = 0;
    int framesDequeued = 0;
    std::vector<VideoPixelFormat> formatsSet;
    std::vector<VideoFrameInterval> intervalsSet;

    // Adds a format with sizes, each at the given intervals.
    void addFormat(uint32_t pixelFormat, const std::vector<VideoFrameSize>& sizes,
                   const std::vector<VideoFrameInterval>& intervals);
    // Takes the next scripted error for an operation (0 when none).
    int takeError(const std::string& op);
};

// Frame makers (all tightly packed).
// Top half of the picture bright (Y 235), bottom half dark (Y 16).
std::vector<uint8_t> yuyvTopBrightFrame(int width, int height);
std::vector<uint8_t> bgr24Frame(int width, int height, uint8_t b, uint8_t g, uint8_t r);
// A JPEG of a grey picture, bright (Y 235) where `bright` says so, else dark (Y 16).
std::vector<uint8_t> mjpegFrame(int width, int height, const std::function<bool(int x, int y)>& bright);
// A JPEG of a picture whose top half is bright and bottom half dark.
std::vector<uint8_t> mjpegTopBrightFrame(int width, int height);

}  // namespace testing
}  // namespace media
}  // namespace vexa
