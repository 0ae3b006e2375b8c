#pragma once
// A playing movie as the texture of a model, from a <VIDEO_MAT> block inside
// a <MODEL> block, after the model's <FILE>:
//
//   <VIDEO_MAT>
//       <FILE> models/media/studio.mp4   the clip
//       <RECT> 0                0 (default): a 2D texture; 1: a rectangle texture
//       <USE_BLEND> 1           non-zero: colour keying with the two tags below (default 0)
//       <BLEND_COLOUR> 0 1 0    the key colour, r g b 0..1 (default green)
//       <BLEND_TOL> 0.3         how far from the key colour a texel is still keyed out (default 0.3)
//   </VIDEO_MAT>
//
// The clip replaces the model's texture on unit 0, the picture the right way
// up for texture coordinates that put its bottom at t = 0 (as image files
// are mapped). It plays by the marker as a video plane does (CVideoPlayback,
// looping, with its sound); with keying the model is drawn unlit and the
// keyed texels are see-through (CColourKey), without it the model keeps its
// lighting. A file that is not a video leaves the model as it was.
//
// GetDescription is an empty text and Save writes nothing: the content
// object writes the block back from its lines. CleanUp releases the video.

#include "CMarkerEntity.h"
#include "CTagBlock.h"
#include "CVideoPlayback.h"

#include <osg/Node>
#include <osg/Vec3f>
#include <osg/ref_ptr>

#include <string>
#include <vector>

class CVideoMaterialEntity : public CMarkerEntity
{
public:
    struct Settings
    {
        std::string file;
        bool rectangle = false;
        bool blend = false;
        osg::Vec3f keyColour{0.f, 1.f, 0.f};
        float tolerance = 0.3f;
    };

    /// Builds the material of a <VIDEO_MAT> block (its lines from the opening
    /// to the closing tag) on `model`. Never null.
    static CVideoMaterialEntity* FromBlock(const std::vector<CTagBlock::KeptLine>& block, osg::Node* model);
    static Settings ReadSettings(const std::vector<CTagBlock::KeptLine>& block);
    CVideoMaterialEntity(const Settings& settings, osg::Node* model, bool withSound = true);

    void update(float seconds, const MarkerState& state) override { m_playback.Update(state); }
    void Trigger(std::vector<int> keys) override {}
    void CleanUp() override { m_playback.Release(); }
    char* GetDescription() override;
    void Save(COsgSettings& writer) override {}

    const Settings& GetSettings() const { return m_settings; }
    CVideoPlayback& GetPlayback() { return m_playback; }
    osg::Node* GetModel() { return m_model.get(); }

private:
    Settings m_settings;
    CVideoPlayback m_playback;
    osg::ref_ptr<osg::Node> m_model;
};
