// Camera frames through the converter: the picture lands in the target turned
// as asked, in one call and in the target's memory only, and frames that
// cannot be used say why.
#include "FrameConverter.h"
#include "FakeCamera.h"
#include "VideoDeviceTypes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>


namespace vexa {
namespace media {
namespace {

const uint32_t kYuyv = fourcc('Y', 'U', 'Y', 'V');
const uint32_t kMjpg = fourcc('M', 'J', 'P', 'G');
const int kW = 64, kH = 48;

// The picture's top-left quarter is bright, the rest dark.
bool brightAt(int x, int y) { return x < kW / 2 && y < kH / 2; }

std::vector<uint8_t> yuyvQuarterFrame() {
    std::vector<uint8_t> f(static_cast<size_t>(kW) * kH * 2);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            uint8_t* p = &f[(static_cast<size_t>(y) * kW + x) * 2];
            p[0] = brightAt(x, y) ? 235 : 16;
            p[1] = 128;
        }
    return f;
}

std::vector<uint8_t> mjpegQuarterFrame() {
    return testing::mjpegFrame(kW, kH, brightAt);
}

struct Output {
    std::vector<uint8_t> memory;
    FrameTarget target;
    Output(FrameTarget::Layout layout, bool mirrored, bool bottomUp) {
        target.layout = layout;
        target.width = kW;
        target.height = kH;
        target.rowBytes = kW * target.bytesPerPixel();
        target.mirrored = mirrored;
        target.bottomUp = bottomUp;
        memory.assign(static_cast<size_t>(target.rowBytes) * kH, 0x55);
        target.pixels = memory.data();
    }
    int green(int storedX, int storedY) const {
        return memory[static_cast<size_t>(storedY) * target.rowBytes + storedX * target.bytesPerPixel() + 1];
    }
};

TEST(FrameConverter, TheBrightCornerLandsWhereEachTurnPutsIt) {
    struct Source {
        const char* name;
        uint32_t format;
        std::vector<uint8_t> frame;
    };
    const Source sources[] = {{"YUYV", kYuyv, yuyvQuarterFrame()}, {"MJPEG", kMjpg, mjpegQuarterFrame()}};
    struct Case {
        bool mirrored, bottomUp;
        int brightX, brightY;  // a stored pixel inside the bright quarter
        int darkX, darkY;      // and one in the opposite quarter
    };
    const Case cases[] = {
        {false, false, 4, 4, kW - 5, kH - 5},
        {true, false, kW - 5, 4, 4, kH - 5},
        {false, true, 4, kH - 5, kW - 5, 4},
        {true, true, kW - 5, kH - 5, 4, 4},
    };
    for (const Source& s : sources) {
        ASSERT_FALSE(s.frame.empty()) << s.name;
        FrameConverter conv;
        ASSERT_TRUE(conv.configure(s.format, kW, kH, 0)) << s.name;
        for (const FrameTarget::Layout layout : {FrameTarget::Layout::Bgra32, FrameTarget::Layout::Bgr24})
            for (const Case& c : cases) {
                SCOPED_TRACE(std::string(s.name) + (layout == FrameTarget::Layout::Bgr24 ? " BGR" : " BGRA") +
                             (c.mirrored ? " mirrored" : "") + (c.bottomUp ? " bottom-up" : ""));
                Output out(layout, c.mirrored, c.bottomUp);
                ASSERT_EQ(conv.convert(s.frame.data(), s.frame.size(), out.target), FrameResult::Ok);
                EXPECT_GT(out.green(c.brightX, c.brightY), 220);
                EXPECT_LT(out.green(c.darkX, c.darkY), 30);
                // Every stored pixel was written in this one call.
                int untouched = 0;
                for (size_t i = 0; i < out.memory.size(); i += static_cast<size_t>(out.target.bytesPerPixel()))
                    untouched += out.memory[i] == 0x55 && out.memory[i + 1] == 0x55 && out.memory[i + 2] == 0x55;
                EXPECT_EQ(untouched, 0);
            }
    }
}

TEST(FrameConverter, FramesThatCannotBeUsedSayWhyAndLeaveTheTargetAlone) {
    const std::vector<uint8_t> yuyv = yuyvQuarterFrame();
    const std::vector<uint8_t> jpeg = mjpegQuarterFrame();
    std::vector<uint8_t> scrambled = jpeg;
    for (size_t i = 20; i < scrambled.size() / 2; ++i) scrambled[i] = static_cast<uint8_t>(i * 7);  // end kept
    struct Case {
        const char* name;
        uint32_t format;  // 0: not configured
        std::vector<uint8_t> frame;
        bool noMemory;
        FrameResult result;
    };
    const Case cases[] = {
        {"not configured", 0, yuyv, false, FrameResult::NotConfigured},
        {"the receiver takes no frame", kYuyv, yuyv, true, FrameResult::Skipped},
        {"the receiver takes no MJPEG frame", kMjpg, jpeg, true, FrameResult::Skipped},
        {"short raw frame", kYuyv, std::vector<uint8_t>(yuyv.begin(), yuyv.begin() + yuyv.size() / 2), false,
         FrameResult::Truncated},
        {"JPEG without its end", kMjpg, std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + jpeg.size() / 2), false,
         FrameResult::Truncated},
        {"JPEG with destroyed tables", kMjpg, scrambled, false, FrameResult::Corrupt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FrameConverter conv;
        if (c.format) ASSERT_TRUE(conv.configure(c.format, kW, kH, 0));
        Output out(FrameTarget::Layout::Bgra32, false, false);
        FrameTarget target = out.target;
        if (c.noMemory) target.pixels = nullptr;
        EXPECT_EQ(conv.convert(c.frame.data(), c.frame.size(), target), c.result);
        EXPECT_EQ(out.memory, std::vector<uint8_t>(out.memory.size(), 0x55));
    }
    FrameConverter conv;
    EXPECT_FALSE(conv.configure(fourcc('H', '2', '6', '4'), kW, kH, 0));
    EXPECT_FALSE(FrameConverter::supports(fourcc('H', '2', '6', '4')));
}

}  // namespace
}  // namespace media
}  // namespace vexa
