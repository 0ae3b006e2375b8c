#include "ModelEntry.h"

#include "CEffect.h"

namespace
{
// Puts `holder` in `node`'s place under every parent, with `node` below it.
void insertAbove(osg::Node* node, osg::Group* holder)
{
    osg::ref_ptr<osg::Node> keep = node;
    const osg::Node::ParentList parents = node->getParents();
    for (osg::Group* parent : parents) parent->replaceChild(node, holder);
    holder->addChild(node);
}

// Undoes insertAbove.
void removeAbove(osg::Node* node, osg::Group* holder)
{
    osg::ref_ptr<osg::Node> keep = node;
    const osg::Node::ParentList parents = holder->getParents();
    for (osg::Group* parent : parents) parent->replaceChild(holder, node);
    holder->removeChild(node);
}
}

osg::Node* ModelEntry::EffectNode() const
{
    if (!effect) return nullptr;
    return effectHolder.valid() ? static_cast<osg::Node*>(effectHolder.get()) : node.get();
}

bool ModelEntry::SetEffect(CEffect* newEffect)
{
    if (!node.valid()) return false;
    if (effect)  // the previous effect goes first
    {
        if (effectHolder.valid()) removeAbove(node.get(), effectHolder.get());
        else node->setStateSet(nullptr);
        effectHolder = nullptr;
        effect = nullptr;
    }
    if (!newEffect) return false;
    if (node->getStateSet())
    {
        effectHolder = new osg::Group;
        effectHolder->setName("Effect");
        effectHolder->setStateSet(newEffect->GetStateSet());
        insertAbove(node.get(), effectHolder.get());
    }
    else
        node->setStateSet(newEffect->GetStateSet());
    effect = newEffect;
    return true;
}
