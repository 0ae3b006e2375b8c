// Multi-marker configuration files, with the pattern files they name read
// from the scratch folder (a seed's own patterns are written there by name).
#include "FuzzInput.h"

#include "vxt/MultiMarkerConfig.h"
#include "vxt/PatternSet.h"

#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > fuzz::kMaxInput) return 0;
    static const std::string folder = fuzz::ScratchFolder();
    std::unique_ptr<vxt::PatternSet> patterns(new vxt::PatternSet);
    vxt::MultiMarkerConfig config;
    const std::string text(reinterpret_cast<const char*>(data), size);
    config.parse(text, "fuzz", folder, *patterns);
    return 0;
}
