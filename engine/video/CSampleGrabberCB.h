#pragma once
// The process-wide frame callback of BlackMagicStream: one object for the
// whole process that converts each camera frame (BGRA rows bottom-up) with the
// attached stream's flips and de-interlacing, exactly as CDSOsgImageRender
// does, into that stream's spare buffer.
//
// Only one stream can be attached at a time (the last Attach wins). Attach,
// Detach and the flip setters may come from any thread; BufferCB runs on the
// camera's streaming thread. Detach waits for a BufferCB in progress, so the
// stream may be destroyed right after it.

#include <cstdint>
#include <mutex>

class CBufferedVideoStream;

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
    double GetLastSampleTime() const;

private:
    CSampleGrabberCB() = default;

    mutable std::mutex m_mutex;
    CBufferedVideoStream* m_stream = nullptr;
    int m_width = 0, m_height = 0;
    bool m_deInterlace = false, m_verticalFlip = true, m_horizontalFlip = true;
    double m_lastSampleTime = 0.0;
};
