#pragma once
// Writes sound as a plain WAV file: one channel of signed 16-bit PCM (the
// layout OpenAL plays as a positional sound). The file is written whole
// through the atomic file writer, so a failed write leaves any old file.

#include <string>
#include <vector>

class WavWriter
{
public:
    /// `samples` between -1 and 1 (beyond is clipped), at `rate` samples a
    /// second. False, with the reason in `why` when given, when the file
    /// could not be written.
    static bool WriteMono16(const std::string& path, const std::vector<float>& samples, int rate,
                            std::string* why = nullptr);

    /// The bytes of such a file: a 44-byte header, then the samples.
    static std::string Encode(const std::vector<float>& samples, int rate);
};
