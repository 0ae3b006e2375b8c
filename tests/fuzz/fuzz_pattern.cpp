// Pattern files: read or refused; a picture that is read builds its matching
// templates (every rotation and blur level).
#include "FuzzInput.h"

#include "vxt/PatternImage.h"
#include "vxt/PatternSet.h"

#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > fuzz::kMaxInput) return 0;
    vxt::PatternImage image;
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (!image.parse(text, "fuzz").ok()) return 0;
    static std::unique_ptr<vxt::PatternSet::Templates> templates(new vxt::PatternSet::Templates);
    vxt::PatternSet::buildTemplates(image, *templates);
    return 0;
}
