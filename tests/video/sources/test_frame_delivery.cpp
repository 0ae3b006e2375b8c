// Camera frames arrive bottom-up on another thread: the flips and
// de-interlacing turn them as configured, and the image only ever shows
// whole frames from the stream's own memory.
#include "CBufferedVideoStream.h"
#include "CDSOsgImageRender.h"
#include "CSampleGrabberCB.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
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
