// Camera frames arrive on another thread and are converted once, straight
// into the stream's back buffer: the camera's flips and de-interlacing and
// the stream's own flips turn them as configured, flips never touch the frame
// being shown, and the image only ever shows whole frames from the stream's
// own memory.
#include "CBufferedVideoStream.h"
#include "CDSOsgImageRender.h"
#include "CSampleGrabberCB.h"

#include "CameraFrame.h"
#include "FrameConverter.h"
#include "FrameTarget.h"
#include "FrameWriter.h"
#include "VideoDeviceTypes.h"

#include <gtest/gtest.h>

#include <OpenThreads/Thread>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace
{
class Sink : public CBufferedVideoStream
{
public:
    Sink() : CBufferedVideoStream(false) {}
};

const int kW = 4, kH = 6;  // pixels

// Each source pixel carries its column (blue) and its memory row (green).
std::vector<uint8_t> labelledFrame(int w, int h)
{
    std::vector<uint8_t> f(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            uint8_t* p = &f[(static_cast<size_t>(y) * w + x) * 4];
            p[0] = static_cast<uint8_t>(x);
            p[1] = static_cast<uint8_t>(y);
            p[2] = 7;
            p[3] = 255;
        }
    return f;
}

struct FlipCase
{
    bool v, h, deint;
    int outHeight;
    // Source column and memory row shown at output (x, y).
    int (*srcX)(int x, int y);
    int (*srcY)(int x, int y);
};

const FlipCase kCases[] = {
    {false, false, false, kH, [](int x, int) { return x; }, [](int, int y) { return y; }},
    {true, false, false, kH, [](int x, int) { return x; }, [](int, int y) { return kH - 1 - y; }},
    {false, true, false, kH, [](int x, int) { return kW - 1 - x; }, [](int, int y) { return y; }},
    // The defaults: upright (first row = top of the picture) and mirrored.
    {true, true, false, kH, [](int x, int) { return kW - 1 - x; }, [](int, int y) { return kH - 1 - y; }},
    {false, false, true, kH / 2, [](int x, int) { return x; }, [](int, int y) { return 2 * y; }},
    {true, false, true, kH / 2, [](int x, int) { return x; }, [](int, int y) { return 2 * (kH / 2 - 1 - y); }},
    // De-interlacing ignores the horizontal flip.
    {true, true, true, kH / 2, [](int x, int) { return x; }, [](int, int y) { return 2 * (kH / 2 - 1 - y); }},
};

void expectMapping(const osg::Image& image, const FlipCase& c)
{
    ASSERT_EQ(image.s(), kW);
    ASSERT_EQ(image.t(), c.outHeight);
    EXPECT_EQ(image.getPixelFormat(), static_cast<GLenum>(GL_BGRA));
    for (int y = 0; y < c.outHeight; ++y)
        for (int x = 0; x < kW; ++x)
        {
            const unsigned char* p = image.data(x, y);
            EXPECT_EQ(p[0], c.srcX(x, y)) << "v" << c.v << " h" << c.h << " d" << c.deint << " at " << x << "," << y;
            EXPECT_EQ(p[1], c.srcY(x, y)) << "v" << c.v << " h" << c.h << " d" << c.deint << " at " << x << "," << y;
        }
}

TEST(FrameDelivery, FlipsAndDeInterlacingTurnTheBottomUpFrameAsConfigured)
{
    const std::vector<uint8_t> frame = labelledFrame(kW, kH);
    for (const FlipCase& c : kCases)
    {
        osg::ref_ptr<Sink> sink = new Sink;
        CDSOsgImageRender renderer(sink.get(), c.h, c.v, c.deint);
        renderer.SetMediaType(kW, kH);
        ASSERT_TRUE(renderer.DoRenderSample(frame.data(), kW, kH, kW * 4));
        sink->UpdateStream();
        expectMapping(*sink, c);
    }
}

TEST(FrameDelivery, TheProcessWideGrabberConvertsLikeTheRenderer)
{
    const std::vector<uint8_t> frame = labelledFrame(kW, kH);
    CSampleGrabberCB& grabber = CSampleGrabberCB::Instance();
    for (const FlipCase& c : kCases)
    {
        osg::ref_ptr<Sink> sink = new Sink;
        grabber.Attach(sink.get(), kW, kH, c.deint, c.v, c.h);
        EXPECT_EQ(grabber.BufferCB(1.5, frame.data(), static_cast<long>(frame.size())), CSampleGrabberCB::Ok);
        EXPECT_DOUBLE_EQ(grabber.GetLastSampleTime(), 1.5);
        sink->UpdateStream();
        expectMapping(*sink, c);
        EXPECT_EQ(grabber.BufferCB(2.0, nullptr, 0), CSampleGrabberCB::NullPointer);
        EXPECT_EQ(grabber.BufferCB(2.0, frame.data(), 8), CSampleGrabberCB::WrongSize);
        grabber.Detach(sink.get());
        EXPECT_EQ(grabber.BufferCB(2.0, frame.data(), static_cast<long>(frame.size())), CSampleGrabberCB::NoTarget);
    }
}

// A YUYV camera frame whose grey level tells its columns (or rows) apart.
const int kCamW = 12, kCamH = 6;
uint8_t labelLuma(int label) { return static_cast<uint8_t>(20 + 12 * label); }
int shownLevel(int label) { return static_cast<int>(std::lround((labelLuma(label) - 16.0) * 255.0 / 219.0)); }

std::vector<uint8_t> labelledYuyv(bool columns)
{
    std::vector<uint8_t> f(static_cast<size_t>(kCamW) * kCamH * 2);
    for (int y = 0; y < kCamH; ++y)
        for (int x = 0; x < kCamW; ++x)
        {
            uint8_t* p = &f[(static_cast<size_t>(y) * kCamW + x) * 2];
            p[0] = labelLuma(columns ? x : y);
            p[1] = 128;
        }
    return f;
}

TEST(FrameDelivery, CameraFramesAreConvertedOnceIntoTheBackBufferTurnedByEverySetting)
{
    struct Case
    {
        bool v, h, deint;     // the camera's settings
        bool flipX, flipY;    // the stream's own flips
    };
    std::vector<Case> cases;
    for (int bits = 0; bits < 32; ++bits)
        cases.push_back({(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0, (bits & 16) != 0});
    vexa::media::FrameConverter converter;
    ASSERT_TRUE(converter.configure(vexa::media::fourcc('Y', 'U', 'Y', 'V'), kCamW, kCamH, 0));
    for (const Case& c : cases)
        for (const bool columns : {true, false})
        {
            SCOPED_TRACE(::testing::Message() << "v" << c.v << " h" << c.h << " d" << c.deint << " flipX" << c.flipX
                                              << " flipY" << c.flipY << (columns ? " columns" : " rows"));
            const std::vector<uint8_t> raw = labelledYuyv(columns);
            osg::ref_ptr<Sink> sink = new Sink;
            sink->SetFlipX(c.flipX);
            sink->SetFlipY(c.flipY);
            CDSOsgImageRender renderer(sink.get(), c.h, c.v, c.deint);
            renderer.SetMediaType(kCamW, kCamH);
            const vexa::media::CameraFrame frame(converter, raw.data(), raw.size());
            ASSERT_EQ(renderer.DoRenderFrame(frame), vexa::media::FrameResult::Ok);
            sink->UpdateStream();
            const int rows = c.deint ? kCamH / 2 : kCamH;
            ASSERT_EQ(sink->t(), rows);
            // De-interlacing keeps the odd rows and ignores the camera's horizontal flip.
            const bool mirrored = (c.h && !c.deint) != c.flipX;
            const bool bottomUp = !c.v != c.flipY;
            int wrong = 0;
            for (int i = 0; i < rows; ++i)
                for (int j = 0; j < kCamW; ++j)
                {
                    const int k = bottomUp ? rows - 1 - i : i;
                    const int label = columns ? (mirrored ? kCamW - 1 - j : j) : (c.deint ? 2 * k + 1 : k);
                    if (std::abs(sink->data(j, i)[1] - shownLevel(label)) > 3) ++wrong;
                }
            EXPECT_EQ(wrong, 0);
        }
}

// A stream whose producer writes one picture (each pixel: column in blue, row
// in green) through the back buffer's target, when asked to.
class PatternStream : public CBufferedVideoStream
{
public:
    PatternStream() : CBufferedVideoStream(false)
    {
        m_frameInterval = 2;
        AllocateFrames(kW, kH, GL_BGRA);
        m_valid = true;
    }
    void ProduceFrame() override
    {
        if (!produce) return;
        vexa::media::FrameWriter writer;
        writer.write(vexa::media::FrameWriter::bgra(picture.data(), kW, kH, kW * 4, false), BackTarget());
        PublishBack();
    }
    void ProduceNow() { ProduceFrame(); }
    ~PatternStream() override { StopThreadAndWait(); }
    void Start() { StartCaptureThread(); }
    std::atomic<bool> produce{true};
    std::vector<uint8_t> picture = topDownPicture();

private:
    static std::vector<uint8_t> topDownPicture()
    {
        std::vector<uint8_t> f(static_cast<size_t>(kW) * kH * 4);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
            {
                uint8_t* p = &f[(static_cast<size_t>(y) * kW + x) * 4];
                p[0] = static_cast<uint8_t>(x);
                p[1] = static_cast<uint8_t>(y);
                p[2] = 7;
                p[3] = 255;
            }
        return f;
    }
};

TEST(FrameDelivery, FlipsNeverTouchTheShownFrameAndTurnTheNextOne)
{
    osg::ref_ptr<PatternStream> stream = new PatternStream;
    stream->ProduceNow();
    ASSERT_TRUE(stream->PresentNewest());
    const unsigned char* shown = stream->data();
    const std::vector<uint8_t> before(shown, shown + stream->FrameBytes());
    EXPECT_EQ(before, stream->picture) << "upright: the first image row is the top";
    // The capture loop runs with no new frame while the flips change.
    stream->produce = false;
    stream->Start();
    stream->StartStream();
    stream->SetFlipX(true);
    stream->SetFlipY(true);
    int changed = 0;
    for (int i = 0; i < 50; ++i)
    {
        OpenThreads::Thread::microSleep(2000);
        changed += std::memcmp(stream->data(), before.data(), before.size()) != 0;
    }
    EXPECT_EQ(changed, 0) << "the shown frame was written";
    EXPECT_EQ(stream->data(), shown);
    // The next frame is converted turned.
    stream->produce = true;
    bool presented = false;
    for (int i = 0; i < 500 && !presented; ++i)
    {
        presented = stream->PresentNewest();
        if (!presented) OpenThreads::Thread::microSleep(1000);
    }
    ASSERT_TRUE(presented);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
        {
            EXPECT_EQ(stream->data(x, y)[0], kW - 1 - x);
            EXPECT_EQ(stream->data(x, y)[1], kH - 1 - y);
        }
    stream->stop();
}

TEST(FrameDelivery, AFrameShowsOnlyAtTheReadersUpdateAndFromTheStreamsOwnMemory)
{
    osg::ref_ptr<Sink> sink = new Sink;
    CDSOsgImageRender renderer(sink.get(), false, false, false);
    renderer.SetMediaType(kW, kH);
    EXPECT_EQ(sink->data()[0], 0) << "starts black";
    std::vector<uint8_t> frame(static_cast<size_t>(kW) * kH * 4, 200);
    ASSERT_TRUE(renderer.DoRenderSample(frame.data(), kW, kH, kW * 4));
    EXPECT_EQ(sink->data()[0], 0) << "a published frame waits for the reading thread";
    const unsigned int modified = sink->getModifiedCount();
    sink->UpdateStream();
    EXPECT_EQ(sink->data()[0], 200);
    EXPECT_GT(sink->getModifiedCount(), modified) << "the texture must upload it again";
    // The sample's memory can be reused at once: the image does not point at it.
    std::memset(frame.data(), 55, frame.size());
    EXPECT_NE(sink->data(), frame.data());
    EXPECT_EQ(sink->data()[0], 200);
    sink->UpdateStream();
    EXPECT_EQ(sink->data()[0], 200) << "no new frame, no change";
    // A frame of another size is dropped.
    EXPECT_FALSE(renderer.DoRenderSample(frame.data(), kW, kH - 2, kW * 4));
    EXPECT_EQ(sink->FramesPresented(), 1u);
}

TEST(FrameDelivery, TheReaderNeverSeesAHalfWrittenFrame)
{
    const int w = 320, h = 240;
    osg::ref_ptr<Sink> sink = new Sink;
    CDSOsgImageRender renderer(sink.get(), true, true, false);
    renderer.SetMediaType(w, h);
    std::atomic<bool> done{false};
    std::thread camera([&] {
        std::vector<uint8_t> frame(static_cast<size_t>(w) * h * 4);
        for (int k = 1; !done; ++k)
        {
            std::memset(frame.data(), k & 0xff, frame.size());
            renderer.DoRenderSample(frame.data(), w, h, w * 4);
        }
    });
    int torn = 0, shown = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (shown < 300 && std::chrono::steady_clock::now() < end)
    {
        if (!sink->PresentNewest()) continue;
        ++shown;
        const unsigned char* p = sink->data();
        for (size_t j = 0; j < static_cast<size_t>(w) * h * 4; j += 997)
            if (p[j] != p[0]) ++torn;
        std::this_thread::yield();
    }
    done = true;
    camera.join();
    EXPECT_GT(shown, 0);
    EXPECT_EQ(torn, 0);
}
}
