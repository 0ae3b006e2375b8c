#pragma once
// Opens an OpenAL output device and makes a context for it current, for programs and
// tests that have no sound manager of their own. With OpenAL Soft, the environment
// chooses the backend: ALSOFT_DRIVERS=null plays into nothing at real-time pace,
// ALSOFT_DRIVERS=wave (with ALSOFT_CONF naming a file) writes a WAV file.
// Owns the device and the context; destruction releases both.
#include "LogSink.h"

#include <string>

namespace vexa {
namespace media {

class OpenAlOutput {
public:
    OpenAlOutput() = default;
    ~OpenAlOutput();
    OpenAlOutput(const OpenAlOutput&) = delete;
    OpenAlOutput& operator=(const OpenAlOutput&) = delete;

    // deviceName empty = the default device. False with one line in lastError().
    bool open(const std::string& deviceName = std::string());
    void close();
    bool isOpen() const { return device_ != nullptr; }
    const std::string& lastError() const { return error_; }

private:
    void* device_ = nullptr;   // ALCdevice
    void* context_ = nullptr;  // ALCcontext
    std::string error_;
};

}  // namespace media
}  // namespace vexa
