#include "DSCaptureStream.h"

#include "V4l2CaptureSession.h"

DSCaptureStream::DSCaptureStream(bool, bool)
{
    Connect();
}

DSCaptureStream::DSCaptureStream() = default;

DSCaptureStream::DSCaptureStream(const DSCaptureStream& other, const osg::CopyOp& op) : CCaptureStreamBase(other, op) {}

DSCaptureStream::~DSCaptureStream()
{
    // The streaming thread calls the renderer: stop it before the renderer goes.
    DestoryGraph();
    StopThreadAndWait();
}

bool DSCaptureStream::AttachFrameSink()
{
    m_renderer = std::make_unique<CDSOsgImageRender>(this, m_horizontalFlip, m_verticalFlip, m_deInterlace);
    if (!m_renderer->IsValid())
    {
        Log("DShowStream::Constructor: Error: Creating Stream Renderer");
        return false;
    }
    vexa::media::V4l2CaptureSession* session = Session();
    if (!session->prepareFormat() || session->height() < (m_deInterlace ? 2 : 1)) return RenderFailed();
    m_renderer->SetMediaType(session->width(), session->height());
    CDSOsgImageRender* renderer = m_renderer.get();
    const bool started =
        StartSession([renderer](const vexa::media::CameraFrame& frame) { return renderer->DoRenderFrame(frame); });
    if (!started) return RenderFailed();
    m_videoWidth = m_renderer->GetWidth();
    m_videoHeight = m_renderer->GetOutputHeight();
    SaveSettings();
    m_valid = true;
    Log("DShowStream::Constructor() Successful");
    return true;
}

bool DSCaptureStream::RenderFailed()
{
    Log("DShowVideoStream: Constructor : Error: Renderering stream");
    Box("Failed to connect to device '" + GetCurrentDeviceName() +
            "' please ensure the device is correctly connected and installed",
        "Webcam error");
    SetCurrentDeviceName("NONE");
    SaveSettings();
    return false;
}

void DSCaptureStream::OnFlipsChanged()
{
    if (!m_renderer) return;
    m_renderer->SetVFlip(m_verticalFlip);
    m_renderer->SetHFlip(m_horizontalFlip);
}
