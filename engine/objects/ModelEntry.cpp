#include "ModelEntry.h"

#include "CEffect.h"

bool ModelEntry::SetEffect(CEffect* newEffect)
{
    if (!newEffect)
    {
        if (effect && node.valid() && hasOwnState) node->setStateSet(ownState.get());
        effect = nullptr;
        return false;
    }
    if (!node.valid()) return false;
    if (!hasOwnState)
    {
        ownState = node->getStateSet();
        hasOwnState = true;
    }
    node->setStateSet(newEffect->GetStateSet());
    effect = newEffect;
    return true;
}
