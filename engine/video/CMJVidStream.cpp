#include "CMJVidStream.h"

#include "CMessageLog.h"
#include "CPathResolver.h"

#include "FrameTarget.h"
#include "MediaFileReader.h"

#include <algorithm>
#include <cstdio>

using vexa::media::MediaFileReader;

CMJVidStream::CMJVidStream(const std::string& fileName, bool textureRectangle)
    : CBufferedVideoStream(textureRectangle), m_reader(std::make_unique<MediaFileReader>())
{
    if (!m_reader->open(CPathResolver::Resolve(fileName)))
    {
        CMessageLog::Instance()->WriteToLog("MJVidStream: Error: " + m_reader->lastError());
        m_reader.reset();
        return;
    }
    const MediaFileReader::Info& info = m_reader->info();
    m_reader->setLooping(true);
    m_frameCount = static_cast<int>(info.frameCount);
    // Whole milliseconds per frame, as the capture loop paces in milliseconds.
    m_msPerFrame = info.frameRate > 0.0 ? static_cast<int>(1000.0 / info.frameRate) : 40;
    if (m_msPerFrame < 1) m_msPerFrame = 1;
    SetFrameInterval(m_msPerFrame);
    AllocateFrames(info.width, info.height, GL_BGRA);
    m_valid = true;
    StartCaptureThread();
}

CMJVidStream::CMJVidStream() : CBufferedVideoStream(false) {}

CMJVidStream::~CMJVidStream()
{
    StopThreadAndWait();
    CleanUp();
}

void CMJVidStream::ProduceFrame()
{
    std::lock_guard<std::mutex> guard(m_readerMutex);
    if (!m_reader) return;
    if (m_rewindPending.exchange(false))
    {
        m_reader->rewind();
        SetEnded(kPlaying, "");
    }
    else if (m_ended.load() != kPlaying)
        return;  // the last frame stays
    m_reader->setLooping(m_looping);
    const MediaFileReader::ReadResult result = m_reader->readNextFrame(BackTarget());
    if (result == MediaFileReader::ReadResult::Frame)
    {
        m_frameIndex = static_cast<int>(m_reader->currentFrameIndex());
        PublishBack();
        return;
    }
    if (result == MediaFileReader::ReadResult::EndOfStream && !m_reader->endedEarly())
        SetEnded(kFinished, "");
    else
        SetEnded(kDamaged, m_reader->lastError());
}

void CMJVidStream::SetEnded(int state, const std::string& message)
{
    std::lock_guard<std::mutex> guard(m_endMutex);
    m_endMessage = message;
    m_ended = state;
}

std::string CMJVidStream::GetEndMessage() const
{
    std::lock_guard<std::mutex> guard(m_endMutex);
    return m_endMessage;
}

void CMJVidStream::rewind()
{
    m_rewindPending = true;
    m_frameIndex = -1;
    SetEnded(kPlaying, "");
    CVideoStream::rewind();
}

bool CMJVidStream::LoadNewStream(const char* fileName)
{
    const std::string name = fileName ? fileName : "";
    auto next = std::make_unique<MediaFileReader>();
    if (!next->open(CPathResolver::Resolve(name)))
    {
        std::printf("Failed to open new video stream %s\n", name.c_str());
        std::fflush(stdout);
        return false;
    }
    const bool firstFile = FrameWidth() == 0;
    if (!firstFile && (next->info().width != FrameWidth() || next->info().height != FrameHeight()))
    {
        std::printf("Failed to attach to the new video stream %s\n", name.c_str());
        std::fflush(stdout);
        return false;
    }
    next->setLooping(true);
    std::lock_guard<std::mutex> guard(m_readerMutex);
    m_reader = std::move(next);
    m_rewindPending = false;
    m_frameIndex = -1;
    m_frameCounter = 0;
    if (firstFile)
    {
        // An empty stream takes the size and pace of its first file.
        m_frameCount = static_cast<int>(m_reader->info().frameCount);
        const double rate = m_reader->info().frameRate;
        m_msPerFrame = rate > 0.0 ? std::max(1, static_cast<int>(1000.0 / rate)) : 40;
        SetFrameInterval(m_msPerFrame);
        AllocateFrames(m_reader->info().width, m_reader->info().height, GL_BGRA);
        StartCaptureThread();
    }
    m_valid = true;
    return true;
}

void CMJVidStream::CleanUp()
{
    std::lock_guard<std::mutex> guard(m_readerMutex);
    m_reader.reset();
}
