#pragma once
// The common base of every video source. A stream *is* the current video
// frame: readers (the background layer, HUD video regions, the tracker) look
// at this image; the source refreshes its pixels. Sources that pull frames
// run the capture loop below on the stream's own thread, driven by commands
// any thread may queue.
//
// Ownership: streams are reference counted; the texture matrix belongs to the
// stream; the pixel memory belongs to the subclass (or to the image when it
// was allocated here), and the image never points into memory that the
// source has handed back or freed.

#include <OpenThreads/Mutex>
#include <OpenThreads/Thread>
#include <osg/ImageStream>
#include <osg/StateSet>
#include <osg/TexMat>
#include <osg/ref_ptr>

#include <atomic>
#include <cstdint>
#include <deque>

class CVideoStream : public osg::ImageStream, public OpenThreads::Thread
{
public:
    enum ThreadCommand
    {
        CmdNone = 0,
        CmdStart = 1,
        CmdStop = 2,
        CmdPlay = 3,
        CmdRewind = 4,
        CmdReserved = 5,  // treated like CmdStop
        CmdQuit = 6
    };

    /// The constructor every source uses; `textureRectangle` shows the stream
    /// through a rectangle texture (pixel coordinates) instead of a 2D one.
    explicit CVideoStream(bool textureRectangle);
    CVideoStream();
    CVideoStream(const CVideoStream& other, const osg::CopyOp& op = osg::CopyOp::SHALLOW_COPY);

    osg::Object* cloneType() const override { return new CVideoStream(); }
    osg::Object* clone(const osg::CopyOp& op) const override { return new CVideoStream(*this, op); }
    bool isSameKindAs(const osg::Object* obj) const override { return dynamic_cast<const CVideoStream*>(obj) != nullptr; }
    const char* className() const override { return "VideoImageStream"; }

    void play() override { setCmd(CmdPlay); }
    void rewind() override { setCmd(CmdRewind); }
    void quit(bool waitForThreadToExit = true) override;

    virtual CVideoStream* clone() const { return new CVideoStream(); }
    virtual void StartStream() { setCmd(CmdStart); }
    virtual void stop() { setCmd(CmdStop); }
    virtual void quit() { setCmd(CmdQuit); }
    /// Produces one frame into the image; the base has no source.
    virtual void UpdateStream() {}
    virtual bool LoadNewStream(const char*) { return true; }
    virtual void CleanUp() {}

    bool isValid() const { return m_valid; }
    int GetFrameCounter() const { return m_frameCounter; }
    /// Capture-loop pacing in milliseconds; 0 lets the source set the pace.
    int GetFrameInterval() const { return m_frameInterval; }
    void SetFrameInterval(int milliseconds) { m_frameInterval = milliseconds; }
    /// Mirror the picture left to right (X) or top to bottom (Y). Streams that
    /// convert frames into buffers of their own (CBufferedVideoStream) apply
    /// them while converting, from the next frame on, and never touch the
    /// frame being shown; other streams flip their image after each frame of
    /// the capture loop.
    void SetFlipX(bool flag) { m_flipX = flag; }
    void SetFlipY(bool flag) { m_flipY = flag; }
    bool GetFlipX() const { return m_flipX; }
    bool GetFlipY() const { return m_flipY; }
    bool UsesTextureRectangle() const { return m_textureRectangle; }
    /// The number, at its source, of the frame the image holds: a file's
    /// frame index within the file, a camera's frames counted from 0; -1
    /// before the first frame.
    virtual int64_t GetShownFrameNumber() const { return -1; }
    /// The frames of a file source; 0 for cameras or when unknown.
    virtual int64_t GetSourceFrameCount() const { return 0; }
    /// A file source's frames per second; 0 for cameras or when unknown.
    virtual double GetSourceFrameRate() const { return 0.0; }
    /// True once a source that does not loop has nothing more to show.
    virtual bool HasEnded() const { return false; }
    /// A stream whose owner calls UpdateStream once per engine frame (the
    /// video manager, before the tracker runs) changes its image only there:
    /// the scene's update traversal then leaves it alone, so the picture that
    /// is drawn is the picture the tracker analysed. Off by default, so
    /// streams nobody drives (a video on a HUD region) refresh as they are drawn.
    void SetPresentedByOwner(bool on) { m_presentedByOwner = on; }
    bool IsPresentedByOwner() const { return m_presentedByOwner; }

    osg::TexMat* getTexMat() { return m_texMat.get(); }
    /// Scales texture coordinates to the used part of the video texture.
    void SetEdgeOffSet(float sx, float sy);
    /// Shifts the picture by (dx, dy) pixels (needs a non-empty image).
    void SetPixelShift(int dx, int dy);
    int GetPixelShiftX() const { return m_pixelShiftX; }
    int GetPixelShiftY() const { return m_pixelShiftY; }

    /// The power of two above v (2v when v already is one); v > 0.
    static unsigned int NextPowerOf2(unsigned int v);

    /// Binds a valid stream as the texture of `state` on `unit`.
    static void ApplyVideoTexture(osg::StateSet* state, CVideoStream* stream, bool textureRectangle, unsigned int unit);

    /// Commands waiting for the capture loop (for tests and diagnostics).
    size_t PendingCommands();

protected:
    ~CVideoStream() override;

    void run() override;
    /// True when the source applies the flips as it converts each frame, so
    /// the capture loop must not flip the image afterwards.
    virtual bool FlipsInProducer() const { return false; }
    void setCmd(ThreadCommand cmd);
    ThreadCommand getCmd();
    void lock() { m_mutex.lock(); }
    void unlock() { m_mutex.unlock(); }
    /// Starts the capture thread (once; a thread that has ended is joined
    /// before a new one starts).
    void StartCaptureThread();
    /// Queues stop and quit, waits until the capture thread has ended and
    /// joins it, so all it did is complete before the caller goes on.
    void StopThreadAndWait();

    bool m_valid = false;
    std::atomic<int> m_frameCounter{0};  // written by the capture thread, read by the engine's
    int m_frameInterval = 40;  // milliseconds

private:
    void init();

    OpenThreads::Mutex m_mutex;
    std::deque<ThreadCommand> m_commands;  // guarded by m_mutex
    bool m_threadToJoin = false;  // a capture thread was started and not joined yet
    osg::ref_ptr<osg::TexMat> m_texMat;
    bool m_textureRectangle = false;
    int m_pixelShiftX = 0, m_pixelShiftY = 0;   // stored negated
    float m_edgeOffsetX = 1.f, m_edgeOffsetY = 1.f;
    std::atomic<bool> m_flipX{false}, m_flipY{false};  // read by producer threads
    bool m_presentedByOwner = false;
};
