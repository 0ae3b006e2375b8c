#include "CFrameRecorder.h"

#include "MediaFileWriter.h"

#include <algorithm>
#include <cassert>

using vexa::media::MediaFileWriter;

CFrameRecorder::CFrameRecorder() = default;

CFrameRecorder::~CFrameRecorder()
{
    Finish();
}

bool CFrameRecorder::Start(const Settings& settings, std::string& error)
{
    assert(!m_recording && "CFrameRecorder::Start: already recording");
    assert(settings.width > 0 && settings.height > 0 && settings.queueFrames > 0 &&
           "CFrameRecorder::Start: a size and a queue are needed");
    m_settings = settings;
    m_writer = std::make_unique<MediaFileWriter>();
    MediaFileWriter::Settings file;
    file.width = settings.width;
    file.height = settings.height;
    file.frameRateNum = settings.rateNum;
    file.frameRateDen = settings.rateDen;
    file.layout = MediaFileWriter::PixelLayout::RGB;
    file.quality = 90;
    file.audioSampleRate = settings.soundRate;
    file.audioChannels = settings.soundRate > 0 ? settings.soundChannels : 0;
    if (!m_writer->open(settings.path, file))
    {
        error = m_writer->lastError();
        m_writer.reset();
        return false;
    }
    const size_t bytes = static_cast<size_t>(settings.width) * settings.height * 3;
    for (int i = 0; i < settings.queueFrames; ++i)
    {
        m_frames.push_back(std::make_unique<Frame>());
        m_frames.back()->pixels.resize(bytes);
        m_free.push_back(m_frames.back().get());
    }
    m_sound.reserve(static_cast<size_t>(settings.soundRate) * std::max(1, settings.soundChannels));
    m_recording = true;
    m_thread = std::thread(&CFrameRecorder::Encode, this);
    return true;
}

uint8_t* CFrameRecorder::NextFrame()
{
    if (!m_recording) return nullptr;
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_settings.waitForEncoder) m_freed.wait(lock, [this]() { return m_failed || !m_free.empty(); });
    if (m_failed) return nullptr;
    if (m_free.empty())
    {
        ++m_dropped;
        return nullptr;
    }
    m_filling = m_free.front();
    m_free.pop_front();
    return m_filling->pixels.data();
}

void CFrameRecorder::CommitFrame(int64_t frameTime)
{
    assert(m_filling && "CFrameRecorder::CommitFrame: no frame was handed out");
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_filling->time = frameTime;
        m_queued.push_back(m_filling);
        m_filling = nullptr;
    }
    m_wake.notify_one();
}

void CFrameRecorder::AddSound(const int16_t* samples, int frames)
{
    if (!m_recording || m_settings.soundRate <= 0 || frames <= 0) return;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        if (m_failed) return;
        m_sound.insert(m_sound.end(), samples, samples + static_cast<size_t>(frames) * m_settings.soundChannels);
    }
    m_wake.notify_one();
}

void CFrameRecorder::Fail(const std::string& why)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    if (m_failed) return;
    m_failed = true;
    m_failure = why;
    // Frames still waiting will never be written.
    for (Frame* frame : m_queued) m_free.push_back(frame);
    m_queued.clear();
    m_freed.notify_all();
}

bool CFrameRecorder::EncodeFrame(const Frame& frame)
{
    const int stride = -m_settings.width * 3;  // rows bottom-up
    return m_writer->writeVideoFrame(frame.pixels.data(), stride, frame.time);
}

void CFrameRecorder::Encode()
{
    std::vector<int16_t> sound;
    for (;;)
    {
        Frame* frame = nullptr;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this]() { return m_stopping || !m_queued.empty() || !m_sound.empty(); });
            if (!m_sound.empty()) sound.swap(m_sound);
            if (!m_queued.empty())
            {
                frame = m_queued.front();
                m_queued.pop_front();
            }
            else if (m_stopping && sound.empty())
                return;
        }
        bool ok = true;
        if (!sound.empty())
        {
            ok = m_writer->writeAudio(sound.data(), static_cast<int>(sound.size() / m_settings.soundChannels));
            sound.clear();
        }
        if (frame) ok = ok && EncodeFrame(*frame);
        if (!ok) Fail("recording to " + m_settings.path + " stopped: " + m_writer->lastError());
        std::lock_guard<std::mutex> guard(m_mutex);
        if (frame && !m_failed)
        {
            ++m_written;
            m_free.push_back(frame);
            m_freed.notify_all();
        }
    }
}

std::string CFrameRecorder::TakeFailure()
{
    std::lock_guard<std::mutex> guard(m_mutex);
    std::string failure;
    failure.swap(m_failure);
    return failure;
}

bool CFrameRecorder::Finish()
{
    if (!m_recording) return false;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
    m_recording = false;
    bool complete = false;
    if (m_failed)
        m_writer->abandon();
    else if (!(complete = m_writer->close()))
        Fail("recording to " + m_settings.path + " could not be completed: " + m_writer->lastError());
    return complete;
}

int64_t CFrameRecorder::FramesWritten() const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_written;
}
