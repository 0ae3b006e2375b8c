// Skin configuration files of characters (the files they name are looked up
// in the scratch folder, where none exist unless the input wrote them).
#include "FuzzInput.h"

#include "CSkinnedModel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > fuzz::kMaxInput) return 0;
    const std::string path = fuzz::WriteInput(data, size, "char.skin");
    CSkinnedModel::Config config;
    if (!path.empty()) CSkinnedModel::ReadConfig(path, config);
    return 0;
}
