// WAV files of the layouts the sound library's own loader refuses (24- and
// 32-bit integer, float and extensible), decoded to 16-bit samples as sound
// sources do when that loader fails.
#include "FuzzInput.h"

#include "CWavDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > fuzz::kMaxInput) return 0;
    const std::string path = fuzz::WriteInput(data, size, "sound.wav");
    CWavDecoder::Sound sound;
    std::string why;
    if (!path.empty()) CWavDecoder::Decode(path, sound, why);
    return 0;
}
