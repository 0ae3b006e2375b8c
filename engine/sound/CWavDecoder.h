#pragma once
// Reads the WAV layouts that ALUT's loader refuses: 24- and 32-bit integer
// samples, 32- and 64-bit float samples, and the extensible header that
// recorders and converters write for them. The sound is handed back as
// signed 16-bit samples, one or two channels interleaved, ready for an
// OpenAL buffer. Files of more than two channels are refused.

#include <cstdint>
#include <string>
#include <vector>

class CWavDecoder
{
public:
    struct Sound
    {
        std::vector<int16_t> samples;  // interleaved
        int channels = 0;
        int rate = 0;                  // samples a second per channel
    };

    /// False with one line in `why` saying what was expected and what was found.
    static bool Decode(const std::string& path, Sound& sound, std::string& why);
};
