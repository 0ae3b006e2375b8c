#include "CDSOsgImageRender.h"

#include "CBufferedVideoStream.h"

#include "CameraFrame.h"
#include "FrameTarget.h"
#include "FrameWriter.h"

#include <cassert>

using vexa::media::FrameResult;
using vexa::media::FrameTarget;
using vexa::media::FrameWriter;

namespace
{
// The camera settings as turns of the picture: the vertical flip on shows it
// upright, off stores it last row first; de-interlacing keeps the odd rows and
// ignores the horizontal flip.
FrameTarget turned(FrameTarget target, int cameraHeight, bool verticalFlip, bool horizontalFlip, bool deInterlace)
{
    target.height = cameraHeight;
    target.oneField = deInterlace;
    target.mirrored = target.mirrored != (horizontalFlip && !deInterlace);
    target.bottomUp = target.bottomUp != !verticalFlip;
    return target;
}
}

CDSOsgImageRender::CDSOsgImageRender(CBufferedVideoStream* stream, bool horizontalFlip, bool verticalFlip,
                                     bool deInterlace)
    : m_stream(stream), m_writer(std::make_unique<FrameWriter>()), m_horizontalFlip(horizontalFlip),
      m_verticalFlip(verticalFlip), m_deInterlace(deInterlace)
{
}

CDSOsgImageRender::~CDSOsgImageRender() = default;

void CDSOsgImageRender::SetMediaType(int width, int height)
{
    assert(m_stream && "SetMediaType: the renderer has no stream");
    assert(width > 0 && height > (m_deInterlace ? 1 : 0) && "SetMediaType: the frame needs a size");
    m_width = width;
    m_height = height < 0 ? -height : height;
    m_stream->AllocateFrames(m_width, GetOutputHeight(), GL_BGRA);
}

FrameTarget CDSOsgImageRender::CameraTarget(CBufferedVideoStream& stream, int cameraHeight, bool verticalFlip,
                                            bool horizontalFlip, bool deInterlace)
{
    return turned(stream.BackTarget(), cameraHeight, verticalFlip, horizontalFlip, deInterlace);
}

FrameResult CDSOsgImageRender::DoRenderFrame(const vexa::media::CameraFrame& frame)
{
    if (!m_stream || frame.width() != m_width || frame.height() != m_height) return FrameResult::Skipped;
    const FrameResult result = frame.convertTo(CameraTarget(*m_stream, m_height, m_verticalFlip, m_horizontalFlip, m_deInterlace));
    if (result == FrameResult::Ok) m_stream->PublishBack();
    return result;
}

bool CDSOsgImageRender::DoRenderSample(const uint8_t* bgraBottomUp, int width, int height, int strideBytes)
{
    if (!m_stream || !bgraBottomUp || width != m_width || height != m_height) return false;
    const FrameTarget target = CameraTarget(*m_stream, m_height, m_verticalFlip, m_horizontalFlip, m_deInterlace);
    if (!m_writer->write(FrameWriter::bgra(bgraBottomUp, width, height, strideBytes, true), target)) return false;
    m_stream->PublishBack();
    return true;
}

void CDSOsgImageRender::ConvertSample(const uint8_t* src, int width, int height, int strideBytes, uint8_t* dst,
                                      bool verticalFlip, bool horizontalFlip, bool deInterlace)
{
    FrameTarget target;
    target.pixels = dst;
    target.rowBytes = width * 4;
    target.width = width;
    FrameWriter writer;
    writer.write(FrameWriter::bgra(src, width, height, strideBytes, true),
                 turned(target, height, verticalFlip, horizontalFlip, deInterlace));
}
