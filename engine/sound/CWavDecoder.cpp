#include "CWavDecoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace
{
const uint16_t kPcm = 1;
const uint16_t kFloat = 3;
const uint16_t kExtensible = 0xFFFE;

uint32_t u32(const std::string& b, size_t at)
{
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}

uint16_t u16(const std::string& b, size_t at)
{
    return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}

int16_t clipped(double value)
{
    const double scaled = std::lround(value * 32767.0);
    return int16_t(scaled > 32767.0 ? 32767 : scaled < -32768.0 ? -32768 : scaled);
}

// One sample at `at`, as a value in -1..1.
double sampleAt(const std::string& b, size_t at, uint16_t format, int bits)
{
    if (format == kFloat && bits == 32)
    {
        float v;
        std::memcpy(&v, b.data() + at, sizeof(v));
        return v;
    }
    if (format == kFloat)
    {
        double v;
        std::memcpy(&v, b.data() + at, sizeof(v));
        return v;
    }
    if (bits == 8) return (int(uint8_t(b[at])) - 128) / 128.0;
    if (bits == 16) return int16_t(u16(b, at)) / 32768.0;
    if (bits == 24) return int32_t(u32(b, at - 1) & 0xFFFFFF00u) / 2147483648.0;  // top three bytes of a 32-bit word
    return int32_t(u32(b, at)) / 2147483648.0;
}

bool knownLayout(uint16_t format, int bits)
{
    if (format == kFloat) return bits == 32 || bits == 64;
    return format == kPcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
}
}

bool CWavDecoder::Decode(const std::string& path, Sound& sound, std::string& why)
{
    std::ifstream in(path, std::ios::binary);
    const std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0)
    {
        why = "expected a RIFF WAVE file, found " + std::to_string(b.size()) + " bytes of something else";
        return false;
    }
    uint16_t format = 0;
    int bits = 0;
    size_t at = 12, data = 0, size = 0;
    while (at + 8 <= b.size() && !data)
    {
        const uint32_t chunk = u32(b, at + 4);
        if (b.compare(at, 4, "fmt ") == 0 && chunk >= 16 && at + 8 + chunk <= b.size())
        {
            format = u16(b, at + 8);
            sound.channels = u16(b, at + 10);
            sound.rate = int(u32(b, at + 12));
            bits = u16(b, at + 22);
            if (format == kExtensible && chunk >= 26) format = u16(b, at + 32);  // the sub-format's first two bytes
        }
        if (b.compare(at, 4, "data") == 0)
        {
            data = at + 8;
            size = std::min<size_t>(chunk, b.size() - data);
        }
        at += 8 + size_t(chunk) + (chunk & 1);
    }
    if (!data || !knownLayout(format, bits) || sound.channels < 1 || sound.channels > 2 || sound.rate <= 0)
    {
        why = "expected one or two channels of 8-, 16-, 24- or 32-bit integer or 32- or 64-bit float samples, found " +
              std::to_string(sound.channels) + " channels of " + std::to_string(bits) + "-bit samples in format " +
              std::to_string(format) + (data ? "" : " and no data");
        return false;
    }
    const size_t bytes = size_t(bits / 8);
    const size_t count = size / bytes;
    sound.samples.resize(count - count % size_t(sound.channels));
    for (size_t i = 0; i < sound.samples.size(); ++i)
        sound.samples[i] = clipped(sampleAt(b, data + i * bytes, format, bits));
    return true;
}
