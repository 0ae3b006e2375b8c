// The detection core on frames of any size and pixel format: the first bytes
// choose the frame and the detector's modes, the rest are its pixels
// (repeated to fill the frame, so a short seed still makes a whole picture).
// A pattern set with two patterns is attached, so identification runs too.
#include "FuzzInput.h"

#include "vxt/Detector.h"
#include "vxt/ImageView.h"
#include "vxt/PatternImage.h"
#include "vxt/PatternSet.h"
#include "vxt/PixelFormat.h"

#include <cstring>
#include <memory>
#include <vector>

namespace
{
const int kMaxSide = 1024;
const size_t kHeader = 8;

const vxt::PatternSet& patterns()
{
    static std::unique_ptr<vxt::PatternSet> set = []() {
        std::unique_ptr<vxt::PatternSet> made(new vxt::PatternSet);
        for (int p = 0; p < 2; ++p)
        {
            vxt::PatternImage image;
            for (int r = 0; r < vxt::PatternImage::kSize; ++r)
                for (int c = 0; c < vxt::PatternImage::kSize; ++c)
                    for (int ch = 0; ch < 3; ++ch)
                        image.at(r, c, ch) = static_cast<uint8_t>(((r / 4 + c / 4 + p * (r > c)) % 2) * 255);
            made->add(image);
        }
        return made;
    }();
    return *set;
}

int side(uint8_t high, uint8_t low)
{
    return 1 + ((high << 8) | low) % kMaxSide;
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < kHeader || size > fuzz::kMaxInput) return 0;
    const int width = side(data[0], data[1]);
    const int height = side(data[2], data[3]);
    const vxt::PixelFormat format = static_cast<vxt::PixelFormat>(1 + data[4] % 9);
    const int bytes = vxt::bytesPerPixel(format);
    if (bytes <= 0) return 0;
    const int stride = (width * bytes + 1) / 2 * 2 + (data[7] & 0x0c);  // packed or padded rows
    std::vector<uint8_t> frame(static_cast<size_t>(stride) * height);
    const uint8_t* pixels = data + kHeader;
    const size_t count = size - kHeader;
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = count ? pixels[i % count] : 0;

    vxt::Detector detector(width, height);
    detector.setThreshold(data[5]);
    detector.setAdaptiveThreshold(data[6] & 1);
    detector.setLabelingMode((data[6] >> 1) & 1);
    detector.setImageProcMode((data[6] >> 2) & 1);
    detector.setPatternDetectionMode((data[6] >> 3) % 3);
    detector.setPixelFormat(static_cast<int>(format));
    detector.attachPatternSet(&patterns());
    vxt::ImageView view;
    view.data = frame.data();
    view.width = width;
    view.height = height;
    view.stride = stride;
    view.format = format;
    if (detector.detect(view).ok()) detector.redetect();
    return 0;
}
