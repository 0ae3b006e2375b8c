#pragma once
// A video plane on a marker, from a <VIDEO> block of an entity description:
//
//   <VIDEO>
//       <FILE> models/media/studio.mp4   the clip (anything FFmpeg reads)
//       <SCALE> 40             half the plane's height in marker units (default 40)
//       <TRANSPORT> LOOP       LOOP (default): round and round; PLAY: once, then the last picture stays
//       <TYPE> 0               0 (default): the plane has the clip's shape; 1: a square plane
//       <BLEND> 0 1 0 0.3      key colour r g b (0..1) and tolerance: those colours are see-through
//   </VIDEO>
//
// The plane stands in the marker's x-y plane, facing the camera, centred on
// the object's origin: corners (-a, -1, 0), (a, -1, 0), (a, 1, 0), (-a, 1, 0)
// scaled by <SCALE>, where a is the clip's width over its height (type 0)
// or 1 (type 1). It shows the clip unlit (CVideoPlayback: paused while the
// marker is lost, from the beginning after a long absence, with the clip's
// sound); <BLEND> keys out the colours near its key colour (CColourKey). A
// file that is not a video leaves a plain grey plane.
//
// The plane's node goes under the content object's root node. CleanUp
// releases the video. GetDescription is an empty text; Save writes the block
// back with every tag (the defaults for those the file left out).

#include "CMarkerEntity.h"
#include "CVideoPlayback.h"

#include <osg/MatrixTransform>
#include <osg/Vec3f>
#include <osg/ref_ptr>

#include <string>
#include <vector>

class COsgSettings;

class CVideoEntity : public CMarkerEntity
{
public:
    struct Settings
    {
        std::string file;
        int scale = 40;
        CVideoPlayback::Transport transport = CVideoPlayback::TRANSPORT_LOOP;
        int type = 0;  // 0: the clip's shape; 1: square
        bool blend = false;
        osg::Vec3f keyColour{0.f, 1.f, 0.f};
        float tolerance = 0.3f;
    };

    /// Reads the <VIDEO> block the reader stands on and builds the entity,
    /// which the caller owns. Leaves the reader on </VIDEO>, or, when the
    /// block is not closed before a line starting with one of `stops`, on
    /// the block's last line (with a warning).
    static CVideoEntity* Read(COsgSettings& reader, const std::vector<std::string>& stops);
    /// Builds the plane and opens the clip.
    explicit CVideoEntity(const Settings& settings, bool withSound = true);

    void update(float seconds, const MarkerState& state) override;
    void Trigger(std::vector<int> keys) override {}
    void CleanUp() override;
    char* GetDescription() override;
    void Save(COsgSettings& writer) override;

    /// The plane's transform (scaled by <SCALE>), for the object's root node.
    osg::MatrixTransform* GetNode() { return m_node.get(); }
    const Settings& GetSettings() const { return m_settings; }
    CVideoPlayback& GetPlayback() { return m_playback; }
    /// Half the plane's width before <SCALE> (a above).
    float GetHalfWidth() const { return m_halfWidth; }

private:
    static void ReadLine(COsgSettings& reader, const std::string& tag, Settings& settings);
    void BuildPlane();

    Settings m_settings;
    CVideoPlayback m_playback;
    osg::ref_ptr<osg::MatrixTransform> m_node;
    float m_halfWidth = 1.f;
};
