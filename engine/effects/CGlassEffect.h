#pragma once
// GLASS: solid refracting glass. The live camera picture (the texture store's
// shared scene texture) is looked up behind each fragment, shifted along the
// refracted view ray, so the table shows through the model, bent; tinted by
// the base colour, with highlights and a darker rim.
// Shaders "shaders/glass.vert" / ".frag".
//
// Units: 0 the camera picture ("RefractionMap"), 1 "EnvMap" (the file
// "none": always reported as not loadable, the unit stays empty and adds
// nothing), 2 the highlights ("SpecMap"). "FrameWidth" and "FrameHeight"
// (2048) are the frame size the bend is measured against. Presets drive
// "BaseColor", "Depth" and "MixRatio".

#include "CEffect.h"
#include "CGlassProps.h"

class CGlassEffect : public CEffect
{
public:
    CGlassEffect();
    ~CGlassEffect() override;

    void ApplyPreset(int index) override;

    void AddPreset(const std::string& name, const osg::Vec4f& colour, float depth, float mix);
    /// The uniforms start at the default preset's values; preset 0 repeats them.
    void Init(const std::string& presetName, const osg::Vec4f& colour, float depth, float mix);

private:
    osg::ref_ptr<osg::Uniform> m_baseColor;
    osg::ref_ptr<osg::Uniform> m_depth;
    osg::ref_ptr<osg::Uniform> m_mixRatio;
};
