#include "CEffectLibrary.h"

CEffectLibrary* CEffectLibrary::Instance()
{
    static CEffectLibrary* instance = new CEffectLibrary();
    return instance;
}

bool CEffectLibrary::LoadPresets(const std::string&)
{
    return false;
}
