#include "WavWriter.h"

#include "CAtomicFileWriter.h"

#include <cassert>
#include <cmath>
#include <cstdint>

namespace
{
void put16(std::string& bytes, uint32_t value)
{
    bytes += static_cast<char>(value & 0xff);
    bytes += static_cast<char>((value >> 8) & 0xff);
}

void put32(std::string& bytes, uint32_t value)
{
    put16(bytes, value & 0xffff);
    put16(bytes, value >> 16);
}

int16_t toPcm(float sample)
{
    const float clipped = sample > 1.f ? 1.f : sample < -1.f ? -1.f : sample;
    return static_cast<int16_t>(std::lround(clipped * 32767.f));
}
}

std::string WavWriter::Encode(const std::vector<float>& samples, int rate)
{
    assert(rate > 0 && "WavWriter::Encode: the rate must be positive");
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::string bytes;
    bytes.reserve(44 + dataBytes);
    bytes += "RIFF";
    put32(bytes, 36 + dataBytes);
    bytes += "WAVEfmt ";
    put32(bytes, 16);                              // format chunk size
    put16(bytes, 1);                               // PCM
    put16(bytes, 1);                               // one channel
    put32(bytes, static_cast<uint32_t>(rate));     // samples a second
    put32(bytes, static_cast<uint32_t>(rate) * 2); // bytes a second
    put16(bytes, 2);                               // bytes a sample frame
    put16(bytes, 16);                              // bits a sample
    bytes += "data";
    put32(bytes, dataBytes);
    for (float sample : samples) put16(bytes, static_cast<uint16_t>(toPcm(sample)));
    return bytes;
}

bool WavWriter::WriteMono16(const std::string& path, const std::vector<float>& samples, int rate, std::string* why)
{
    return CAtomicFileWriter::Write(path, Encode(samples, rate), why);
}
