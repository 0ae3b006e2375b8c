#pragma once
// The sound of a movie file, played through OpenAL beside a picture that a
// movie stream (CMJVidStream) shows: video entities use one for their clip.
//
// Play, Pause and Rewind only ask: a control thread of the sound's own does
// the work (decoding the first sound, filling OpenAL's queue), so the
// engine's thread never waits for a decoder. The sound plays once; its owner
// rewinds it when it starts the picture over.
//
// Needs the current OpenAL context of the engine's sound manager; without
// one (or without a sound track) it stays silent, with one log line when a
// sound track could not be played. Owns its reader, player and thread; the
// destructor stops them.

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace vexa
{
namespace media
{
class AudioStreamPlayer;
class MediaFileReader;
class ReaderPcmSource;
}
}

class CMovieSound
{
public:
    /// Opens the sound track of `fileName` (found as the streams find files).
    explicit CMovieSound(const std::string& fileName);
    ~CMovieSound();
    CMovieSound(const CMovieSound&) = delete;
    CMovieSound& operator=(const CMovieSound&) = delete;

    /// True when the file has a sound track that could be opened.
    bool HasSound() const { return m_player != nullptr; }
    void Play();
    void Pause();
    /// Back to the start (playing on when it was playing).
    void Rewind();
    /// What was last asked for.
    bool IsPlaying() const;
    /// Seconds of sound heard since the start or the last rewind (0 without sound).
    double GetPosition() const;

private:
    void Run();
    void Ask(bool playing, bool rewind);

    std::unique_ptr<vexa::media::MediaFileReader> m_reader;
    std::unique_ptr<vexa::media::ReaderPcmSource> m_pcm;
    std::unique_ptr<vexa::media::AudioStreamPlayer> m_player;
    mutable std::mutex m_mutex;  // the requests below; never held during decoding
    std::condition_variable m_wake;
    bool m_wantPlaying = false;
    unsigned m_rewinds = 0;
    bool m_quit = false;
    std::thread m_thread;
};
