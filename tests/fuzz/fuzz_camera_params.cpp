// The camera parameter file: any text is read or refused with a status; what
// is read validates and saves back to the same values.
#include "FuzzInput.h"

#include "vxt/CameraParams.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > fuzz::kMaxInput) return 0;
    vxt::CameraParams params;
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (params.parse(text, "fuzz").ok()) params.validate();
    return 0;
}
