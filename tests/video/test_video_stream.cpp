// The stream base: texture sizes, the command queue, the capture loop and
// the texture matrix.
#include "CVideoStream.h"
#include "CVideoTex2DCallBack.h"

#include <gtest/gtest.h>

#include <OpenThreads/Thread>
#include <osg/Timer>

#include <atomic>
#include <cstring>

namespace
{
// A pulling source that counts its frames and writes the count into pixel 0.
class CountingStream : public CVideoStream
{
public:
    explicit CountingStream(int interval) : CVideoStream(false)
    {
        allocateImage(4, 2, 1, GL_BGRA, GL_UNSIGNED_BYTE);
        std::memset(data(), 0, getTotalSizeInBytes());
        m_frameInterval = interval;
        m_valid = true;
    }
    void UpdateStream() override
    {
        lock();
        ++updates;
        data()[0] = static_cast<unsigned char>(updates.load());
        dirty();
        unlock();
    }
    // Like every source, it stops its thread before its own part is gone.
    ~CountingStream() override { StopThreadAndWait(); }
    void Start() { StartCaptureThread(); }
    void Finish() { StopThreadAndWait(); }
    using CVideoStream::getCmd;
    using CVideoStream::setCmd;
    std::atomic<int> updates{0};
};

void sleepMs(int ms)
{
    OpenThreads::Thread::microSleep(static_cast<unsigned int>(ms) * 1000u);
}

TEST(VideoTexture, PowerOfTwoSizesAndCoveredFractions)
{
    struct Case
    {
        int s, t;
        unsigned int texW, texH;
        float ratioX, ratioY;
    };
    const Case cases[] = {
        {640, 480, 1024, 512, 0.625f, 0.9375f},
        {320, 240, 512, 256, 0.625f, 0.9375f},
        {1280, 720, 2048, 1024, 0.625f, 0.703125f},
        // Power-of-two sides cover the whole texture.
        {512, 256, 512, 256, 1.0f, 1.0f},
        {512, 100, 512, 128, 1.0f, 0.78125f},
    };
    for (const Case& c : cases)
    {
        osg::ref_ptr<osg::Image> image = new osg::Image;
        image->allocateImage(c.s, c.t, 1, GL_BGRA, GL_UNSIGNED_BYTE);
        osg::ref_ptr<osg::Texture2D> texture = new osg::Texture2D(image.get());
        osg::ref_ptr<CVideoTex2DCallBack> callback = new CVideoTex2DCallBack(texture.get());
        EXPECT_EQ(static_cast<unsigned>(texture->getTextureWidth()), c.texW) << c.s << "x" << c.t;
        EXPECT_EQ(static_cast<unsigned>(texture->getTextureHeight()), c.texH) << c.s << "x" << c.t;
        EXPECT_FLOAT_EQ(callback->GetRatioX(), c.ratioX) << c.s << "x" << c.t;
        EXPECT_FLOAT_EQ(callback->GetRatioY(), c.ratioY) << c.s << "x" << c.t;
    }
    EXPECT_EQ(CVideoStream::NextPowerOf2(1), 2u);
    EXPECT_EQ(CVideoStream::NextPowerOf2(640), 1024u);
    EXPECT_EQ(CVideoStream::NextPowerOf2(512), 1024u);
}

TEST(CommandQueue, KeepsEveryCommandInOrderAndCollapsesRepeats)
{
    osg::ref_ptr<CountingStream> stream = new CountingStream(40);
    const CVideoStream::ThreadCommand sent[] = {CVideoStream::CmdStart, CVideoStream::CmdStop,
                                                CVideoStream::CmdPlay,  CVideoStream::CmdStop,
                                                CVideoStream::CmdRewind, CVideoStream::CmdRewind,
                                                CVideoStream::CmdQuit};
    for (CVideoStream::ThreadCommand c : sent) stream->setCmd(c);
    std::vector<int> read;
    for (int c = stream->getCmd(); c != CVideoStream::CmdNone; c = stream->getCmd()) read.push_back(c);
    // Five and more unread commands are all kept; the repeated rewind is one.
    EXPECT_EQ(read, (std::vector<int>{1, 2, 3, 2, 4, 6}));
}

TEST(CommandQueue, AnUnreadQueueStaysBoundedAndNeverDropsQuit)
{
    osg::ref_ptr<CountingStream> stream = new CountingStream(40);
    stream->setCmd(CVideoStream::CmdQuit);
    for (int i = 0; i < 1000; ++i)
    {
        stream->setCmd(CVideoStream::CmdStart);
        stream->setCmd(CVideoStream::CmdStop);
    }
    EXPECT_LE(stream->PendingCommands(), 16u);
    bool sawQuit = false;
    CVideoStream::ThreadCommand last = CVideoStream::CmdNone;
    for (CVideoStream::ThreadCommand c = stream->getCmd(); c != CVideoStream::CmdNone; c = stream->getCmd())
    {
        sawQuit = sawQuit || c == CVideoStream::CmdQuit;
        last = c;
    }
    EXPECT_TRUE(sawQuit);
    EXPECT_EQ(last, CVideoStream::CmdStop);  // the newest state wins
}

TEST(CaptureLoop, IdlesUntilStartedThenPacesAtTheFrameInterval)
{
    osg::ref_ptr<CountingStream> stream = new CountingStream(40);
    stream->Start();
    sleepMs(150);
    EXPECT_EQ(stream->updates.load(), 0);  // idle until a start
    stream->StartStream();
    sleepMs(600);
    stream->stop();
    sleepMs(100);
    const int frames = stream->updates.load();
    // One frame at once, the second at 80 ms, then one per 40 ms: about 14 in
    // 600 ms; a loaded machine may lose a few.
    EXPECT_GE(frames, 8);
    EXPECT_LE(frames, 17);
    sleepMs(150);
    EXPECT_EQ(stream->updates.load(), frames);  // stopped: no more frames
}

TEST(CaptureLoop, RewindWhileStoppedResetsWithoutAFrame)
{
    osg::ref_ptr<CountingStream> stream = new CountingStream(10);
    stream->Start();
    stream->StartStream();
    sleepMs(100);
    stream->stop();
    sleepMs(100);
    const int frames = stream->updates.load();
    EXPECT_GT(stream->GetFrameCounter(), 0);
    stream->rewind();
    sleepMs(100);
    EXPECT_EQ(stream->GetFrameCounter(), 0);
    EXPECT_EQ(stream->updates.load(), frames);
}

TEST(CaptureLoop, DestroyingARunningStreamEndsItsThread)
{
    for (int round = 0; round < 2; ++round)
    {
        osg::ref_ptr<CountingStream> stream = new CountingStream(5);
        stream->Start();
        stream->StartStream();
        sleepMs(50);
        EXPECT_TRUE(stream->isRunning());
        stream = nullptr;  // the destructor waits for the thread; a hang fails by time-out
    }
}

TEST(CaptureLoop, FlipsApplyAfterEachFrame)
{
    osg::ref_ptr<CountingStream> stream = new CountingStream(5);
    stream->SetFlipX(true);
    stream->Start();
    stream->StartStream();
    sleepMs(60);
    stream->stop();
    stream->Finish();  // the thread's last flip is done before the picture is read
    // Each frame's count, written into the first pixel, was moved to the
    // row's end; the previous count came back to the front.
    const int n = stream->updates.load();
    ASSERT_GE(n, 2);
    const unsigned char* row = stream->data(0, 0);
    EXPECT_EQ(row[3 * 4], static_cast<unsigned char>(n));
    EXPECT_EQ(row[0], static_cast<unsigned char>(n - 1));
}

TEST(TextureMatrix, EdgeOffsetThenPixelShift)
{
    osg::ref_ptr<CountingStream> stream = new CountingStream(40);  // 4 x 2 pixels
    stream->SetEdgeOffSet(0.5f, 0.25f);
    EXPECT_EQ(stream->getTexMat()->getMatrix(), osg::Matrix::scale(0.5, 0.25, 0.0));
    stream->SetPixelShift(2, 1);
    EXPECT_EQ(stream->GetPixelShiftX(), -2);
    EXPECT_EQ(stream->GetPixelShiftY(), -1);
    const osg::Vec3 moved = osg::Vec3(1.f, 1.f, 0.f) * stream->getTexMat()->getMatrix();
    EXPECT_FLOAT_EQ(moved.x(), 0.5f - 0.5f);   // scaled, then shifted by -2/4
    EXPECT_FLOAT_EQ(moved.y(), 0.25f - 0.5f);  // scaled, then shifted by -1/2
    stream->SetEdgeOffSet(1.f, 1.f);           // drops the shift from the matrix
    EXPECT_EQ(stream->getTexMat()->getMatrix(), osg::Matrix::scale(1.0, 1.0, 0.0));
    EXPECT_EQ(stream->GetPixelShiftX(), -2);
}
}
