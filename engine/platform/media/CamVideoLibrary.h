#pragma once
// The camera library: one video source chosen by a configuration string (see
// CamVideoConfig and docs/camvideo.md), a V4L2 camera or a video file, delivering
// BGR frames (3 bytes per pixel, rows top-down) of a fixed size.
//
// Calls mirror the C functions in CamVideo.h: 0 (or a non-negative value) on
// success, negative on failure; image() gives null when no new frame is ready.
//
// Every frame is converted once, straight from the camera's buffer or the decoder
// into the memory it is read from: the library's own frames for image(), or a
// receiver's memory (setFrameReceiver), e.g. the buffer a video stream shows.
//
// Ownership and threading: the library owns its frame memory. The pointer from
// image() stays valid and unchanged until the next image() call, captureStop() or
// close(). Camera frames arrive on the capture session's thread into a spare buffer
// (or the receiver's); image() only swaps buffers. File frames are decoded inside
// image() (or deliverFrame()) on the caller's thread. All calls may come from any
// thread (an internal mutex serialises them); after captureStart() nothing is
// allocated per frame by this code.
//
// A camera that disappears while capture is started (unplugged, reset) is reopened
// by the library's watcher thread once a second, on the same node (a by-id link
// stays a link) with the same format, into the same receiver or buffers; until then
// the last frame stays and isValid() is false. Stop and close never wait for a retry.
#include "CamVideoConfig.h"
#include "IFrameReceiver.h"
#include "IVideoDeviceFactory.h"
#include "LogSink.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vexa {
namespace media {

class CamVideoLibrary {
public:
    static constexpr int kPixelFormatBgr24 = 1;
    using Clock = std::function<double()>;  // seconds, monotonic; pacing of real-time files

    CamVideoLibrary(std::shared_ptr<IVideoDeviceFactory> factory, LogSink log, Clock clock = Clock());
    ~CamVideoLibrary();
    CamVideoLibrary(const CamVideoLibrary&) = delete;
    CamVideoLibrary& operator=(const CamVideoLibrary&) = delete;

    // Null or blank opens the first camera. Closes what was open before.
    int open(const char* config);
    int pixelFormat() const;                 // kPixelFormatBgr24, or -1 when nothing is open
    int size(int* width, int* height) const;
    int captureStart();
    // Index of the camera among the system's capture devices (0 for a file); -1 closed.
    int currentDevice() const;
    unsigned char* image();
    int captureStop();
    int close();

    // Frames go to the receiver instead of the library's own buffers: camera frames
    // as they arrive, on the capture thread; file frames at deliverFrame(). image()
    // then gives null. Null returns to image(). Opening or closing a source drops
    // the receiver; it must stay valid until it is replaced or dropped. Setting it
    // waits for a frame being written to the one before.
    void setFrameReceiver(IFrameReceiver* receiver);
    // With a receiver and a file source: decodes the frame due (the next one when
    // frame-locked) into it; true when a new frame was written. Cameras deliver
    // by themselves: false.
    bool deliverFrame();

    // Files: every image() call gives the next frame (for reproducible unattended runs).
    // Also set by the "locked" configuration option.
    void setFrameLocked(bool locked);
    // Open, and for a camera still connected (false while a lost one is waited for).
    bool isValid() const;
    // An open file's frame count (from its container, or estimated); 0 otherwise.
    int64_t fileFrameCount() const;
    // An open file's frame rate (frames per second); 0 otherwise.
    double fileFrameRate() const;
    // True once an open file that does not loop has no frame left to show.
    bool fileEnded() const;
    const std::string& lastError() const;
    const CamVideoConfig& config() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace media
}  // namespace vexa
