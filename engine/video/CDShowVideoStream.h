#pragma once
// A media file played with its sound: the sound goes to OpenAL through a
// streamed source of its own, and the picture follows the sound's play
// position, so they stay in step; both loop. Without sound (a silent file, or
// no OpenAL context) the picture follows the wall clock instead.
//
// Needs a current OpenAL context for sound (the engine's sound manager makes
// one). The capture thread decodes the frame due into the stream's spare
// buffers (GL_BGRA, rows top-down); the reading thread shows it.
//
// The file is read through two readers, one for pictures and one for sound,
// so each side is read on its own thread.

#include "CBufferedVideoStream.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <string>

namespace vexa
{
namespace media
{
class AudioStreamPlayer;
class MediaFileReader;
class ReaderPcmSource;
}
}

class CDShowVideoStream : public CBufferedVideoStream
{
public:
    /// Opens the file (paused on its first frame); the flags are stored only.
    CDShowVideoStream(const std::string& fileName, bool flagA = false, bool flagB = false);
    /// An empty, unconnected file stream.
    CDShowVideoStream();

    osg::Object* cloneType() const override { return new CDShowVideoStream(); }
    osg::Object* clone(const osg::CopyOp&) const override { return new CDShowVideoStream(); }
    bool isSameKindAs(const osg::Object* obj) const override
    {
        return dynamic_cast<const CDShowVideoStream*>(obj) != nullptr;
    }
    const char* className() const override { return "DShowVideoStream"; }
    CVideoStream* clone() const override { return new CDShowVideoStream(); }

    /// Sound and picture run (from where they were paused).
    void StartStream() override;
    void play() override;
    /// Sound and picture pause.
    void stop() override;
    /// Back to the start of sound and picture.
    void rewind() override;
    void CleanUp() override;

    bool HasSound() const { return m_player != nullptr; }
    /// Seconds of the file played (the sound's position when there is sound).
    double GetPosition() const;
    /// Index within the file of the frame decoded last (-1 before the first).
    int GetFrameIndex() const;

protected:
    ~CDShowVideoStream() override;

    void ProduceFrame() override;

private:
    void Resume();
    void Pause();
    void OpenSound();

    std::unique_ptr<vexa::media::MediaFileReader> m_video;  // capture thread, under m_videoMutex
    std::unique_ptr<vexa::media::MediaFileReader> m_audio;  // the player's feeder thread
    std::unique_ptr<vexa::media::ReaderPcmSource> m_pcm;
    std::unique_ptr<vexa::media::AudioStreamPlayer> m_player;  // under m_controlMutex
    mutable std::mutex m_videoMutex;
    mutable std::mutex m_controlMutex;
    // Wall clock for silent playback: position = paused position + time since resumed.
    std::chrono::steady_clock::time_point m_resumedAt;
    double m_pausedPosition = 0.0;  // seconds
    bool m_running = false;         // guarded by m_controlMutex
    int m_frameIndex = -1;          // guarded by m_videoMutex
    bool m_flagA = false, m_flagB = false;
};
