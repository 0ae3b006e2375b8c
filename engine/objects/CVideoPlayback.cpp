#include "CVideoPlayback.h"

#include "CContentFiles.h"
#include "CMessageLog.h"
#include "CTagBlock.h"

CVideoPlayback::~CVideoPlayback()
{
    Release();
}

bool CVideoPlayback::Open(const std::string& fileName, bool textureRectangle, bool flipY, bool withSound)
{
    Release();
    m_fileName = fileName;
    const std::string path = CContentFiles::Find(fileName);
    m_stream = new CMJVidStream(path, textureRectangle);
    if (!m_stream->isValid())
    {
        CTagBlock::Print("Unable to play video " + fileName);
        return false;
    }
    m_stream->SetLooping(false);  // the playback loops picture and sound together
    m_stream->SetFlipY(flipY);
    if (withSound) m_sound = std::make_unique<CMovieSound>(path);
    return true;
}

void CVideoPlayback::Update(const MarkerState& state)
{
    if (!IsValid()) return;
    const bool cameBackLong = state.reappeared && !m_wasReappeared;
    m_wasReappeared = state.reappeared;
    if (!state.visible)
    {
        if (m_playing) Stop();
        return;
    }
    if (cameBackLong)
        Start(true);
    else if (!m_playing)
        Start(false);
    FollowTheEnd();
}

void CVideoPlayback::Start(bool fromTheBeginning)
{
    if (fromTheBeginning)
    {
        m_stream->rewind();
        if (m_sound) m_sound->Rewind();
        m_still = false;
        ++m_restarts;
    }
    m_stream->StartStream();
    if (m_sound && !m_still) m_sound->Play();
    m_playing = true;
}

void CVideoPlayback::Stop()
{
    m_stream->stop();
    if (m_sound) m_sound->Pause();
    m_playing = false;
}

void CVideoPlayback::FollowTheEnd()
{
    if (m_still || !m_stream->HasEnded()) return;
    if (m_stream->EndedEarly())
    {
        m_still = true;
        if (m_sound) m_sound->Pause();
        if (!m_toldDamage)
            CMessageLog::Instance()->WriteToLog("CVideoEntity: " + m_fileName + ": " + m_stream->GetEndMessage() +
                                                "; the last picture stays");
        m_toldDamage = true;
        return;
    }
    if (m_transport == TRANSPORT_LOOP)
    {
        Start(true);
        return;
    }
    m_still = true;
    if (!m_toldEnd)
        CMessageLog::Instance()->WriteToLog("CVideoEntity: " + m_fileName + " played to its end; the last picture stays");
    m_toldEnd = true;
}

void CVideoPlayback::Release()
{
    if (m_stream.valid())
    {
        m_stream->stop();
        m_stream->CleanUp();
    }
    m_sound.reset();
    m_playing = false;
}
