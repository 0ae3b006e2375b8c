#include "CamVidStream.h"

#include "CamVideo.h"
#include "CamVideoConfig.h"
#include "FrameTarget.h"
#include "IFrameReceiver.h"

#include <atomic>
#include <cstdio>

namespace
{
std::atomic<bool> g_lockFiles{false};
// The stream that opened the library's source last; only it may close it.
std::atomic<const CamVidStream*> g_owner{nullptr};
const size_t kMaxConfig = 255;  // characters
const int kCameraInterval = 33; // ms
const int kFileInterval = 10;   // ms; the library paces files itself
}

// Frames of the stream's size go straight into its back buffer: camera frames
// as they arrive, file frames when the started stream asks for them.
class CamVidStream::Receiver : public vexa::media::IFrameReceiver
{
public:
    explicit Receiver(CamVidStream& stream) : m_stream(stream) {}
    vexa::media::FrameTarget frameTarget(int width, int height) override
    {
        if (width != m_stream.FrameWidth() || height != m_stream.FrameHeight()) return {};
        return m_stream.BackTarget();
    }
    void frameWritten() override { m_stream.PublishBack(); }
    void frameNumber(int64_t number) override { m_stream.SetBackFrameNumber(number); }

private:
    CamVidStream& m_stream;
};

void CamVidStream::SetFileFramesLocked(bool locked)
{
    g_lockFiles = locked;
    camVideoSetFrameLocked(locked ? 1 : 0);
}

bool CamVidStream::GetFileFramesLocked()
{
    return g_lockFiles;
}

CamVidStream::CamVidStream() : CBufferedVideoStream(false), m_receiver(std::make_unique<Receiver>(*this))
{
    Open(nullptr);
}

CamVidStream::CamVidStream(std::string config)
    : CBufferedVideoStream(false), m_config(config.substr(0, kMaxConfig)), m_receiver(std::make_unique<Receiver>(*this))
{
    Open(m_config.c_str());
}

CamVidStream::~CamVidStream()
{
    StopThreadAndWait();
    CleanUp();
}

void CamVidStream::Open(const char* config)
{
    vexa::media::CamVideoConfig parsed;
    std::string error;
    if (config && vexa::media::CamVideoConfig::parse(config, parsed, error))
    {
        m_fileSource = parsed.source == vexa::media::CamVideoConfig::Source::File;
        m_frameLocked = m_fileSource && (g_lockFiles || parsed.frameLocked);
    }
    SetFrameInterval(m_fileSource ? kFileInterval : kCameraInterval);
    if (camVideoOpen(config) < 0)
    {
        std::fprintf(stderr, "setupCamera(): Unable to open connection to camera.\n");
        return;
    }
    g_owner = this;
    m_open = true;
    int width = 0, height = 0;
    if (camVideoGetPixelFormat() < 0)
    {
        std::fprintf(stderr, "setupCamera(): Camera is using unsupported pixel format.\n");
        return;
    }
    if (camVideoGetSize(&width, &height) < 0 || width <= 0 || height <= 0)
    {
        std::printf("Unable to retreive stream dimensions\n");
        std::fflush(stdout);
        return;
    }
    AllocateFrames(width, height, GL_BGR);
    camVideoSetFrameReceiver(m_receiver.get());
    if (camVideoCapStart() != 0)
    {
        std::fprintf(stderr, "setupCamera(): Unable to begin camera data capture.\n");
        return;
    }
    camVideoGetCurrentDevice();
    m_valid = true;
    if (m_frameLocked) return;  // the first UpdateStream takes frame 0
    m_started = true;
    ProduceFrame();              // the first picture at once
    m_started = false;
    PresentNewest();
    StartCaptureThread();
}

void CamVidStream::StartStream()
{
    m_started = true;
    CVideoStream::StartStream();
}

void CamVidStream::stop()
{
    m_started = false;
    CVideoStream::stop();
}

void CamVidStream::UpdateStream()
{
    if (m_fileSource || m_started || OnCaptureThread()) CBufferedVideoStream::UpdateStream();
}

void CamVidStream::update(osg::NodeVisitor* visitor)
{
    if (m_fileSource || m_started) CBufferedVideoStream::update(visitor);
}

void CamVidStream::ProduceFrame()
{
    if (!m_started) return;
    std::lock_guard<std::mutex> guard(m_sourceMutex);
    if (m_open) camVideoDeliverFrame();  // files; cameras deliver on their own thread
}

int64_t CamVidStream::GetSourceFrameCount() const
{
    return m_open && m_fileSource ? camVideoGetFrameCount() : 0;
}

double CamVidStream::GetSourceFrameRate() const
{
    return m_open && m_fileSource ? camVideoGetFrameRate() : 0.0;
}

bool CamVidStream::HasEnded() const
{
    return m_open && m_fileSource && camVideoAtEnd() != 0;
}

void CamVidStream::CleanUp()
{
    std::lock_guard<std::mutex> guard(m_sourceMutex);
    if (!m_open) return;
    m_open = false;
    if (g_owner != this) return;  // another stream has opened the library since
    camVideoSetFrameReceiver(nullptr);
    camVideoCapStop();
    camVideoClose();
    g_owner = nullptr;
}
