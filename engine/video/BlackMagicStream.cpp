#include "BlackMagicStream.h"

#include "CSampleGrabberCB.h"

#include "V4l2CaptureSession.h"

#include <chrono>
#include <cstdio>

BlackMagicStream::BlackMagicStream(bool, bool)
{
    Connect();
}

BlackMagicStream::BlackMagicStream() = default;

BlackMagicStream::BlackMagicStream(const BlackMagicStream& other, const osg::CopyOp& op) : CCaptureStreamBase(other, op) {}

BlackMagicStream::~BlackMagicStream()
{
    StopThreadAndWait();
    DestoryGraph();
    CSampleGrabberCB::Instance().Detach(this);
}

bool BlackMagicStream::AttachFrameSink()
{
    vexa::media::V4l2CaptureSession* session = Session();
    if (!session->prepareFormat() || session->height() < (m_deInterlace ? 2 : 1))
    {
        std::printf("Error connecting to video render pin");
        std::fflush(stdout);
        return false;
    }
    CSampleGrabberCB& grabber = CSampleGrabberCB::Instance();
    grabber.Attach(this, session->width(), session->height(), m_deInterlace, m_verticalFlip, m_horizontalFlip);
    const auto start = std::chrono::steady_clock::now();
    const bool started = StartSession([start](const vexa::media::CameraFrame& frame) {
        const double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return CSampleGrabberCB::Instance().FrameCB(t, frame);
    });
    if (!started)
    {
        grabber.Detach(this);
        std::printf("Error connecting to video render pin");
        std::fflush(stdout);
        return false;
    }
    m_videoWidth = session->width();
    m_videoHeight = m_deInterlace ? session->height() / 2 : session->height();
    SaveSettings();
    m_valid = true;
    SetFrameInterval(100);  // ms; the loop only keeps house
    StartCaptureThread();
    Log("DShowStream::Constructor() Successful");
    return true;
}

void BlackMagicStream::OnFlipsChanged()
{
    CSampleGrabberCB::Instance().SetVFlip(m_verticalFlip);
    CSampleGrabberCB::Instance().SetHFlip(m_horizontalFlip);
}
