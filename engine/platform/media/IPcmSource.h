#pragma once
// A source of interleaved signed 16-bit sound for AudioStreamPlayer.
// Called from the player's feeder thread only.
#include <cstdint>

namespace vexa {
namespace media {

class IPcmSource {
public:
    virtual ~IPcmSource() = default;
    virtual int sampleRate() const = 0;   // frames per second
    virtual int channels() const = 0;     // 1 or 2
    // Up to maxFrames frames; 0 at the end.
    virtual int readPcm(int16_t* interleaved, int maxFrames) = 0;
    // Back to the start; false when not possible.
    virtual bool rewindPcm() = 0;
};

}  // namespace media
}  // namespace vexa
