#pragma once
// One model loaded by a <FILE> line of a content object's <MODEL> block.
// The content object owns its entries.

#include "CTagBlock.h"

#include <osg/Node>
#include <osg/ref_ptr>

#include <string>
#include <vector>

class CEffect;

struct ModelEntry
{
    std::string filePath;     // as written in the content file
    std::string diffuseMap;   // <DIFFUSE_MAP>, read by the material effects
    std::string glossMap;     // <GLOSS_MAP>, read by the material effects
    osg::ref_ptr<osg::Node> node;
    CEffect* effect = nullptr;  // effect or effect group applied to the model; not owned

    // <SHADOW_COMP_MAT> values, when the block was given.
    bool hasShadowComp = false;
    float shadowBlend = 0.f;   // "ShadBlend"
    float shadowSoften = 0.f;  // "Epsilon"

    /// Lines of this model's block that later parts of the system act on
    /// (<EFFECT>, <GROUP_EFFECT>, <ANI_CONTROL>, <VIDEO_MAT>, <TRACE_PARTICLE>),
    /// kept so that writing the object back loses nothing.
    std::vector<CTagBlock::KeptLine> keptLines;
};
