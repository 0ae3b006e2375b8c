#pragma once
// The sound of a MediaFileReader as an IPcmSource. Uses only the reader's audio side,
// so the video side may be read on another thread at the same time. Does not own
// the reader.
#include "IPcmSource.h"
#include "MediaFileReader.h"

namespace vexa {
namespace media {

class ReaderPcmSource : public IPcmSource {
public:
    explicit ReaderPcmSource(MediaFileReader& reader) : reader_(reader) {}
    int sampleRate() const override { return reader_.audioSampleRate(); }
    int channels() const override { return reader_.audioChannels(); }
    int readPcm(int16_t* interleaved, int maxFrames) override { return reader_.readAudio(interleaved, maxFrames); }
    bool rewindPcm() override { return reader_.rewindAudio(); }

private:
    MediaFileReader& reader_;
};

}  // namespace media
}  // namespace vexa
