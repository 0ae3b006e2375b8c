#pragma once
// STONE: translucent polished stone (jade, marble, alabaster). Light seems to
// enter the stone and spread under its surface: the lit side wraps softly
// round the form, thin rims glow with the blurred camera picture behind
// them, and the polish adds sharp highlights.
// Shaders "shaders/fakeScatter.vert" / ".frag".
//
// Units: 0 the camera picture ("RefractionMap"), 1 the highlights
// ("SpecMap"). "FrameWidth" and "FrameHeight" (2048) are the frame size the
// depth is measured against. Presets drive "BaseColor", "Depth", "MixRatio"
// and "InRefIndex".

#include "CEffect.h"
#include "CTransPStoneProps.h"

class CTransPolishedStoneEffect : public CEffect
{
public:
    CTransPolishedStoneEffect();
    ~CTransPolishedStoneEffect() override;

    void ApplyPreset(int index) override;

    void AddPreset(const std::string& name, const osg::Vec4f& colour, float depth, float mix, float refractionIndex);
    /// The uniforms start at the default preset's values; preset 0 repeats them.
    void Init(const std::string& presetName, const osg::Vec4f& colour, float depth, float mix,
              float refractionIndex);

private:
    osg::ref_ptr<osg::Uniform> m_baseColor;
    osg::ref_ptr<osg::Uniform> m_depth;
    osg::ref_ptr<osg::Uniform> m_mixRatio;
    osg::ref_ptr<osg::Uniform> m_refractionIndex;
};
