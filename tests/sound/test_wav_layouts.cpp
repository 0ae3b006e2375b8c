// WAV files in every layout a content set may bring: ALUT's own (8- and
// 16-bit PCM) and those the decoder reads for it (wider and float samples,
// the extensible header), down to the 16-bit samples OpenAL is given.
#include "SoundFolder.h"

#include "CWavDecoder.h"

#include <AL/al.h>

#include <cstring>

namespace
{
// Samples of a test sound: silence, half up, full down, a quarter up.
const double kValues[] = {0.0, 0.5, -1.0, 0.25};

void put(std::string& b, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) b += char((value >> (8 * i)) & 0xff);
}

// A WAV file's bytes: `channels` copies of each value in the given layout.
std::string wavBytes(int format, int channels, int bits, bool extensible)
{
    std::string data;
    for (double v : kValues)
        for (int c = 0; c < channels; ++c)
        {
            if (format == 3 && bits == 32)
            {
                float f = float(v);
                uint32_t u;
                std::memcpy(&u, &f, 4);
                put(data, u, 4);
            }
            else if (format == 3)
            {
                uint64_t u;
                std::memcpy(&u, &v, 8);
                put(data, u, 8);
            }
            else if (bits == 8)
                put(data, uint64_t(std::lround(v * 127 + 128)), 1);
            else
                put(data, uint64_t(int64_t(std::llround(std::max(-1.0, std::min(v, 0.9999999)) * std::ldexp(1.0, bits - 1)))),
                    bits / 8);
        }
    std::string fmt;
    put(fmt, extensible ? 0xFFFE : format, 2);
    put(fmt, channels, 2);
    put(fmt, 8000, 4);
    put(fmt, 8000 * channels * bits / 8, 4);
    put(fmt, channels * bits / 8, 2);
    put(fmt, bits, 2);
    if (extensible)
    {
        put(fmt, 22, 2);
        put(fmt, bits, 2);
        put(fmt, channels == 1 ? 4 : 3, 4);
        put(fmt, format, 2);
        fmt += std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xaa\x00\x38\x9b\x71", 14);
    }
    std::string body = "WAVEfmt ";
    put(body, fmt.size(), 4);
    body += fmt + "data";
    put(body, data.size(), 4);
    body += data;
    std::string file = "RIFF";
    put(file, body.size(), 4);
    return file + body;
}

struct Layout
{
    const char* name;
    int format, channels, bits;
    bool extensible;
    bool loads;
};

const Layout kLayouts[] = {
    {"8-bit PCM", 1, 1, 8, false, true},           {"16-bit PCM stereo", 1, 2, 16, false, true},
    {"24-bit PCM", 1, 1, 24, false, true},         {"32-bit PCM stereo", 1, 2, 32, false, true},
    {"32-bit float", 3, 1, 32, false, true},       {"64-bit float stereo", 3, 2, 64, false, true},
    {"extensible 16-bit PCM", 1, 1, 16, true, true}, {"extensible 32-bit float", 3, 2, 32, true, true},
    {"three channels", 1, 3, 16, false, false},    {"12-bit PCM", 1, 1, 12, false, false},
};

class WavLayouts : public SoundFolder
{
};

TEST_F(WavLayouts, EveryCommonLayoutPlaysAndOthersAreRefusedWithTheirReason)
{
    StartAsTheEngineDoes();
    for (const Layout& layout : kLayouts)
    {
        SCOPED_TRACE(layout.name);
        const std::string file = std::string("sounds/") + layout.name + ".wav";
        TestFolder::WriteFile(Path(file), wavBytes(layout.format, layout.channels, layout.bits, layout.extensible));
        const int i = manager.AddSoundSource(file.c_str());
        const CSoundSource& source = *manager.GetSource(i);
        EXPECT_EQ(source.IsLoaded(), layout.loads) << source.GetLoadError();
        if (!layout.loads)
        {
            const std::vector<std::string> lines = LogLines("CSoundManager: AddSoundSource: could not load the sound " + file);
            EXPECT_EQ(lines.size(), 1u);
            continue;
        }
        EXPECT_EQ(source.GetFrequency(), 8000);
        const bool eightBit = layout.bits == 8;
        EXPECT_EQ(source.GetFormat(), layout.channels == 2 ? (eightBit ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16)
                                                           : (eightBit ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16));
        EXPECT_EQ(source.GetSize(), 4 * layout.channels * (eightBit ? 1 : 2));
    }
}

TEST_F(WavLayouts, TheDecoderGivesTheSameSamplesForEveryLayoutItReads)
{
    const int16_t expected[] = {0, 16384, -32767, 8192};
    for (const Layout& layout : kLayouts)
    {
        if (!layout.loads || (layout.bits <= 16 && !layout.extensible)) continue;
        SCOPED_TRACE(layout.name);
        TestFolder::WriteFile(Path("x.wav"), wavBytes(layout.format, layout.channels, layout.bits, layout.extensible));
        CWavDecoder::Sound sound;
        std::string why;
        ASSERT_TRUE(CWavDecoder::Decode(Path("x.wav"), sound, why)) << why;
        EXPECT_EQ(sound.channels, layout.channels);
        EXPECT_EQ(sound.rate, 8000);
        ASSERT_EQ(sound.samples.size(), 4u * layout.channels);
        for (size_t i = 0; i < sound.samples.size(); ++i)
            EXPECT_NEAR(sound.samples[i], expected[i / layout.channels], 1) << i;
    }
    struct Refused
    {
        const char* bytes;
        const char* why;
    } refused[] = {
        {"not a sound", "expected a RIFF WAVE file, found 11 bytes of something else"},
    };
    for (const Refused& r : refused)
    {
        TestFolder::WriteFile(Path("bad.wav"), r.bytes);
        CWavDecoder::Sound sound;
        std::string why;
        EXPECT_FALSE(CWavDecoder::Decode(Path("bad.wav"), sound, why));
        EXPECT_EQ(why, r.why);
    }
    TestFolder::WriteFile(Path("three.wav"), wavBytes(1, 3, 16, false));
    CWavDecoder::Sound sound;
    std::string why;
    EXPECT_FALSE(CWavDecoder::Decode(Path("three.wav"), sound, why));
    EXPECT_EQ(why, "expected one or two channels of 8-, 16-, 24- or 32-bit integer or 32- or 64-bit float samples, "
                   "found 3 channels of 16-bit samples in format 1");
}
}
