#pragma once
// The process-wide frame callback of BlackMagicStream: one object for the
// whole process that converts each camera frame once, straight into the
// attached stream's back buffer, with that stream's flips and de-interlacing,
// exactly as CDSOsgImageRender does.
//
// Only one stream can be attached at a time (the last Attach wins). Attach,
// Detach and the flip setters may come from any thread; BufferCB runs on the
// camera's streaming thread. Detach waits for a BufferCB in progress, so the
// stream may be destroyed right after it.

#include <cstdint>
#include <memory>
#include <mutex>

class CBufferedVideoStream;

namespace vexa
{
namespace media
{
class CameraFrame;
class FrameWriter;
enum class FrameResult;
}
}

class CSampleGrabberCB
{
public:
    enum Result
    {
        Ok = 0,
        NullPointer = -1,   // no buffer
        NoTarget = -2,      // no stream attached
        WrongSize = -3      // the buffer is smaller than a frame
    };

    static CSampleGrabberCB& Instance();

    /// Frames of width x height go to `stream` (sized here for them).
    void Attach(CBufferedVideoStream* stream, int width, int height, bool deInterlace, bool verticalFlip,
                bool horizontalFlip);
    /// Stops delivering to `stream` if it is the attached one.
    void Detach(const CBufferedVideoStream* stream);

    void SetVFlip(bool on);
    void SetHFlip(bool on);

    /// One frame: `length` bytes of BGRA rows bottom-up, packed.
    Result BufferCB(double sampleTime, const uint8_t* buffer, long length);
    /// One frame from a capture session, in the camera's own format; Skipped
    /// without an attached stream or for another frame size.
    vexa::media::FrameResult FrameCB(double sampleTime, const vexa::media::CameraFrame& frame);
    double GetLastSampleTime() const;

private:
    CSampleGrabberCB();
    ~CSampleGrabberCB();

    mutable std::mutex m_mutex;
    CBufferedVideoStream* m_stream = nullptr;
    int m_width = 0, m_height = 0;
    bool m_deInterlace = false, m_verticalFlip = true, m_horizontalFlip = true;
    double m_lastSampleTime = 0.0;
    std::unique_ptr<vexa::media::FrameWriter> m_writer;  // for BGRA buffers
};
