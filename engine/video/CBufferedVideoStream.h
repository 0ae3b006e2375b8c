#pragma once
// A stream whose frames are produced on one thread (a capture thread, a
// camera's streaming thread) and shown on another (the engine's thread, which
// uploads the texture and runs the tracker).
//
// Frames go through three buffers owned by the stream: the producer fills the
// back buffer and publishes it; the newest published frame becomes the image
// only on the reading thread, in UpdateStream (the video manager calls it once
// per engine frame, before the tracker) or, for streams nobody drives that
// way, in the scene's update traversal (the stream then asks for an update
// call, so textures showing it refresh it themselves). The image
// therefore never changes while the reading thread looks at it, and never
// points into memory of a driver, a decoder or a library.
//
// Sources fill frames in ProduceFrame, which runs on the capture thread of
// the capture loop, or on the reading thread when ProducesOnReaderThread says
// so (frame-locked playback). Push sources publish from their own callback.
// Each frame is converted once, straight into the back buffer (BackTarget),
// with the stream's flips (SetFlipX, SetFlipY) applied in that same pass: the
// image is never flipped afterwards, so a frame being shown is never written.
// The image's rows are stored top-down: its first row is the top of the
// picture, as the background layer maps it and the tracker reads it.

#include "CVideoStream.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace vexa
{
namespace media
{
struct FrameTarget;
}
}

class CBufferedVideoStream : public CVideoStream
{
public:
    explicit CBufferedVideoStream(bool textureRectangle);
    CBufferedVideoStream();
    CBufferedVideoStream(const CBufferedVideoStream& other, const osg::CopyOp& op = osg::CopyOp::SHALLOW_COPY);

    /// Capture thread: produces a frame. Reading thread: shows the newest one.
    void UpdateStream() override;

    /// Unless its owner presents frames (SetPresentedByOwner), textures
    /// showing the stream take its newest frame at each update traversal.
    bool requiresUpdateCall() const override { return !IsPresentedByOwner(); }
    void update(osg::NodeVisitor*) override
    {
        if (!IsPresentedByOwner()) PresentNewest();
    }

    // ---- producer side (any one thread at a time) ----
    /// Sizes the three buffers (black) and shows the first of them, so the
    /// picture has its size before any frame arrives. pixelFormat is GL_BGR or
    /// GL_BGRA. Call before frames flow.
    void AllocateFrames(int width, int height, GLenum pixelFormat);
    /// The buffer to fill: FrameBytes() bytes, rows of FrameRowBytes().
    unsigned char* BackBuffer() { return m_buffers[m_back].data(); }
    /// The back buffer as the target of one conversion of a picture of the
    /// frame's size. `mirrored` and `bottomUp` are the source's own turns (a
    /// camera's settings); the stream's flips are applied on top of them.
    vexa::media::FrameTarget BackTarget(bool mirrored = false, bool bottomUp = false);
    /// The source's number of the frame in the back buffer (see
    /// GetShownFrameNumber); frames without one are counted from 0.
    void SetBackFrameNumber(int64_t number) { m_numbers[m_back] = number; }
    /// The back buffer now holds a whole new frame.
    void PublishBack();

    // ---- reading side ----
    /// Makes the newest published frame the image; false when none was new.
    bool PresentNewest();

    int FrameWidth() const { return m_width; }
    int FrameHeight() const { return m_height; }
    int FrameRowBytes() const { return m_rowBytes; }
    size_t FrameBytes() const { return static_cast<size_t>(m_rowBytes) * static_cast<size_t>(m_height); }
    /// Frames that became the image since the frames were allocated.
    uint64_t FramesPresented() const { return m_presented; }
    int64_t GetShownFrameNumber() const override;

protected:
    ~CBufferedVideoStream() override = default;

    /// Fills BackBuffer() and calls PublishBack() when a new frame is there.
    virtual void ProduceFrame() {}
    /// True when frames are produced by the reading thread's UpdateStream.
    virtual bool ProducesOnReaderThread() const { return false; }
    bool OnCaptureThread() const { return OpenThreads::Thread::CurrentThread() == this; }
    bool FlipsInProducer() const override { return true; }

private:
    std::vector<unsigned char> m_buffers[3];
    int64_t m_numbers[3] = {-1, -1, -1};  // the source's number of each buffer's frame
    int m_back = 0, m_ready = 1, m_front = 2;
    bool m_newFrame = false;        // guarded by m_frameMutex
    std::mutex m_frameMutex;        // the hand-over of buffers only
    int m_width = 0, m_height = 0, m_rowBytes = 0;
    GLenum m_pixelFormat = GL_BGRA;
    uint64_t m_presented = 0;
};
