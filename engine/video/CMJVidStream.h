#pragma once
// A movie file (anything FFmpeg reads) played frame by frame on the capture
// loop at the file's own frame period, looping: after the last frame comes
// the first again. Used by video entities and HUD video regions.
//
// Frames are decoded on the capture thread into the stream's spare buffers
// (GL_BGRA, rows top-down) and become the image on the reading thread: at
// UpdateStream or when a texture showing the stream is updated.
//
// A file that cannot be read leaves the stream invalid with one message line.
//
// Without looping (SetLooping(false)) the stream holds its last frame at the
// end of the file and says so (HasEnded); a file that ends before the frames
// it announced, or that cannot be read further, ends the same way and also
// says why (EndedEarly, GetEndMessage). rewind starts it over. The end state
// is read on any thread without waiting for the decoder.

#include "CBufferedVideoStream.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

namespace vexa
{
namespace media
{
class MediaFileReader;
}
}

class CMJVidStream : public CBufferedVideoStream
{
public:
    /// Opens the file and starts the capture thread; frames flow after
    /// StartStream or play.
    CMJVidStream(const std::string& fileName, bool textureRectangle);
    /// An empty movie stream.
    CMJVidStream();

    osg::Object* cloneType() const override { return new CMJVidStream(); }
    osg::Object* clone(const osg::CopyOp&) const override { return new CMJVidStream(); }
    bool isSameKindAs(const osg::Object* obj) const override { return dynamic_cast<const CMJVidStream*>(obj) != nullptr; }
    const char* className() const override { return "MJVidStream"; }
    CVideoStream* clone() const override { return new CMJVidStream(); }

    /// Back to the first frame, then the rewind command.
    void rewind() override;
    /// Plays another file of the same frame size instead; false (with a line
    /// on standard output) when it cannot be opened or has another size, and
    /// the current file plays on.
    bool LoadNewStream(const char* fileName) override;
    void CleanUp() override;

    /// Whether the frame after the last is the first again (the default).
    void SetLooping(bool loop) { m_looping = loop; }
    bool IsLooping() const { return m_looping; }
    /// True once a stream that does not loop has shown its last frame, or the
    /// file could not be read further; false again after rewind.
    bool HasEnded() const override { return m_ended.load() != kPlaying; }
    /// True when the end came early: the file was cut off, damaged or unreadable.
    bool EndedEarly() const { return m_ended.load() == kDamaged; }
    /// Why the stream ended early, in one line; empty otherwise.
    std::string GetEndMessage() const;

    int GetFrameCount() const { return m_frameCount; }
    int GetMillisecondsPerFrame() const { return m_msPerFrame; }
    /// Index within the file of the frame decoded last (-1 before the first).
    int GetFrameIndex() const { return m_frameIndex; }

protected:
    ~CMJVidStream() override;

    void ProduceFrame() override;

private:
    enum EndState
    {
        kPlaying = 0,
        kFinished = 1,  // the last frame of a stream that does not loop
        kDamaged = 2    // the file ended early or could not be read further
    };
    void SetEnded(int state, const std::string& message);

    std::unique_ptr<vexa::media::MediaFileReader> m_reader;  // guarded by m_readerMutex
    std::mutex m_readerMutex;
    std::atomic<bool> m_rewindPending{false};
    std::atomic<int> m_frameIndex{-1};
    std::atomic<bool> m_looping{true};
    std::atomic<int> m_ended{kPlaying};
    mutable std::mutex m_endMutex;  // the end message only; never held while decoding
    std::string m_endMessage;
    int m_frameCount = 0;
    int m_msPerFrame = 40;
};
