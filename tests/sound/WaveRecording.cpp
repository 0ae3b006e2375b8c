#include "WaveRecording.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace
{
uint32_t read32(const std::string& b, size_t at)
{
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}

uint16_t read16(const std::string& b, size_t at)
{
    return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}

bool fail(std::string* why, const std::string& text)
{
    if (why) *why = text;
    return false;
}

float sampleAt(const std::string& bytes, size_t at, bool isFloat, int bits)
{
    if (isFloat)
    {
        float value;
        std::memcpy(&value, bytes.data() + at, sizeof(value));
        return value;
    }
    if (bits == 16) return int16_t(read16(bytes, at)) / 32768.f;
    return int32_t(read32(bytes, at)) / 2147483648.f;
}
}

bool WaveRecording::Read(const std::string& path, WaveRecording& out, std::string* why)
{
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        return fail(why, path + ": expected a RIFF WAVE file, found " + std::to_string(bytes.size()) + " bytes");
    int format = 0, bits = 0;
    size_t at = 12, data = 0, dataSize = 0;
    while (at + 8 <= bytes.size())
    {
        const std::string id = bytes.substr(at, 4);
        const uint32_t size = read32(bytes, at + 4);
        if (id == "fmt ")
        {
            format = read16(bytes, at + 8);
            out.channels = read16(bytes, at + 10);
            out.rate = int(read32(bytes, at + 12));
            bits = read16(bytes, at + 22);
            if (format == 0xFFFE) format = read16(bytes, at + 32);  // the extensible header's sub-format
        }
        if (id == "data")
        {
            data = at + 8;
            dataSize = size == 0 || data + size > bytes.size() ? bytes.size() - data : size;
            break;
        }
        at += 8 + size + (size & 1);
    }
    const bool isFloat = format == 3 && bits == 32;
    if (!data || out.channels < 1 || out.channels > 2 || !(isFloat || (format == 1 && (bits == 16 || bits == 32))))
        return fail(why, path + ": expected 16-bit or float samples in one or two channels, found format " +
                             std::to_string(format) + ", " + std::to_string(bits) + " bits, " +
                             std::to_string(out.channels) + " channels");
    const size_t frameBytes = size_t(bits / 8 * out.channels);
    const size_t frames = dataSize / frameBytes;
    out.left.resize(frames);
    out.right.resize(frames);
    for (size_t i = 0; i < frames; ++i)
    {
        const size_t frame = data + i * frameBytes;
        out.left[i] = sampleAt(bytes, frame, isFloat, bits);
        out.right[i] = out.channels == 2 ? sampleAt(bytes, frame + bits / 8, isFloat, bits) : out.left[i];
    }
    return true;
}

double WaveRecording::Level(int channel, double from, double seconds) const
{
    const std::vector<float>& samples = channel == 0 ? left : right;
    const size_t begin = size_t(std::max(0.0, from * rate));
    const size_t end = std::min(samples.size(), size_t(std::max(0.0, (from + seconds) * rate)));
    if (end <= begin) return 0.0;
    double sum = 0.0;
    for (size_t i = begin; i < end; ++i) sum += double(samples[i]) * samples[i];
    return std::sqrt(sum / double(end - begin));
}

double WaveRecording::Level(double from, double seconds) const
{
    const double l = Level(0, from, seconds), r = Level(1, from, seconds);
    return std::sqrt(l * l + r * r);
}

double WaveRecording::ToneLevel(double hertz, double from, double seconds) const
{
    const size_t begin = size_t(std::max(0.0, from * rate));
    const size_t end = std::min(left.size(), size_t(std::max(0.0, (from + seconds) * rate)));
    if (end <= begin) return 0.0;
    // The signal's projection on a sine and a cosine of that frequency.
    const double step = 2.0 * 3.141592653589793 * hertz / rate;
    double re = 0.0, im = 0.0;
    for (size_t i = begin; i < end; ++i)
    {
        const double v = 0.5 * (double(left[i]) + right[i]);
        re += v * std::cos(step * double(i));
        im += v * std::sin(step * double(i));
    }
    return 2.0 * std::sqrt(re * re + im * im) / double(end - begin);
}

std::vector<WaveRecording::Span> WaveRecording::Sounding(double threshold, double window, double bridge) const
{
    std::vector<Span> spans;
    for (double t = 0.0; t + window <= Seconds(); t += window)
    {
        if (Level(t, window) <= threshold) continue;
        if (!spans.empty() && t - spans.back().to < bridge + 1e-9)
            spans.back().to = t + window;
        else
            spans.push_back({t, t + window});
    }
    return spans;
}
