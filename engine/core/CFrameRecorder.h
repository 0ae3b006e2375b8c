#pragma once
// Records what the window shows to a video file (and the run's sound, when
// it has any) without slowing the frame loop: the engine thread copies each
// drawn frame into one of a few buffers made at the start, and a thread of
// the recorder's own encodes them. When every buffer is still waiting for
// the encoder, the frame is dropped and counted instead.
//
// The file is written under a temporary name and gets its own name only when
// Finish completes it, so a run that ends in any orderly way leaves a
// playable file, and a failed one (a full disk) leaves none. A failure stops
// the recording; the engine thread learns of it through TakeFailure, once.
//
// Threading: Start, NextFrame, CommitFrame, AddSound, TakeFailure and Finish
// come from the engine thread; the encoder thread is the recorder's.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vexa
{
namespace media
{
class MediaFileWriter;
}
}

class CFrameRecorder
{
public:
    struct Settings
    {
        std::string path;                  // container chosen by the extension
        int width = 0, height = 0;         // pixels, even
        int rateNum = 30, rateDen = 1;     // frames per second = num / den; frame times count in these frames
        int soundRate = 0;                 // samples per second; 0 = no sound track
        int soundChannels = 0;             // 1 or 2 with sound
        int queueFrames = 8;               // frames waiting for the encoder, at most
        /// Frame-locked runs are not in real time: there NextFrame waits for
        /// the encoder rather than drop a frame, so every frame is recorded.
        bool waitForEncoder = false;
    };

    CFrameRecorder();
    /// Finishes the file when the engine has not.
    ~CFrameRecorder();
    CFrameRecorder(const CFrameRecorder&) = delete;
    CFrameRecorder& operator=(const CFrameRecorder&) = delete;

    /// Creates the file and the encoder thread; false with `error` set when
    /// the file cannot be made.
    bool Start(const Settings& settings, std::string& error);
    bool IsRecording() const { return m_recording; }
    const Settings& GetSettings() const { return m_settings; }

    /// Memory for the next frame: width x height RGB pixels, rows bottom-up
    /// (as glReadPixels gives them), or null when every buffer waits for the
    /// encoder (the frame is dropped and counted; with waitForEncoder it waits
    /// instead) or the recording stopped.
    uint8_t* NextFrame();
    /// The memory NextFrame gave holds the frame to show at `frameTime`
    /// (counted in frames of the file's rate, greater than the last one).
    void CommitFrame(int64_t frameTime);
    /// Interleaved 16-bit samples of the run's sound, in order.
    void AddSound(const int16_t* samples, int frames);

    /// One line when the recording stopped because writing failed; empty
    /// otherwise, and after the first call.
    std::string TakeFailure();

    /// Encodes what is queued, completes the file and stops the thread;
    /// true when the file is complete under its own name.
    bool Finish();

    int64_t FramesWritten() const;
    int64_t FramesDropped() const { return m_dropped; }

private:
    struct Frame
    {
        std::vector<uint8_t> pixels;
        int64_t time = 0;
    };

    void Encode();
    bool EncodeFrame(const Frame& frame);
    void Fail(const std::string& why);

    Settings m_settings;
    std::unique_ptr<vexa::media::MediaFileWriter> m_writer;
    std::thread m_thread;
    bool m_recording = false;
    int64_t m_dropped = 0;
    Frame* m_filling = nullptr;  // the frame NextFrame handed out

    mutable std::mutex m_mutex;  // guards what follows
    std::condition_variable m_wake;   // the encoder: work has come
    std::condition_variable m_freed;  // NextFrame: a buffer is free again
    std::vector<std::unique_ptr<Frame>> m_frames;
    std::deque<Frame*> m_free, m_queued;
    std::vector<int16_t> m_sound;  // samples waiting for the encoder
    bool m_stopping = false;
    bool m_failed = false;
    std::string m_failure;
    int64_t m_written = 0;
};
