// Light and material blocks as a light rig or a model group gives them.
#include "FuzzInput.h"

#include "CLight.h"
#include "CLightRig.h"
#include "CMaterial.h"
#include "COsgSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > fuzz::kMaxInput) return 0;
    const std::string path = fuzz::WriteInput(data, size, "rig.lit");
    COsgSettings file;
    if (path.empty() || !file.Load(path)) return 0;
    CLight::ReadAll(file);
    CMaterial::ReadAll(file);
    COsgSettings again;
    if (again.Load(path)) CLightRig::LoadLights(again);
    CMaterial::ClearAll();
    CLight::ClearAll();
    return 0;
}
