#include "CEffectLibrary.h"

#include "CEffect.h"

#include <algorithm>

CEffectLibrary* CEffectLibrary::Instance()
{
    static CEffectLibrary* instance = new CEffectLibrary();
    return instance;
}

CEffectLibrary::CEffectLibrary() = default;

CEffectLibrary::~CEffectLibrary() = default;

const std::vector<std::string>& CEffectLibrary::TypeNames()
{
    static const std::vector<std::string> names = {"METAL",   "CHROME_METAL",  "BRUSHED_METAL", "ALPHA_GLASS",
                                                   "GLOSS_MAP", "GLOSS_MAP_SOFT", "DIF_AOIL",      "DIF_SOFT_AOIL",
                                                   "GLASS",   "RUBBER",        "SPEC",          "STONE"};
    return names;
}

CEffect* CEffectLibrary::GetLibraryEffect(const std::string& typeName)
{
    for (const std::unique_ptr<CEffect>& effect : m_library)
        if (effect->GetTypeName() == typeName) return effect.get();
    CEffect* made = CreateEffect(typeName, false, "NONE", {}, nullptr);
    if (made) m_library.emplace_back(made);
    return made;
}

std::vector<CEffect*> CEffectLibrary::GetLibraryEffects() const
{
    std::vector<CEffect*> effects;
    for (const std::unique_ptr<CEffect>& effect : m_library) effects.push_back(effect.get());
    return effects;
}

std::vector<CEffect*> CEffectLibrary::GetInstances() const
{
    std::vector<CEffect*> effects;
    for (const std::unique_ptr<CEffect>& effect : m_instances) effects.push_back(effect.get());
    return effects;
}

CEffectProps* CEffectLibrary::FindPreset(const std::string& typeName, const std::string& presetName)
{
    for (const std::unique_ptr<CEffect>& effect : m_library)
        if (effect->GetTypeName() == typeName) return effect->FindPreset(presetName);
    return nullptr;
}

std::vector<CEffectProps*> CEffectLibrary::CollectPresets(const std::string& typeName,
                                                          const std::vector<std::string>& names)
{
    std::vector<CEffectProps*> found;
    for (const std::string& name : names)
        if (CEffectProps* preset = FindPreset(typeName, name)) found.push_back(preset);
    return found;
}

void CEffectLibrary::ReleaseInstances(const std::vector<CEffect*>& instances)
{
    m_instances.erase(std::remove_if(m_instances.begin(), m_instances.end(),
                                     [&](const std::unique_ptr<CEffect>& effect) {
                                         return std::find(instances.begin(), instances.end(), effect.get()) !=
                                                instances.end();
                                     }),
                      m_instances.end());
}

void CEffectLibrary::ClearAll()
{
    m_instances.clear();
    m_library.clear();
}
