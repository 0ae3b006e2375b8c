// The engine settings file as the engine reads it at start: the early pass
// (camera files, shadow resolution) and the late pass that applies every
// tracker, capture, screen-saver, toolbar and panel setting to a fresh
// engine object, which never opens a window. A file without its root block
// is rewritten with the current values, as at a first start.
#include "FuzzInput.h"

#include "CVexaBox.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > fuzz::kMaxInput) return 0;
    const std::string path = fuzz::WriteInput(data, size, "Data/VexaSettings.tsf");
    if (path.empty()) return 0;
    CVexaBox box;
    box.SetSettingsPath(path);
    box.ReadInitSettings();
    box.ReadSettings();
    return 0;
}
