#pragma once
// A WAV file read back for measuring: OpenAL Soft's wave-file output (32-bit
// float or 16-bit PCM, plain or extensible header, one or two channels) or a
// file of our own. Levels are root-mean-square values, 1.0 = full scale.

#include <string>
#include <vector>

struct WaveRecording
{
    int rate = 0;
    int channels = 0;
    std::vector<float> left, right;  // one channel: both hold it

    /// False with the reason in `why` when the file is missing or not a WAV
    /// file this reader knows. A header whose data size was never filled in
    /// (a writer that was stopped) is read up to the end of the file.
    static bool Read(const std::string& path, WaveRecording& recording, std::string* why);

    double Seconds() const { return rate ? double(left.size()) / rate : 0.0; }
    /// Level of one channel (0 left, 1 right) over [from, from + seconds).
    double Level(int channel, double from, double seconds) const;
    /// Level of both channels together (their powers added) over the span.
    double Level(double from, double seconds) const;

    /// Amplitude of the sine of `hertz` in both channels' average over the
    /// span (a sine of amplitude a alone gives a).
    double ToneLevel(double hertz, double from, double seconds) const;

    /// A stretch of time in which the sound is on.
    struct Span
    {
        double from = 0, to = 0;
        double Seconds() const { return to - from; }
    };
    /// The stretches whose level over windows of `window` seconds is above
    /// `threshold`, with gaps shorter than `bridge` seconds bridged over.
    std::vector<Span> Sounding(double threshold, double window = 0.05, double bridge = 0.3) const;
};
