#pragma once
// The video manager: owns the current video stream and the background node
// the stream's picture is drawn in.

#include "CVideoStream.h"

#include <osg/Group>
#include <osg/ref_ptr>

#include <string>

class CVideo
{
public:
    CVideo();
    ~CVideo();

    /// Creates the stream for the source type and its background node.
    /// The two flags are not consulted.
    bool InitWebCamStream(int thresholdShaderKind, const std::string& type, bool, bool,
                          const std::string& cameraConfig);
    void StartWebStream();
    void StopStreams();
    void CleanUp();

    /// Per frame: threshold for the threshold view (0..1).
    void Update(float threshold);

    void ToggleFlip() { m_flipped = !m_flipped; }
    void ToggleUseThreshold() { m_useThreshold = !m_useThreshold; }
    void ToggleVisible();

    CVideoStream* GetStream() { return m_stream.get(); }
    osg::Group* GetVideoNode() { return m_videoNode.get(); }
    const std::string& GetSourceType() const { return m_sourceType; }

private:
    osg::ref_ptr<CVideoStream> m_stream;
    osg::ref_ptr<osg::Group> m_videoNode;
    std::string m_sourceType;
    bool m_flipped = false;
    bool m_useThreshold = false;
    bool m_visible = false;
};
