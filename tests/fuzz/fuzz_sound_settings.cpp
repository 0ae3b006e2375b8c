// The sound settings file: the device name read as the sound manager reads
// it at start (whole words, blanks and commas kept), and the file rewritten
// when it names no device. No device is opened.
#include "FuzzInput.h"

#include "CSoundManager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > fuzz::kMaxInput) return 0;
    // The manager reads its file from the working folder, the scratch folder.
    if (fuzz::WriteInput(data, size, "Data/soundSettings.dat").empty()) return 0;
    CSoundManager manager;
    manager.LoadSoundSettings();
    return 0;
}
