#pragma once
// A skinned character on a marker, built from a <CHARACTER> block of an
// entity description:
//
//   <CHARACTER>
//       <FILE> models/characters/walker/walker.skin   skin configuration file (CSkinnedModel)
//       <SCALE> 1.0                                   uniform scale of the character
//       <MODE> 0                                      0: replays "idle" when the marker comes back
//   </CHARACTER>
//
// update: with mode 0, when the marker comes back after a long absence (its
// reappeared flag rises), the action named "idle" is stopped and started
// again, fading in and out over 1 second. Other modes do nothing there.
// Trigger: each digit key 0-9 starts the character's animation of that
// index (in the skin configuration's order) as an action with 1-second
// fades; an index the character does not have does nothing.
// The character itself moves every frame in the update traversal (CSkinnedModel).
//
// Its node (a transform scaled by <SCALE> over the character) goes under
// the content object's root node. CleanUp and Save do nothing: the content
// object writes the block back from its lines. Owns its skinned model.

#include "CMarkerEntity.h"
#include "CSkinnedModel.h"
#include "CTagBlock.h"

#include <osg/MatrixTransform>
#include <osg/ref_ptr>

#include <string>
#include <vector>

class CCharacterEntity : public CMarkerEntity
{
public:
    static constexpr float kFadeSeconds = 1.f;

    /// Builds the character of a <CHARACTER> block (its lines from the
    /// opening to the closing tag); null when the skinned model does not load.
    static CCharacterEntity* FromBlock(const std::vector<CTagBlock::KeptLine>& block);
    /// Builds the character from its skin configuration file; null when it does not load.
    static CCharacterEntity* Create(const std::string& skinFile, float scale, int mode);

    void update(float seconds, const MarkerState& state) override;
    void Trigger(std::vector<int> keys) override;
    void CleanUp() override {}
    char* GetDescription() override;
    void Save(COsgSettings& writer) override {}

    osg::MatrixTransform* GetNode() { return m_node.get(); }
    CSkinnedModel* GetModel() { return m_model.get(); }
    const std::string& GetFile() const { return m_file; }
    float GetScale() const { return m_scale; }
    int GetMode() const { return m_mode; }

private:
    CCharacterEntity() = default;

    osg::ref_ptr<CSkinnedModel> m_model;
    osg::ref_ptr<osg::MatrixTransform> m_node;
    std::string m_file = "NONE";
    float m_scale = 1.f;
    int m_mode = 0;
    bool m_wasReappeared = false;
};
