#include "CMovieSound.h"

#include "CMessageLog.h"
#include "CPathResolver.h"

#include "AudioStreamPlayer.h"
#include "MediaFileReader.h"
#include "ReaderPcmSource.h"

using vexa::media::AudioStreamPlayer;
using vexa::media::MediaFileReader;

CMovieSound::CMovieSound(const std::string& fileName)
{
    auto reader = std::make_unique<MediaFileReader>();
    if (!reader->open(CPathResolver::Resolve(fileName)) || !reader->info().hasAudio) return;
    reader->setLooping(false);
    m_reader = std::move(reader);
    m_pcm = std::make_unique<vexa::media::ReaderPcmSource>(*m_reader);
    m_player = std::make_unique<AudioStreamPlayer>(*m_pcm, [](const std::string&) {});
    m_thread = std::thread(&CMovieSound::Run, this);
}

CMovieSound::~CMovieSound()
{
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) m_thread.join();
    m_player.reset();  // before the source it reads
    m_pcm.reset();
}

void CMovieSound::Ask(bool playing, bool rewind)
{
    if (!m_player) return;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_wantPlaying = playing;
        if (rewind) ++m_rewinds;
    }
    m_wake.notify_all();
}

void CMovieSound::Play()
{
    Ask(true, false);
}

void CMovieSound::Pause()
{
    Ask(false, false);
}

void CMovieSound::Rewind()
{
    Ask(IsPlaying(), true);
}

bool CMovieSound::IsPlaying() const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_wantPlaying;
}

double CMovieSound::GetPosition() const
{
    return m_player ? m_player->positionSeconds() : 0.0;
}

void CMovieSound::Run()
{
    bool playing = false, failed = false;
    unsigned rewinds = 0;
    for (;;)
    {
        bool want = false;
        unsigned asked = 0;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [&] { return m_quit || m_wantPlaying != playing || m_rewinds != rewinds; });
            if (m_quit) break;
            want = m_wantPlaying;
            asked = m_rewinds;
        }
        if (asked != rewinds) m_player->rewind();
        rewinds = asked;
        if (want && !playing && !failed && !m_player->start())
        {
            failed = true;  // said once; the picture plays on without sound
            CMessageLog::Instance()->WriteToLog("MovieSound: " + m_reader->path() + ": " + m_player->lastError());
        }
        else if (!want && playing)
            m_player->stop();
        playing = want;
    }
    m_player->stop();
}
