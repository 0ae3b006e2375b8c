#include "CSampleGrabberCB.h"

#include "CBufferedVideoStream.h"
#include "CDSOsgImageRender.h"

#include "CameraFrame.h"
#include "FrameTarget.h"
#include "FrameWriter.h"

using vexa::media::FrameResult;
using vexa::media::FrameWriter;

CSampleGrabberCB::CSampleGrabberCB() : m_writer(std::make_unique<FrameWriter>()) {}

CSampleGrabberCB::~CSampleGrabberCB() = default;

CSampleGrabberCB& CSampleGrabberCB::Instance()
{
    static CSampleGrabberCB instance;
    return instance;
}

void CSampleGrabberCB::Attach(CBufferedVideoStream* stream, int width, int height, bool deInterlace,
                              bool verticalFlip, bool horizontalFlip)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_stream = stream;
    m_width = width;
    m_height = height;
    m_deInterlace = deInterlace;
    m_verticalFlip = verticalFlip;
    m_horizontalFlip = horizontalFlip;
    if (m_stream) m_stream->AllocateFrames(width, deInterlace ? height / 2 : height, GL_BGRA);
}

void CSampleGrabberCB::Detach(const CBufferedVideoStream* stream)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    if (m_stream == stream) m_stream = nullptr;
}

void CSampleGrabberCB::SetVFlip(bool on)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_verticalFlip = on;
}

void CSampleGrabberCB::SetHFlip(bool on)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_horizontalFlip = on;
}

CSampleGrabberCB::Result CSampleGrabberCB::BufferCB(double sampleTime, const uint8_t* buffer, long length)
{
    if (!buffer) return NullPointer;
    std::lock_guard<std::mutex> guard(m_mutex);
    m_lastSampleTime = sampleTime;
    if (!m_stream) return NoTarget;
    if (length < static_cast<long>(m_width) * m_height * 4) return WrongSize;
    const vexa::media::FrameTarget target =
        CDSOsgImageRender::CameraTarget(*m_stream, m_height, m_verticalFlip, m_horizontalFlip, m_deInterlace);
    if (!m_writer->write(FrameWriter::bgra(buffer, m_width, m_height, m_width * 4, true), target)) return WrongSize;
    m_stream->PublishBack();
    return Ok;
}

FrameResult CSampleGrabberCB::FrameCB(double sampleTime, const vexa::media::CameraFrame& frame)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_lastSampleTime = sampleTime;
    if (!m_stream || frame.width() != m_width || frame.height() != m_height) return FrameResult::Skipped;
    const FrameResult result = frame.convertTo(
        CDSOsgImageRender::CameraTarget(*m_stream, m_height, m_verticalFlip, m_horizontalFlip, m_deInterlace));
    if (result == FrameResult::Ok) m_stream->PublishBack();
    return result;
}

double CSampleGrabberCB::GetLastSampleTime() const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_lastSampleTime;
}
