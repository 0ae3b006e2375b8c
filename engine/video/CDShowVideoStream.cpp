#include "CDShowVideoStream.h"

#include "CMessageLog.h"
#include "CPathResolver.h"

#include "AudioStreamPlayer.h"
#include "FrameTarget.h"
#include "MediaFileReader.h"
#include "ReaderPcmSource.h"

using vexa::media::AudioStreamPlayer;
using vexa::media::MediaFileReader;

namespace
{
void log(const std::string& text)
{
    CMessageLog::Instance()->WriteToLog(text);
}
const int kPollInterval = 10;  // ms between looks at the clock
}

CDShowVideoStream::CDShowVideoStream(const std::string& fileName, bool flagA, bool flagB)
    : CBufferedVideoStream(false), m_flagA(flagA), m_flagB(flagB)
{
    log("DShowVideoStream::Construstor()....");
    SetFrameInterval(kPollInterval);
    const std::string path = CPathResolver::Resolve(fileName);
    m_video = std::make_unique<MediaFileReader>();
    if (!m_video->open(path))
    {
        log("DShowVideoStream: Error: Failed to open Source " + fileName + " (" + m_video->lastError() + ")");
        m_video.reset();
        return;
    }
    log("DShowVideoStream: Constructor : File Source opened");
    m_video->setLooping(true);
    if (m_video->info().hasAudio) OpenSound();
    AllocateFrames(m_video->info().width, m_video->info().height, GL_BGRA);
    // Paused on the first frame until started.
    if (m_video->readNextFrame(BackTarget()) == MediaFileReader::ReadResult::Frame)
    {
        m_frameIndex = 0;
        PublishBack();
        PresentNewest();
    }
    m_video->rewind();
    StartCaptureThread();
    m_valid = true;
    log("DShowVideoStream: Constructor : complete");
}

CDShowVideoStream::CDShowVideoStream() : CBufferedVideoStream(false) {}

CDShowVideoStream::~CDShowVideoStream()
{
    StopThreadAndWait();
    if (m_video || m_player) CleanUp();
}

void CDShowVideoStream::OpenSound()
{
    m_audio = std::make_unique<MediaFileReader>();
    if (!m_audio->open(m_video->path()))
    {
        log("DShowVideoStream: Constructor : no sound (" + m_audio->lastError() + ")");
        m_audio.reset();
        return;
    }
    m_audio->setLooping(true);
    m_pcm = std::make_unique<vexa::media::ReaderPcmSource>(*m_audio);
    m_player = std::make_unique<AudioStreamPlayer>(*m_pcm, [](const std::string&) {});
}

void CDShowVideoStream::Resume()
{
    std::lock_guard<std::mutex> guard(m_controlMutex);
    if (m_running || !m_video) return;
    if (m_player && !m_player->start())
    {
        log("DShowVideoStream: no sound output (" + m_player->lastError() + "), the picture follows the clock");
        m_player.reset();
    }
    m_resumedAt = std::chrono::steady_clock::now();
    m_running = true;
}

void CDShowVideoStream::Pause()
{
    std::lock_guard<std::mutex> guard(m_controlMutex);
    if (!m_running) return;
    if (m_player) m_player->stop();
    m_pausedPosition += std::chrono::duration<double>(std::chrono::steady_clock::now() - m_resumedAt).count();
    m_running = false;
}

void CDShowVideoStream::StartStream()
{
    Resume();
    CVideoStream::StartStream();
}

void CDShowVideoStream::play()
{
    Resume();
    CVideoStream::play();
}

void CDShowVideoStream::stop()
{
    Pause();
    CVideoStream::stop();
}

void CDShowVideoStream::rewind()
{
    {
        std::lock_guard<std::mutex> videoGuard(m_videoMutex);
        if (m_video) m_video->rewind();
        m_frameIndex = -1;
    }
    {
        std::lock_guard<std::mutex> guard(m_controlMutex);
        if (m_player) m_player->rewind();
        m_pausedPosition = 0.0;
        m_resumedAt = std::chrono::steady_clock::now();
    }
    CVideoStream::rewind();
}

double CDShowVideoStream::GetPosition() const
{
    std::lock_guard<std::mutex> guard(m_controlMutex);
    if (m_player) return m_player->positionSeconds();
    if (!m_running) return m_pausedPosition;
    return m_pausedPosition + std::chrono::duration<double>(std::chrono::steady_clock::now() - m_resumedAt).count();
}

int CDShowVideoStream::GetFrameIndex() const
{
    std::lock_guard<std::mutex> guard(m_videoMutex);
    return m_frameIndex;
}

void CDShowVideoStream::ProduceFrame()
{
    const double position = GetPosition();
    std::lock_guard<std::mutex> guard(m_videoMutex);
    if (!m_video) return;
    if (m_video->readFrameDueAt(position, BackTarget()) != MediaFileReader::ReadResult::Frame) return;
    m_frameIndex = static_cast<int>(m_video->currentFrameIndex());
    PublishBack();
}

void CDShowVideoStream::CleanUp()
{
    log("DShowVideoStream:CleanUp()...");
    StopThreadAndWait();
    {
        std::lock_guard<std::mutex> guard(m_controlMutex);
        m_player.reset();
        m_running = false;
    }
    m_pcm.reset();
    m_audio.reset();
    {
        std::lock_guard<std::mutex> guard(m_videoMutex);
        m_video.reset();
    }
    log("DShowVideoStream:CleanUp : Complete");
}
