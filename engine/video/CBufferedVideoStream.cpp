#include "CBufferedVideoStream.h"

#include "FrameTarget.h"

#include <cassert>
#include <utility>

CBufferedVideoStream::CBufferedVideoStream(bool textureRectangle) : CVideoStream(textureRectangle) {}

CBufferedVideoStream::CBufferedVideoStream() = default;

CBufferedVideoStream::CBufferedVideoStream(const CBufferedVideoStream& other, const osg::CopyOp& op)
    : CVideoStream(other, op)
{
}

void CBufferedVideoStream::AllocateFrames(int width, int height, GLenum pixelFormat)
{
    assert(width > 0 && height > 0 && "AllocateFrames: the frame needs a size");
    assert((pixelFormat == GL_BGR || pixelFormat == GL_BGRA) && "AllocateFrames: GL_BGR or GL_BGRA");
    std::lock_guard<std::mutex> guard(m_frameMutex);
    m_width = width;
    m_height = height;
    m_pixelFormat = pixelFormat;
    m_rowBytes = width * (pixelFormat == GL_BGRA ? 4 : 3);
    for (auto& buffer : m_buffers) buffer.assign(FrameBytes(), 0);
    m_back = 0;
    m_ready = 1;
    m_front = 2;
    m_newFrame = false;
    m_presented = 0;
    for (int64_t& number : m_numbers) number = -1;
    setImage(m_width, m_height, 1, m_pixelFormat == GL_BGRA ? GL_RGBA : GL_RGB, m_pixelFormat, GL_UNSIGNED_BYTE,
             m_buffers[m_front].data(), osg::Image::NO_DELETE, 1);
}

vexa::media::FrameTarget CBufferedVideoStream::BackTarget(bool mirrored, bool bottomUp)
{
    assert(m_width > 0 && "BackTarget: allocate the frames first");
    vexa::media::FrameTarget target;
    target.pixels = BackBuffer();
    target.rowBytes = m_rowBytes;
    target.width = m_width;
    target.height = m_height;
    target.layout = m_pixelFormat == GL_BGRA ? vexa::media::FrameTarget::Layout::Bgra32
                                             : vexa::media::FrameTarget::Layout::Bgr24;
    target.mirrored = mirrored != GetFlipX();
    target.bottomUp = bottomUp != GetFlipY();
    return target;
}

void CBufferedVideoStream::PublishBack()
{
    std::lock_guard<std::mutex> guard(m_frameMutex);
    std::swap(m_back, m_ready);
    m_newFrame = true;
    m_numbers[m_back] = -1;  // the next frame's number, unless its producer gives one
}

int64_t CBufferedVideoStream::GetShownFrameNumber() const
{
    if (m_presented == 0) return -1;
    const int64_t number = m_numbers[m_front];
    return number >= 0 ? number : static_cast<int64_t>(m_presented) - 1;
}

bool CBufferedVideoStream::PresentNewest()
{
    {
        std::lock_guard<std::mutex> guard(m_frameMutex);
        if (!m_newFrame) return false;
        std::swap(m_ready, m_front);
        m_newFrame = false;
    }
    // Same size and format as before: setImage only repoints and marks the
    // image modified, so the texture uploads it again.
    setImage(m_width, m_height, 1, m_pixelFormat == GL_BGRA ? GL_RGBA : GL_RGB, m_pixelFormat, GL_UNSIGNED_BYTE,
             m_buffers[m_front].data(), osg::Image::NO_DELETE, 1);
    ++m_presented;
    return true;
}

void CBufferedVideoStream::UpdateStream()
{
    if (OnCaptureThread())
    {
        ProduceFrame();
        return;
    }
    if (ProducesOnReaderThread()) ProduceFrame();
    PresentNewest();
}
