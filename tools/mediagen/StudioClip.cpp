#include "StudioClip.h"

#include "MediaFileWriter.h"

#include <cmath>

namespace studio
{
namespace
{
const int kSampleRate = 22050;

struct Colour
{
    uint8_t r, g, b;
};

const Colour kGreen{kStudioGreen[0], kStudioGreen[1], kStudioGreen[2]};
const Colour kBall{250, 140, 30};
const Colour kInk{40, 20, 10};
const Colour kBand{30, 40, 110};
const Colour kBar{245, 245, 245};

void put(std::vector<uint8_t>& bgra, int width, int x, int y, Colour c)
{
    uint8_t* p = &bgra[(size_t(y) * size_t(width) + size_t(x)) * 4];
    p[0] = c.b, p[1] = c.g, p[2] = c.r, p[3] = 255;
}

// What lies at (x, y) of the ball centred at (cx, cy) with radius r, if anything.
bool ballAt(double x, double y, double cx, double cy, double r, Colour& out)
{
    const double dx = x - cx, dy = y - cy, d = std::sqrt(dx * dx + dy * dy);
    if (d > r) return false;
    out = kBall;
    const double eye = r * 0.14;
    for (double side : {-1.0, 1.0})
        if (std::hypot(dx - side * r * 0.35, dy + r * 0.25) < eye) out = kInk;
    // The smile: a band of the lower half of a circle.
    if (dy > 0 && std::fabs(std::hypot(dx, dy + r * 0.1) - r * 0.55) < r * 0.06) out = kInk;
    if (d > r - 3) out = kInk;  // the outline
    return true;
}
}

void PaintFrame(const ClipShape& shape, int index, std::vector<uint8_t>& bgra)
{
    const int w = shape.width, h = shape.height;
    bgra.assign(size_t(w) * size_t(h) * 4, 0);
    const double t = double(index) / shape.fps, progress = double(index + 1) / shape.frames;
    const int bandTop = h - h / 8;
    const double r = h * 0.17;
    // Across and back once per two seconds, bouncing on the band.
    const double phase = std::fmod(t, 4.0) / 4.0;
    const double cx = r + (w - 2 * r) * (phase < 0.5 ? phase * 2 : 2 - phase * 2);
    const double cy = bandTop - r - 4 - std::fabs(std::sin(t * M_PI)) * h * 0.35;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            Colour c = kGreen;
            if (y >= bandTop)
            {
                const bool bar = y > bandTop + h / 32 && y < h - h / 32 && x > w / 32 && x < w / 32 + progress * (w - w / 16);
                c = bar ? kBar : kBand;
            }
            else
                ballAt(x, y, cx, cy, r, c);
            put(bgra, w, x, y, c);
        }
}

std::string WriteClip(const std::string& path, const ClipShape& shape)
{
    vexa::media::MediaFileWriter writer;
    vexa::media::MediaFileWriter::Settings settings;
    settings.width = shape.width;
    settings.height = shape.height;
    settings.frameRateNum = shape.fps;
    settings.quality = 90;
    settings.audioSampleRate = shape.sound ? kSampleRate : 0;
    settings.audioChannels = shape.sound ? 1 : 0;
    if (!writer.open(path, settings)) return writer.lastError();
    std::vector<uint8_t> frame;
    std::vector<int16_t> samples(size_t(kSampleRate / shape.fps));
    for (int i = 0; i < shape.frames; ++i)
    {
        PaintFrame(shape, i, frame);
        if (!writer.writeVideoFrame(frame.data())) return writer.lastError();
        if (!shape.sound) continue;
        // Two notes a fifth apart, one per second, each fading.
        for (size_t s = 0; s < samples.size(); ++s)
        {
            const double at = double(i) / shape.fps + double(s) / kSampleRate;
            const double note = (int(at) % 2 == 0) ? 392.0 : 587.33, fade = std::exp(-3.0 * std::fmod(at, 1.0));
            samples[s] = int16_t(6000.0 * fade * std::sin(2 * M_PI * note * at));
        }
        if (!writer.writeAudio(samples.data(), int(samples.size()))) return writer.lastError();
    }
    return writer.close() ? "" : writer.lastError();
}
}
