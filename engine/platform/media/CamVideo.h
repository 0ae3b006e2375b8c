#pragma once
// The camera library's C calls, on one process-wide CamVideoLibrary (see there for
// the meaning of each call, ownership and threading). The configuration grammar is
// in docs/camvideo.md.
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
}

// Where the library's messages go (default: standard error). Closes an open source.
void camVideoSetLogSink(vexa::media::LogSink sink);
// Which devices the library sees (default: the system's V4L2 nodes); tests pass a
// double. Closes an open source.
void camVideoSetDeviceFactory(std::shared_ptr<vexa::media::IVideoDeviceFactory> factory);
