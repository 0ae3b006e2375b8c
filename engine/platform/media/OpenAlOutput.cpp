#include "OpenAlOutput.h"

#include <AL/al.h>
#include <AL/alc.h>

namespace vexa {
namespace media {

OpenAlOutput::~OpenAlOutput() { close(); }

bool OpenAlOutput::open(const std::string& deviceName) {
    close();
    ALCdevice* device = alcOpenDevice(deviceName.empty() ? nullptr : deviceName.c_str());
    if (!device) {
        error_ = "no sound output device" + (deviceName.empty() ? std::string() : " '" + deviceName + "'") +
                 " could be opened";
        return false;
    }
    ALCcontext* context = alcCreateContext(device, nullptr);
    if (!context || !alcMakeContextCurrent(context)) {
        if (context) alcDestroyContext(context);
        alcCloseDevice(device);
        error_ = "cannot create a sound context on the output device";
        return false;
    }
    device_ = device;
    context_ = context;
    return true;
}

void OpenAlOutput::close() {
    if (!device_) return;
    if (alcGetCurrentContext() == static_cast<ALCcontext*>(context_)) alcMakeContextCurrent(nullptr);
    alcDestroyContext(static_cast<ALCcontext*>(context_));
    alcCloseDevice(static_cast<ALCdevice*>(device_));
    device_ = context_ = nullptr;
}

}  // namespace media
}  // namespace vexa
