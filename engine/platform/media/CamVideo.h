#pragma once
// The camera library's C calls, on one process-wide CamVideoLibrary (see there for
// the meaning of each call, ownership and threading). The configuration grammar is
// in docs/camvideo.md.
#include "IFrameReceiver.h"
#include "IVideoDeviceFactory.h"
#include "LogSink.h"

#include <memory>

extern "C" {
int camVideoOpen(const char* config);          // negative on failure
int camVideoGetPixelFormat(void);              // negative when nothing usable is open
int camVideoGetSize(int* width, int* height);  // negative on failure
int camVideoCapStart(void);                    // 0 on success
int camVideoGetCurrentDevice(void);
unsigned char* camVideoGetImage(void);         // BGR width x height, rows top-down; null: no new frame
int camVideoCapStop(void);
int camVideoClose(void);
// Non-zero: file sources give the next frame on every camVideoGetImage call.
void camVideoSetFrameLocked(int locked);
// With a frame receiver: a file source writes the frame due into it (1), or
// there is none (0); cameras write into it by themselves (0).
int camVideoDeliverFrame(void);
// An open file's frame count, 0 for cameras; 1 once a file that does not
// loop has shown its last frame, else 0.
long long camVideoGetFrameCount(void);
double camVideoGetFrameRate(void);  // an open file's frames per second, 0 for cameras
int camVideoAtEnd(void);
}

// Frames are converted straight into the receiver's memory instead of being
// handed out by camVideoGetImage (which then gives null); null goes back to it.
// Opening or closing a source drops the receiver.
void camVideoSetFrameReceiver(vexa::media::IFrameReceiver* receiver);

// Where the library's messages go (default: standard error). Closes an open source.
void camVideoSetLogSink(vexa::media::LogSink sink);
// Which devices the library sees (default: the system's V4L2 nodes); tests pass a
// double. Closes an open source.
void camVideoSetDeviceFactory(std::shared_ptr<vexa::media::IVideoDeviceFactory> factory);
