#pragma once
// The camera stream's frame sink: receives each camera frame as BGRA rows
// stored bottom-up (last picture row first), flips or de-interlaces it as
// configured and hands it to the stream's spare buffer (CBufferedVideoStream).
//
// Both flips on (the default) give an upright picture mirrored left to right;
// de-interlacing keeps every other row, halving the height.
//
// Ownership and threading: the renderer does not own the stream, which must
// outlive it. DoRenderSample runs on the camera's streaming thread; the flip
// setters may be called from any thread and take effect at the next frame.
// The sample's pixels are only read during the call: nothing keeps pointing
// at them afterwards.

#include <atomic>
#include <cstdint>

class CBufferedVideoStream;

class CDSOsgImageRender
{
public:
    /// `stream` receives the frames; null makes an unusable renderer (IsValid false).
    CDSOsgImageRender(CBufferedVideoStream* stream, bool horizontalFlip, bool verticalFlip, bool deInterlace);

    bool IsValid() const { return m_stream != nullptr; }

    /// Sizes the stream's frames for camera frames of width x height pixels
    /// (height halved when de-interlacing).
    void SetMediaType(int width, int height);
    int GetWidth() const { return m_width; }
    /// Camera frame height (not halved).
    int GetHeight() const { return m_height; }
    /// Height of the frames the stream shows.
    int GetOutputHeight() const { return m_deInterlace ? m_height / 2 : m_height; }

    /// One camera frame: BGRA rows bottom-up, `strideBytes` apart. Frames of
    /// another size than SetMediaType's are dropped (false).
    bool DoRenderSample(const uint8_t* bgraBottomUp, int width, int height, int strideBytes);

    void SetVFlip(bool on) { m_verticalFlip = on; }
    void SetHFlip(bool on) { m_horizontalFlip = on; }
    bool GetVFlip() const { return m_verticalFlip; }
    bool GetHFlip() const { return m_horizontalFlip; }
    bool GetDeInterlace() const { return m_deInterlace; }

    /// The frame conversion on its own: `dst` holds width x (height, or
    /// height / 2 de-interlaced) BGRA pixels, rows packed.
    static void ConvertSample(const uint8_t* src, int width, int height, int strideBytes, uint8_t* dst,
                              bool verticalFlip, bool horizontalFlip, bool deInterlace);

private:
    CBufferedVideoStream* m_stream;
    int m_width = 0;
    int m_height = 0;
    std::atomic<bool> m_horizontalFlip;
    std::atomic<bool> m_verticalFlip;
    const bool m_deInterlace;
};
