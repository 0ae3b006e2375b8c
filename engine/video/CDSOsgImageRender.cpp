#include "CDSOsgImageRender.h"

#include "CBufferedVideoStream.h"

#include <cassert>
#include <cstring>

namespace
{
// Copies one row of `width` 4-byte pixels with their order reversed.
void copyRowMirrored(const uint8_t* src, uint8_t* dst, int width)
{
    const uint32_t* s = reinterpret_cast<const uint32_t*>(src);
    uint32_t* d = reinterpret_cast<uint32_t*>(dst);
    for (int x = 0; x < width; ++x) d[x] = s[width - 1 - x];
}
}

CDSOsgImageRender::CDSOsgImageRender(CBufferedVideoStream* stream, bool horizontalFlip, bool verticalFlip,
                                     bool deInterlace)
    : m_stream(stream), m_horizontalFlip(horizontalFlip), m_verticalFlip(verticalFlip), m_deInterlace(deInterlace)
{
}

void CDSOsgImageRender::SetMediaType(int width, int height)
{
    assert(m_stream && "SetMediaType: the renderer has no stream");
    assert(width > 0 && height > (m_deInterlace ? 1 : 0) && "SetMediaType: the frame needs a size");
    m_width = width;
    m_height = height < 0 ? -height : height;
    m_stream->AllocateFrames(m_width, GetOutputHeight(), GL_BGRA);
}

bool CDSOsgImageRender::DoRenderSample(const uint8_t* bgraBottomUp, int width, int height, int strideBytes)
{
    if (!m_stream || !bgraBottomUp || width != m_width || height != m_height) return false;
    ConvertSample(bgraBottomUp, width, height, strideBytes, m_stream->BackBuffer(), m_verticalFlip, m_horizontalFlip,
                  m_deInterlace);
    m_stream->PublishBack();
    return true;
}

void CDSOsgImageRender::ConvertSample(const uint8_t* src, int width, int height, int strideBytes, uint8_t* dst,
                                      bool verticalFlip, bool horizontalFlip, bool deInterlace)
{
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    if (deInterlace)
    {
        // Sample rows 0, 2, 4, ...; the horizontal flip does not apply here.
        const int rows = height / 2;
        for (int k = 0; k < rows; ++k)
        {
            const int target = verticalFlip ? rows - 1 - k : k;
            std::memcpy(dst + target * rowBytes, src + static_cast<size_t>(2 * k) * strideBytes, rowBytes);
        }
        return;
    }
    for (int y = 0; y < height; ++y)
    {
        const uint8_t* row = src + static_cast<size_t>(y) * strideBytes;
        uint8_t* out = dst + static_cast<size_t>(verticalFlip ? height - 1 - y : y) * rowBytes;
        if (horizontalFlip)
            copyRowMirrored(row, out, width);
        else
            std::memcpy(out, row, rowBytes);
    }
}
