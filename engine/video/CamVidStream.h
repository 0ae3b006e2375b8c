#pragma once
// A source through the camera library (types "camvideo", "FFMPEG" and the
// others, and the "-video:" option): a camera or a video file chosen by the
// library's configuration text (see docs/camvideo.md).
//
// Real time: the capture loop takes the library's newest frame every 33 ms
// (every 10 ms for files, whose own frame rate the library keeps) into the
// stream's spare buffer; the engine thread shows it at its next UpdateStream.
// Frame-locked (files only, with SetFileFramesLocked or the "locked" option):
// no capture thread; every UpdateStream after StartStream decodes and shows
// exactly the next frame, so an unattended run repeats frame by frame.
//
// The library is process-wide: one CamVidStream at a time. The image is a
// copy in the stream's own buffers (GL_BGR), never the library's memory.

#include "CBufferedVideoStream.h"

#include <atomic>
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
    /// Stops capture and closes the library's source (the last frame stays).
    void CleanUp() override;

    /// Process-wide: video files opened from now on are frame-locked.
    static void SetFileFramesLocked(bool locked);
    static bool GetFileFramesLocked();

    bool IsFrameLocked() const { return m_frameLocked; }
    bool IsFileSource() const { return m_fileSource; }
    const std::string& GetConfig() const { return m_config; }

protected:
    ~CamVidStream() override;

    void ProduceFrame() override;
    bool ProducesOnReaderThread() const override { return m_frameLocked; }

private:
    void Open(const char* config);

    std::string m_config;
    bool m_fileSource = false;
    bool m_frameLocked = false;
    std::atomic<bool> m_started{false};
    std::mutex m_sourceMutex;  // the library's frame pointer is used under it
    bool m_open = false;       // guarded by m_sourceMutex
};
