#include "CamVideo.h"

#include "CamVideoLibrary.h"
#include "V4l2DeviceFactory.h"

#include <cstdio>
#include <mutex>

using vexa::media::CamVideoLibrary;

namespace {

std::mutex gMutex;
std::unique_ptr<CamVideoLibrary> gLibrary;
std::shared_ptr<vexa::media::IVideoDeviceFactory> gFactory;
vexa::media::LogSink gSink = [](const std::string& m) { std::fprintf(stderr, "%s\n", m.c_str()); };
bool gFrameLocked = false;

CamVideoLibrary& library() {
    std::lock_guard<std::mutex> lock(gMutex);
    if (!gLibrary) {
        if (!gFactory) gFactory = std::make_shared<vexa::media::V4l2DeviceFactory>();
        gLibrary = std::make_unique<CamVideoLibrary>(gFactory, gSink);
        gLibrary->setFrameLocked(gFrameLocked);
    }
    return *gLibrary;
}

void resetLibrary() {
    std::lock_guard<std::mutex> lock(gMutex);
    gLibrary.reset();
}

}  // namespace

extern "C" {

int camVideoOpen(const char* config) { return library().open(config); }
int camVideoGetPixelFormat(void) { return library().pixelFormat(); }
int camVideoGetSize(int* width, int* height) { return library().size(width, height); }
int camVideoCapStart(void) { return library().captureStart(); }
int camVideoGetCurrentDevice(void) { return library().currentDevice(); }
unsigned char* camVideoGetImage(void) { return library().image(); }
int camVideoCapStop(void) { return library().captureStop(); }
int camVideoClose(void) { return library().close(); }
int camVideoDeliverFrame(void) { return library().deliverFrame() ? 1 : 0; }
long long camVideoGetFrameCount(void) { return library().fileFrameCount(); }
double camVideoGetFrameRate(void) { return library().fileFrameRate(); }
int camVideoAtEnd(void) { return library().fileEnded() ? 1 : 0; }

void camVideoSetFrameLocked(int locked) {
    {
        std::lock_guard<std::mutex> lock(gMutex);
        gFrameLocked = locked != 0;
    }
    library().setFrameLocked(locked != 0);
}

}  // extern "C"

void camVideoSetFrameReceiver(vexa::media::IFrameReceiver* receiver) { library().setFrameReceiver(receiver); }

void camVideoSetLogSink(vexa::media::LogSink sink) {
    resetLibrary();
    std::lock_guard<std::mutex> lock(gMutex);
    gSink = std::move(sink);
}

void camVideoSetDeviceFactory(std::shared_ptr<vexa::media::IVideoDeviceFactory> factory) {
    resetLibrary();
    std::lock_guard<std::mutex> lock(gMutex);
    gFactory = std::move(factory);
}
