// The effect presets file: every preset block of every effect type.
#include "FuzzInput.h"

#include "CEffectLibrary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > fuzz::kMaxInput) return 0;
    const std::string path = fuzz::WriteInput(data, size, "effects.mfx");
    CEffectLibrary* library = CEffectLibrary::Instance();
    if (!path.empty()) library->LoadPresets(path);
    library->ClearAll();
    return 0;
}
