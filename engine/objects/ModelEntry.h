#pragma once
// One model loaded by a <FILE> line of a content object's <MODEL> block.
// The content object owns its entries. An entry is what the effect library
// makes a model's effect for: SetEffect gives the model's node the effect's
// state set; the effect itself stays the library's. A model whose top node
// carries state of its own (its material, its texture) keeps it: the effect's
// state set then goes on a group put between the node and its parents, so
// the model's own texture still reaches the effect's shaders on unit 0.

#include "CEffectTarget.h"
#include "CTagBlock.h"

#include <osg/Group>
#include <osg/Node>
#include <osg/ref_ptr>

#include <string>
#include <vector>

class CEffect;

struct ModelEntry : public CEffectTarget
{
    virtual ~ModelEntry() = default;

    /// With an effect: the node takes its state set (the state the node had is
    /// kept to give back), true. With null: the node gets its own state back
    /// and the effect is forgotten, false.
    bool SetEffect(CEffect* newEffect) override;
    /// The node that carries the effect's state set: the model's node, or the
    /// group above it; null without an effect.
    osg::Node* EffectNode() const;
    std::string GetGlossMapFile() const override { return glossMap; }
    std::string GetDiffuseMapFile() const override { return diffuseMap; }

    std::string filePath;     // as written in the content file
    std::string diffuseMap;   // <DIFFUSE_MAP>, read by the material effects
    std::string glossMap;     // <GLOSS_MAP>, read by the material effects
    osg::ref_ptr<osg::Node> node;
    CEffect* effect = nullptr;  // effect or effect group applied to the model; not owned
    osg::ref_ptr<osg::Group> effectHolder;  // between the node and its parents, when the node has state of its own

    // <SHADOW_COMP_MAT> values, when the block was given.
    bool hasShadowComp = false;
    float shadowBlend = 0.f;   // "ShadBlend"
    float shadowSoften = 0.f;  // "Epsilon"

    /// Lines of this model's block that later parts of the system act on
    /// (<ANI_CONTROL>, <VIDEO_MAT>, <TRACE_PARTICLE>), and effect lines that
    /// made no effect, kept so that writing the object back loses nothing.
    std::vector<CTagBlock::KeptLine> keptLines;
};
