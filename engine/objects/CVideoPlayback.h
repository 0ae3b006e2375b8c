#pragma once
// A movie clip played on a marker: the picture through a movie stream
// (CMJVidStream, decoded on its own thread) and the clip's sound, when it
// has one, through OpenAL (CMovieSound). Video entities and video materials
// each own one and hand it their marker's state every frame:
//
//   marker lost                        the picture and the sound stop where they are
//   back after a long absence          both start over from the beginning
//   (the marker's reappeared flag:
//   4 seconds or more away)
//   back after a shorter absence       both play on from where they stopped
//
// At the end of the clip a looping playback ("LOOP") starts picture and
// sound over together; one that plays once ("PLAY") keeps its last picture
// until the marker comes back after a long absence. A clip that is cut off
// or damaged plays as far as it can and then keeps its last good picture,
// silent, with one log line; a file that is not a video at all gives one
// line on standard output ("Unable to play video <file>", the reason in the
// log) and no picture. None of this ever waits for a decoder: the frame loop
// only sends requests and reads flags.

#include "CMJVidStream.h"
#include "CMovieSound.h"
#include "MarkerState.h"

#include <osg/ref_ptr>

#include <memory>
#include <string>

class CVideoPlayback
{
public:
    enum Transport
    {
        TRANSPORT_LOOP = 0,  // "LOOP": round and round while the marker is seen
        TRANSPORT_PLAY = 1   // "PLAY": once, then the last picture stays
    };

    CVideoPlayback() = default;
    ~CVideoPlayback();
    CVideoPlayback(const CVideoPlayback&) = delete;
    CVideoPlayback& operator=(const CVideoPlayback&) = delete;

    /// Opens the clip (the picture waits for the marker). `flipY` shows the
    /// picture bottom row first (for models whose texture coordinates put
    /// the picture's bottom at 0). False, with the message above, when the
    /// file is not a video.
    bool Open(const std::string& fileName, bool textureRectangle, bool flipY, bool withSound = true);
    void SetTransport(Transport transport) { m_transport = transport; }
    Transport GetTransport() const { return m_transport; }

    /// Applies the marker's state (see above) and the clip's end.
    void Update(const MarkerState& state);
    /// Stops and lets go of the picture and the sound.
    void Release();

    /// The picture; null before Open, invalid when the file is not a video.
    CMJVidStream* GetStream() { return m_stream.get(); }
    bool IsValid() const { return m_stream.valid() && m_stream->isValid(); }
    /// True while the playback wants the clip running.
    bool IsPlaying() const { return m_playing; }
    /// How often the clip was started over (long absences and loops).
    int GetRestarts() const { return m_restarts; }
    /// True once the clip stopped for good on damage (until started over).
    bool IsStill() const { return m_still; }
    bool HasSound() const { return m_sound && m_sound->HasSound(); }
    CMovieSound* GetSound() { return m_sound.get(); }

private:
    void Start(bool fromTheBeginning);
    void Stop();
    void FollowTheEnd();

    osg::ref_ptr<CMJVidStream> m_stream;
    std::unique_ptr<CMovieSound> m_sound;
    std::string m_fileName;
    Transport m_transport = TRANSPORT_LOOP;
    bool m_playing = false;
    bool m_wasReappeared = false;
    bool m_still = false;
    bool m_toldDamage = false;
    bool m_toldEnd = false;
    int m_restarts = 0;
};
