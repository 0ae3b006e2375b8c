#pragma once
// The camera stream's frame sink: converts each camera frame once, straight
// into the stream's back buffer (CBufferedVideoStream), with the flips or the
// de-interlacing as configured and the stream's own flips on top, then
// publishes it.
//
// Both flips on (the default) give an upright picture mirrored left to right;
// de-interlacing keeps every other row, halving the height.
//
// Ownership and threading: the renderer does not own the stream, which must
// outlive it. DoRenderFrame and DoRenderSample run on the camera's streaming
// thread; the flip setters may be called from any thread and take effect at
// the next frame (the frame being shown is never touched). The frame's pixels
// are only read during the call: nothing keeps pointing at them afterwards.

#include <atomic>
#include <cstdint>
#include <memory>

class CBufferedVideoStream;

namespace vexa
{
namespace media
{
class CameraFrame;
class FrameWriter;
struct FrameTarget;
enum class FrameResult;
}
}

class CDSOsgImageRender
{
public:
    /// `stream` receives the frames; null makes an unusable renderer (IsValid false).
    CDSOsgImageRender(CBufferedVideoStream* stream, bool horizontalFlip, bool verticalFlip, bool deInterlace);
    ~CDSOsgImageRender();

    bool IsValid() const { return m_stream != nullptr; }

    /// Sizes the stream's frames for camera frames of width x height pixels
    /// (height halved when de-interlacing).
    void SetMediaType(int width, int height);
    int GetWidth() const { return m_width; }
    /// Camera frame height (not halved).
    int GetHeight() const { return m_height; }
    /// Height of the frames the stream shows.
    int GetOutputHeight() const { return m_deInterlace ? m_height / 2 : m_height; }

    /// One frame from the capture session, in the camera's own format: written
    /// into the back buffer in one pass and published. Frames of another size
    /// than SetMediaType's are skipped.
    vexa::media::FrameResult DoRenderFrame(const vexa::media::CameraFrame& frame);
    /// One frame already in BGRA, rows bottom-up, `strideBytes` apart: written
    /// into the back buffer in one pass and published. Frames of another size
    /// than SetMediaType's are dropped (false).
    bool DoRenderSample(const uint8_t* bgraBottomUp, int width, int height, int strideBytes);

    void SetVFlip(bool on) { m_verticalFlip = on; }
    void SetHFlip(bool on) { m_horizontalFlip = on; }
    bool GetVFlip() const { return m_verticalFlip; }
    bool GetHFlip() const { return m_horizontalFlip; }
    bool GetDeInterlace() const { return m_deInterlace; }

    /// The stream's back buffer as the target of a camera frame `cameraHeight`
    /// rows high with these settings, the stream's own flips on top.
    static vexa::media::FrameTarget CameraTarget(CBufferedVideoStream& stream, int cameraHeight, bool verticalFlip,
                                                 bool horizontalFlip, bool deInterlace);
    /// The conversion of a BGRA bottom-up frame on its own: `dst` holds width x
    /// (height, or height / 2 de-interlaced) BGRA pixels, rows packed.
    static void ConvertSample(const uint8_t* src, int width, int height, int strideBytes, uint8_t* dst,
                              bool verticalFlip, bool horizontalFlip, bool deInterlace);

private:
    CBufferedVideoStream* m_stream;
    std::unique_ptr<vexa::media::FrameWriter> m_writer;  // for BGRA samples
    int m_width = 0;
    int m_height = 0;
    std::atomic<bool> m_horizontalFlip;
    std::atomic<bool> m_verticalFlip;
    const bool m_deInterlace;
};
