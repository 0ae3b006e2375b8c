#pragma once
// A video panel ("VIDEOREG_<index>"): a movie file or a live stream shown on
// a plane model, inside a frame model ("<name>VFRAME"). A press on the plane
// toggles between playing (the stream runs, animation segment 0) and paused
// (segment 1).
//
// Ownership: the region holds the stream by reference count (a live stream
// is shared with its owner); Release stops a stream it is playing. The frame
// is owned by this region.

#include "CHudRegion.h"

#include <osg/ref_ptr>

#include <memory>
#include <string>

class CVideoStream;

class CVideoRegion : public CHudRegion
{
public:
    CVideoRegion();
    ~CVideoRegion() override;

    /// A movie read from `videoFile` on the plane `planeModel` (planeWidth
    /// wide, as high as the movie's shape makes it) centred in the frame
    /// `frameModel` (frameWidth wide), at (x, y), under `parent` when given.
    /// `framesPerSecond` paces the movie (0: its own rate); `loop` is kept
    /// for the caller (movies loop). A file that cannot be read leaves the
    /// plane without a picture.
    osg::MatrixTransform* Init(CHudRegion* parent, float x, float y, float planeWidth, float frameWidth,
                               const std::string& videoFile, const std::string& planeModel,
                               const std::string& frameModel, int framesPerSecond = 0, int loop = 1);
    /// The same with a stream made elsewhere (the live camera picture).
    osg::MatrixTransform* InitWithStream(CHudRegion* parent, float x, float y, float planeWidth, float frameWidth,
                                         CVideoStream* stream, const std::string& planeModel,
                                         const std::string& frameModel);
    void Release() override;
    int HandleEvent(const std::string& message, const CGUIEvent& event) override;

    void Play();
    void Pause();
    bool IsPlaying() const { return m_playing; }
    CVideoStream* GetStream() const { return m_stream.get(); }
    CHudRegion* GetFrame() const { return m_frame.get(); }

protected:
    void OnNamed() override;

private:
    osg::MatrixTransform* Build(CHudRegion* parent, float x, float y, float planeWidth, float frameWidth,
                                const std::string& planeModel, const std::string& frameModel);

    void ShowStream();

    osg::ref_ptr<CVideoStream> m_stream;
    bool m_streamShown = false;
    std::unique_ptr<CHudRegion> m_frame;
    bool m_playing = false;
};
