#pragma once
// A source through the camera library (types "camvideo", "FFMPEG" and the
// others, and the "-video:" option): a camera or a video file chosen by the
// library's configuration text (see docs/camvideo.md).
//
// The stream is the library's frame receiver: every frame is converted once,
// straight from the camera's buffer or the decoder into the stream's back
// buffer (GL_BGR, rows top-down), with the stream's flips (SetFlipX,
// SetFlipY) applied in that pass. Camera frames arrive on the library's
// capture thread; file frames are decoded by the capture loop every 10 ms
// (the library keeps the file's own frame rate). The engine thread shows the
// newest frame at its next UpdateStream, while the stream is started.
// Frame-locked (files only, with SetFileFramesLocked or the "locked" option):
// no capture thread; every UpdateStream after StartStream decodes and shows
// exactly the next frame, so an unattended run repeats frame by frame.
//
// The library is process-wide: one CamVidStream at a time. The image is the
// stream's own memory, never the library's.

#include "CBufferedVideoStream.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

class CamVidStream : public CBufferedVideoStream
{
public:
    /// The library's default source (the first camera).
    CamVidStream();
    /// The source the configuration text names (at most 255 characters used).
    explicit CamVidStream(std::string config);

    osg::Object* cloneType() const override { return new CamVidStream(); }
    osg::Object* clone(const osg::CopyOp&) const override { return new CamVidStream(); }
    bool isSameKindAs(const osg::Object* obj) const override { return dynamic_cast<const CamVidStream*>(obj) != nullptr; }
    const char* className() const override { return "CamVidStream"; }
    CVideoStream* clone() const override { return new CamVidStream(); }

    void StartStream() override;
    void stop() override;
    /// A camera's newest frame shows only while the stream is started (so a
    /// stopped stream holds its picture); files decode only then.
    void UpdateStream() override;
    void update(osg::NodeVisitor* visitor) override;
    /// Stops capture and closes the library's source (the last frame stays).
    void CleanUp() override;

    /// Process-wide: video files opened from now on are frame-locked.
    static void SetFileFramesLocked(bool locked);
    static bool GetFileFramesLocked();

    int64_t GetSourceFrameCount() const override;
    double GetSourceFrameRate() const override;
    bool HasEnded() const override;

    bool IsFrameLocked() const { return m_frameLocked; }
    bool IsFileSource() const { return m_fileSource; }
    const std::string& GetConfig() const { return m_config; }

protected:
    ~CamVidStream() override;

    void ProduceFrame() override;
    bool ProducesOnReaderThread() const override { return m_frameLocked; }

private:
    class Receiver;  // the library's frame receiver: this stream's back buffer

    void Open(const char* config);

    std::string m_config;
    bool m_fileSource = false;
    bool m_frameLocked = false;
    std::atomic<bool> m_started{false};
    std::mutex m_sourceMutex;  // the library's source is used under it
    bool m_open = false;       // guarded by m_sourceMutex
    std::unique_ptr<Receiver> m_receiver;
};
