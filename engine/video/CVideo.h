#pragma once
// The video manager: creates the video source from a type name, builds the
// background layer that shows it behind the 3D content with the threshold
// view shader, and forwards start, stop, update and clean-up to the stream.
// All calls come from the engine's thread.

#include "CVideoStream.h"

#include <osg/Image>
#include <osg/MatrixTransform>
#include <osg/Program>
#include <osg/Shader>
#include <osg/Texture2D>
#include <osg/Uniform>
#include <osg/ref_ptr>

#include <string>

class VideoLayer;

class CVideo
{
public:
    CVideo();
    CVideo(const CVideo& other);
    CVideo& operator=(const CVideo& other);
    virtual ~CVideo();

    /// Creates the source and the layer. False only when the camera
    /// configuration file cannot be read. The two flags are not consulted.
    bool InitWebCamStream(int thresholdShaderKind, const std::string& type, bool, bool,
                          const std::string& cameraConfigFile);
    /// Shows `stream` (which the manager then holds) instead of a source made
    /// from a type name, and builds the layer for it.
    void InitWithStream(CVideoStream* stream, int thresholdShaderKind);
    /// Plays a video file (looping) through the camera library instead of
    /// the source chosen by type.
    void SetVideoFile(const std::string& file) { m_videoFile = file; }
    /// Whether that file starts again after its last frame (the default) or
    /// ends there (the stream then reports HasEnded).
    void SetVideoFileLooping(bool loop) { m_videoLoop = loop; }
    /// With a fixed time step each engine frame shows exactly the next frame
    /// of a file source (decoded on the engine's thread), so runs repeat.
    void SetFrameLocked(bool locked) { m_frameLocked = locked; }
    bool IsFrameLocked() const { return m_frameLocked; }

    void StartWebStream();
    void StopStreams();
    void CleanUp();
    /// Per frame: sets the threshold view's uniform (0..1) and lets the
    /// stream refresh its image on this thread.
    bool Update(float threshold);

    CVideoStream* getThisFrame() { return m_stream.get(); }
    CVideoStream* GetVideoStream() { return m_stream.get(); }
    CVideoStream* GetStream() { return m_stream.get(); }
    int GetVideoWidth() const { return m_stream.valid() ? m_stream->s() : 0; }
    int GetVideoHeight() const { return m_stream.valid() ? m_stream->t() : 0; }
    osg::MatrixTransform* GetVideoNode() { return m_videoNode.get(); }
    VideoLayer* GetLayer() { return m_layer.get(); }
    void ApplyVideo();

    void ToggleVisible();
    bool IsVisible() const { return m_visible; }
    void ToggleUseThreshold();
    void ShowThreshold(bool on);
    bool UsingThreshold() const { return m_useThreshold; }
    /// The picture the threshold view shows instead of thresholding the video
    /// itself with one value: the tracker's own two-valued picture (8-bit
    /// luminance, 0 black, 255 white, any size; it covers the whole frame).
    /// The manager keeps a reference and uploads it when it is dirtied; null
    /// returns to the single threshold.
    void SetThresholdPicture(osg::Image* picture);
    void ToggleFlip();
    bool IsFlipped() const { return m_flipped; }

    /// Loads a shader's source through the data-file search; reports a
    /// missing file on standard output.
    static void LoadShaderSource(osg::Shader* shader, const std::string& fileName);
    /// The last configuration line of a camera configuration file, line end
    /// included; false when the file cannot be opened.
    static bool ReadCameraConfig(const std::string& fileName, std::string& config);

    int GetAverageGray() const { return 90; }
    bool SetPropsState(bool) { return false; }
    void OpenNextCam() {}
    unsigned char* getProccesedFrame() { return m_processedFrame.valid() ? m_processedFrame->data() : nullptr; }

    /// A file path as one word of the camera library's configuration text.
    static std::string QuotedPath(const std::string& path);

private:
    CVideoStream* CreateSource(const std::string& type, const std::string& config);
    void BuildLayer(int thresholdShaderKind);

    osg::ref_ptr<CVideoStream> m_stream;
    osg::ref_ptr<osg::Image> m_processedFrame;
    osg::ref_ptr<VideoLayer> m_layer;
    osg::ref_ptr<osg::MatrixTransform> m_videoNode;
    osg::ref_ptr<osg::StateSet> m_layerState;
    bool m_useThreshold = false;
    osg::ref_ptr<osg::Uniform> m_thresholdUniform;
    osg::ref_ptr<osg::Uniform> m_useThresholdUniform;
    osg::ref_ptr<osg::Uniform> m_useThresholdPictureUniform;
    osg::ref_ptr<osg::Texture2D> m_thresholdPicture;
    bool m_flipped = false;
    bool m_visible = false;
    std::string m_videoFile;
    bool m_videoLoop = true;
    bool m_frameLocked = false;
};
