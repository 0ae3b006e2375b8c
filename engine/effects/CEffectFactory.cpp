// CEffectLibrary: making effects of a type name.
#include "CEffectLibrary.h"

#include "CAlphaGlassEffect.h"
#include "CDiffuseAOILEffect.h"
#include "CEffectTarget.h"
#include "CGlassEffect.h"
#include "CGlossMaskEffect.h"
#include "CMetalEffect.h"
#include "CRubberEffect.h"
#include "CSpecMapEffect.h"
#include "CTransPolishedStoneEffect.h"

namespace
{
// Positions in TypeNames().
enum Type
{
    METAL,
    CHROME_METAL,
    BRUSHED_METAL,
    ALPHA_GLASS,
    GLOSS_MAP,
    GLOSS_MAP_SOFT,
    DIF_AOIL,
    DIF_SOFT_AOIL,
    GLASS,
    RUBBER,
    SPEC,
    STONE
};

int typeIndex(const std::string& typeName)
{
    const std::vector<std::string>& names = CEffectLibrary::TypeNames();
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == typeName) return static_cast<int>(i);
    return -1;
}

std::string knownTypes()
{
    std::string list;
    for (const std::string& name : CEffectLibrary::TypeNames()) list += (list.empty() ? "" : ", ") + name;
    return list;
}

std::string mapFile(CEffectTarget* target, bool gloss)
{
    if (!target) return std::string();
    return gloss ? target->GetGlossMapFile() : target->GetDiffuseMapFile();
}

template <typename Props>
const Props* as(CEffectProps* preset)
{
    return dynamic_cast<const Props*>(preset);
}
}

CEffect* CEffectLibrary::Construct(int type) const
{
    switch (type)
    {
    case METAL:
    case CHROME_METAL:
    case BRUSHED_METAL: return new CMetalEffect;
    case ALPHA_GLASS: return new CAlphaGlassEffect;
    case GLOSS_MAP:
    case GLOSS_MAP_SOFT: return new CGlossMaskEffect;
    case DIF_AOIL:
    case DIF_SOFT_AOIL: return new CDiffuseAOILEffect;
    case GLASS: return new CGlassEffect;
    case RUBBER: return new CRubberEffect;
    case SPEC: return new CSpecMapEffect;
    case STONE: return new CTransPolishedStoneEffect;
    default: return nullptr;
    }
}

CEffect* CEffectLibrary::BuildInstance(int type, const std::string& typeName, CEffectProps* preset,
                                       CEffectTarget* target) const
{
    switch (type)
    {
    case METAL:
    case CHROME_METAL:
    case BRUSHED_METAL:
        if (const CMetalProps* p = as<CMetalProps>(preset))
        {
            CMetalEffect* effect = new CMetalEffect;
            if (type == METAL) effect->Init(p->name, p->colour);
            else if (type == CHROME_METAL) effect->InitChrome(p->name, p->colour);
            else effect->InitBrushed(p->name, p->colour);
            return effect;
        }
        return nullptr;
    case ALPHA_GLASS:
        if (const CAlphaGlassProps* p = as<CAlphaGlassProps>(preset))
        {
            CAlphaGlassEffect* effect = new CAlphaGlassEffect;
            effect->Init(p->name, p->colour, p->mix, p->specularPercent, p->baseAlpha);
            return effect;
        }
        return nullptr;
    case GLOSS_MAP:
    case GLOSS_MAP_SOFT:
        if (const CGlossMaskProps* p = as<CGlossMaskProps>(preset))
        {
            CGlossMaskEffect* effect = new CGlossMaskEffect;
            const std::string map = mapFile(target, true);
            if (type == GLOSS_MAP) effect->Init(p->name, p->diffusePercent, p->specularPercent, map);
            else effect->InitSoft(p->name, p->diffusePercent, p->specularPercent, map);
            return effect;
        }
        return nullptr;
    case DIF_AOIL:
    case DIF_SOFT_AOIL:
        if (const CDiffuseAOILProps* p = as<CDiffuseAOILProps>(preset))
        {
            CDiffuseAOILEffect* effect = new CDiffuseAOILEffect;
            const std::string map = mapFile(target, false);
            if (type == DIF_AOIL) effect->Init(p->name, p->diffusePercent, p->specularPercent, map);
            else effect->InitSoft(p->name, p->diffusePercent, p->specularPercent, map);
            return effect;
        }
        return nullptr;
    case GLASS:
        if (const CGlassProps* p = as<CGlassProps>(preset))
        {
            CGlassEffect* effect = new CGlassEffect;
            effect->Init(p->name, p->colour, p->depth, p->mix);
            return effect;
        }
        return nullptr;
    case RUBBER:
        if (const CRubberProps* p = as<CRubberProps>(preset))
        {
            CRubberEffect* effect = new CRubberEffect;
            effect->Init(p->name, p->colour, p->noiseScale, p->diffusePercent, p->specularPercent);
            return effect;
        }
        return nullptr;
    case SPEC:
        if (const CSpecMapProps* p = as<CSpecMapProps>(preset))
        {
            CSpecMapEffect* effect = new CSpecMapEffect;
            effect->Init(p->name, p->mix);
            return effect;
        }
        return nullptr;
    case STONE:
        if (const CTransPStoneProps* p = as<CTransPStoneProps>(preset))
        {
            CTransPolishedStoneEffect* effect = new CTransPolishedStoneEffect;
            effect->Init(p->name, p->colour, p->depth, p->mix, p->refractionIndex);
            return effect;
        }
        return nullptr;
    default: (void)typeName; return nullptr;
    }
}

CEffect* CEffectLibrary::CreateEffect(const std::string& typeName, bool instance, const std::string& defaultPreset,
                                      const std::vector<std::string>& presetNames, CEffectTarget* target)
{
    const int type = typeIndex(typeName);
    if (type < 0)
    {
        if (instance) CEffect::Print("Warning! Unknown effect type '" + typeName + "'; expected one of " + knownTypes());
        return nullptr;
    }
    if (!instance)
    {
        CEffect* effect = Construct(type);
        effect->SetTypeName(typeName);
        return effect;
    }
    CEffect* effect = BuildInstance(type, typeName, FindPreset(typeName, defaultPreset), target);
    if (!effect)
    {
        CEffect::Print("Warning! Effect " + typeName + " needs a " + typeName + " preset named '" + defaultPreset +
                       "' in the presets file; there is none");
        return nullptr;
    }
    m_instances.emplace_back(effect);
    effect->AddPresets(CollectPresets(typeName, presetNames));
    if (target) target->SetEffect(effect);
    return effect;
}
