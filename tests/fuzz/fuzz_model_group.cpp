// Model group files: their lights, materials and models with transforms.
#include "FuzzInput.h"

#include "CLight.h"
#include "CMaterial.h"
#include "CModelGroup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > fuzz::kMaxInput) return 0;
    const std::string path = fuzz::WriteInput(data, size, "group.zep");
    if (!path.empty()) CModelGroup::Load(path);
    CModelGroup::ClearAll();
    CMaterial::ClearAll();
    CLight::ClearAll();
    return 0;
}
