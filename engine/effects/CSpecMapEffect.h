#pragma once
// SPEC: highlights laid over a model's own fixed-function look, without a
// shader program. Unit 2 carries the highlights-only environment map with
// reflection-map texture coordinates; its texture environment blends towards
// a constant colour (mix, mix, mix, mix) where the map is bright. The state
// set is drawn blended, in the transparent bin.

#include "CEffect.h"
#include "CSpecMapProps.h"

#include <osg/TexEnv>

class CSpecMapEffect : public CEffect
{
public:
    CSpecMapEffect();
    ~CSpecMapEffect() override;

    void ApplyPreset(int index) override;

    void AddPreset(const std::string& name, float mix);
    /// Builds the unit-2 highlight; preset 0 is the default preset's name and mix.
    void Init(const std::string& presetName, float mix);

    osg::TexEnv* GetTexEnv() const { return m_texEnv.get(); }

private:
    osg::ref_ptr<osg::TexEnv> m_texEnv;
};
