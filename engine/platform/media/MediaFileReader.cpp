#include "MediaFileReader.h"

#include "FfmpegText.h"
#include "FrameWriter.h"

#include <cassert>
#include <cmath>
#include <cstring>
#include <sys/stat.h>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

namespace vexa {
namespace media {

namespace {

constexpr int kMaxBadPacketsInARow = 100;

// One demuxer + decoder pair for one stream of the file.
struct Track {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    int stream = -1;
    bool demuxEnded = false;
    bool decoderEnded = false;
    int badPackets = 0;

    void release() {
        avcodec_free_context(&codec);
        avformat_close_input(&format);
        av_packet_free(&packet);
        av_frame_free(&frame);
        stream = -1;
        demuxEnded = decoderEnded = false;
        badPackets = 0;
    }

    // 0 and a frame in 'frame', AVERROR_EOF at the end, another negative code on failure.
    int decodeNext(std::string& error) {
        for (;;) {
            int rc = avcodec_receive_frame(codec, frame);
            if (rc == 0) return 0;
            if (rc == AVERROR_EOF) { decoderEnded = true; return rc; }
            if (rc != AVERROR(EAGAIN)) { error = "decoding failed: " + ffmpegErrorText(rc); return rc; }
            if (demuxEnded) { avcodec_send_packet(codec, nullptr); continue; }
            rc = av_read_frame(format, packet);
            if (rc < 0) {  // end of file, or a truncated/unreadable tail: decode what we have
                demuxEnded = true;
                avcodec_send_packet(codec, nullptr);
                continue;
            }
            if (packet->stream_index != stream) { av_packet_unref(packet); continue; }
            rc = avcodec_send_packet(codec, packet);
            av_packet_unref(packet);
            if (rc < 0 && rc != AVERROR(EAGAIN)) {
                if (++badPackets > kMaxBadPacketsInARow) {
                    error = "too many damaged packets in a row (" + ffmpegErrorText(rc) + ")";
                    return rc;
                }
            } else {
                badPackets = 0;
            }
        }
    }

    bool seekToStart() {
        AVStream* s = format->streams[stream];
        const int64_t start = s->start_time != AV_NOPTS_VALUE ? s->start_time : 0;
        int rc = av_seek_frame(format, stream, start, AVSEEK_FLAG_BACKWARD);
        if (rc < 0) rc = av_seek_frame(format, -1, 0, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_BYTE);
        avcodec_flush_buffers(codec);
        demuxEnded = decoderEnded = false;
        badPackets = 0;
        return rc >= 0;
    }
};

bool fileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Opens path with one decoder for the best stream of the given type. Returns "" or a message.
std::string openTrack(const std::string& path, AVMediaType type, Track& t) {
    int rc = avformat_open_input(&t.format, path.c_str(), nullptr, nullptr);
    if (rc < 0)
        return "cannot open video file '" + path + "': " + ffmpegErrorText(rc) + " (not a video file, truncated or corrupt)";
    rc = avformat_find_stream_info(t.format, nullptr);
    if (rc < 0) return "cannot read the streams of '" + path + "': " + ffmpegErrorText(rc);
    const AVCodec* dec = nullptr;
    t.stream = av_find_best_stream(t.format, type, -1, -1, &dec, 0);
    if (t.stream < 0)
        return type == AVMEDIA_TYPE_VIDEO ? "'" + path + "' has no video stream" : "'" + path + "' has no audio stream";
    if (!dec) return "'" + path + "': no decoder for its " + std::string(av_get_media_type_string(type)) + " codec";
    t.codec = avcodec_alloc_context3(dec);
    t.packet = av_packet_alloc();
    t.frame = av_frame_alloc();
    if (!t.codec || !t.packet || !t.frame) return "out of memory opening '" + path + "'";
    avcodec_parameters_to_context(t.codec, t.format->streams[t.stream]->codecpar);
    t.codec->thread_count = 1;  // one core per stream; the engine runs other work beside it
    rc = avcodec_open2(t.codec, dec, nullptr);
    if (rc < 0) return "'" + path + "': cannot open the " + std::string(dec->name) + " decoder: " + ffmpegErrorText(rc);
    return "";
}

}  // namespace

struct MediaFileReader::Impl {
    std::string path;
    std::string error;
    Info info;
    Track video;
    Track audio;
    FrameWriter writer;
    SwrContext* resampler = nullptr;
    bool open = false;
    bool looping = false;
    bool firstFramePending = false;  // open() decoded frame 0 into video.frame
    int64_t delivered = 0;           // frames handed out since open/rewind (through loops)
    int64_t indexInFile = -1;
    int64_t decodedInFile = 0;       // frames decoded since the last wrap, incl. pending
    int outRate = 0;
    int outChannels = 0;
    std::vector<int16_t> pcm;        // converted audio not yet handed out
    size_t pcmRead = 0;              // samples (not frames) already handed out from pcm
    size_t pcmAvailable = 0;         // samples converted into pcm
    int64_t audioFrames = 0;
    bool audioEnded = false;

    bool endedEarly = false;         // the file held fewer frames than it announced

    bool fail(const std::string& m) { error = m; return false; }
    void fillInfo();
    void noteEarlyEnd();
    ReadResult decodeFrame();
    ReadResult convert(const FrameTarget& target);
    bool openAudio();
    bool refillAudio();
};

void MediaFileReader::Impl::fillInfo() {
    AVStream* s = video.format->streams[video.stream];
    info.width = video.codec->width;
    info.height = video.codec->height;
    AVRational r = s->avg_frame_rate.num > 0 ? s->avg_frame_rate : s->r_frame_rate;
    info.frameRate = r.num > 0 && r.den > 0 ? av_q2d(r) : 25.0;
    if (s->duration != AV_NOPTS_VALUE && s->duration > 0)
        info.durationSeconds = s->duration * av_q2d(s->time_base);
    else if (video.format->duration > 0)
        info.durationSeconds = static_cast<double>(video.format->duration) / AV_TIME_BASE;
    info.frameCount = s->nb_frames > 0 ? s->nb_frames : std::llround(info.durationSeconds * info.frameRate);
    if (info.durationSeconds <= 0.0 && info.frameCount > 0) info.durationSeconds = info.frameCount / info.frameRate;
    info.videoCodec = video.codec->codec->name;
}

// A file that stops well short of the frame count its header announced was cut off
// or damaged: say so once (the frames before the damage still play).
void MediaFileReader::Impl::noteEarlyEnd() {
    if (endedEarly || info.frameCount <= 0 || decodedInFile >= info.frameCount - 1) return;
    endedEarly = true;
    error = "'" + path + "' ended after " + std::to_string(decodedInFile) + " of " + std::to_string(info.frameCount) +
            " frames (truncated or damaged file)";
}

MediaFileReader::ReadResult MediaFileReader::Impl::decodeFrame() {
    if (firstFramePending) {
        firstFramePending = false;
        return ReadResult::Frame;
    }
    std::string why;
    int rc = video.decodeNext(why);
    if (rc == AVERROR_EOF && looping && decodedInFile > 0) {
        noteEarlyEnd();
        if (!video.seekToStart()) { error = "'" + path + "': cannot seek back to the first frame"; return ReadResult::Error; }
        decodedInFile = 0;
        rc = video.decodeNext(why);
    }
    if (rc == AVERROR_EOF) {
        noteEarlyEnd();
        return ReadResult::EndOfStream;
    }
    if (rc < 0) { error = "'" + path + "': " + why; return ReadResult::Error; }
    ++decodedInFile;
    return ReadResult::Frame;
}

MediaFileReader::ReadResult MediaFileReader::Impl::convert(const FrameTarget& target) {
    AVFrame* f = video.frame;
    FrameWriter::Picture picture;
    picture.format = f->format;
    for (int i = 0; i < 3; ++i) {
        picture.planes[i] = f->data[i];
        picture.strides[i] = f->linesize[i];
    }
    picture.width = f->width;
    picture.height = f->height;
    picture.fullRange = f->color_range == AVCOL_RANGE_JPEG;
    if (!writer.write(picture, target)) {
        error = "'" + path + "': cannot convert its pixel format to BGRA";
        return ReadResult::Error;
    }
    ++delivered;
    indexInFile = decodedInFile - 1;
    return ReadResult::Frame;
}

bool MediaFileReader::Impl::openAudio() {
    std::string message = openTrack(path, AVMEDIA_TYPE_AUDIO, audio);
    if (!message.empty()) { audio.release(); return false; }
    info.hasAudio = true;
    info.fileSampleRate = audio.codec->sample_rate;
    info.fileChannels = audio.codec->ch_layout.nb_channels;
    outRate = info.fileSampleRate;
    outChannels = info.fileChannels > 2 ? 2 : info.fileChannels;
    return true;
}

// Decodes audio frames until some converted samples are waiting; false at the end.
bool MediaFileReader::Impl::refillAudio() {
    while (!audioEnded) {
        std::string why;
        int rc = audio.decodeNext(why);
        if (rc == AVERROR_EOF && looping) {
            audio.seekToStart();
            rc = audio.decodeNext(why);
        }
        if (rc < 0) { audioEnded = true; return false; }
        AVFrame* f = audio.frame;
        if (!resampler) {
            AVChannelLayout outLayout;
            av_channel_layout_default(&outLayout, outChannels);
            if (swr_alloc_set_opts2(&resampler, &outLayout, AV_SAMPLE_FMT_S16, outRate, &f->ch_layout,
                                    static_cast<AVSampleFormat>(f->format), f->sample_rate, 0, nullptr) < 0 ||
                swr_init(resampler) < 0) {
                error = "'" + path + "': cannot convert its sound to 16-bit samples";
                audioEnded = true;
                return false;
            }
        }
        const int capacity = swr_get_out_samples(resampler, f->nb_samples);
        const size_t needed = static_cast<size_t>(capacity) * outChannels;
        if (pcm.size() < needed) pcm.resize(needed);  // grows during the first frames only
        uint8_t* out = reinterpret_cast<uint8_t*>(pcm.data());
        const int n = swr_convert(resampler, &out, capacity, const_cast<const uint8_t**>(f->extended_data), f->nb_samples);
        if (n > 0) {
            pcmRead = 0;
            pcmAvailable = static_cast<size_t>(n) * outChannels;
            return true;
        }
    }
    return false;
}

MediaFileReader::MediaFileReader() : impl_(new Impl) {}
MediaFileReader::~MediaFileReader() { close(); }

bool MediaFileReader::open(const std::string& path) {
    quietFfmpegLog();
    close();
    Impl& d = *impl_;
    d.path = path;
    d.error.clear();
    if (!fileExists(path)) return d.fail("cannot open video file '" + path + "': file not found");
    std::string message = openTrack(path, AVMEDIA_TYPE_VIDEO, d.video);
    if (!message.empty()) { close(); return d.fail(message); }
    d.fillInfo();
    if (d.info.width <= 0 || d.info.height <= 0) {
        close();
        return d.fail("'" + path + "': its video stream has no frame size (truncated or corrupt)");
    }
    if (d.decodeFrame() != ReadResult::Frame) {
        close();
        return d.fail("'" + path + "': no video frame could be decoded (truncated or corrupt file)");
    }
    d.firstFramePending = true;
    d.openAudio();
    d.open = true;
    return true;
}

void MediaFileReader::close() {
    Impl& d = *impl_;
    d.video.release();
    d.audio.release();
    swr_free(&d.resampler);
    d.info = Info();
    d.open = d.firstFramePending = d.audioEnded = d.endedEarly = false;
    d.delivered = d.decodedInFile = d.audioFrames = 0;
    d.indexInFile = -1;
    d.pcmRead = d.pcmAvailable = 0;
}

bool MediaFileReader::isOpen() const { return impl_->open; }
const MediaFileReader::Info& MediaFileReader::info() const { return impl_->info; }
const std::string& MediaFileReader::lastError() const { return impl_->error; }
const std::string& MediaFileReader::path() const { return impl_->path; }
void MediaFileReader::setLooping(bool loop) { impl_->looping = loop; }
bool MediaFileReader::looping() const { return impl_->looping; }
bool MediaFileReader::endedEarly() const { return impl_->endedEarly; }
int64_t MediaFileReader::framesDelivered() const { return impl_->delivered; }
int64_t MediaFileReader::currentFrameIndex() const { return impl_->indexInFile; }

namespace {
FrameTarget bgraTarget(uint8_t* bgra, int strideBytes, const MediaFileReader::Info& info, bool bottomUp) {
    FrameTarget t;
    t.pixels = bgra;
    t.rowBytes = strideBytes;
    t.width = info.width;
    t.height = info.height;
    t.bottomUp = bottomUp;
    return t;
}
}  // namespace

MediaFileReader::ReadResult MediaFileReader::readNextFrame(const FrameTarget& target) {
    Impl& d = *impl_;
    assert(target.pixels && "MediaFileReader::readNextFrame: the target needs memory");
    if (!d.open) { d.error = "readNextFrame: no file is open"; return ReadResult::Error; }
    const ReadResult r = d.decodeFrame();
    return r == ReadResult::Frame ? d.convert(target) : r;
}

MediaFileReader::ReadResult MediaFileReader::readNextFrame(uint8_t* bgra, int strideBytes, bool bottomUp) {
    assert(bgra && "MediaFileReader::readNextFrame: buffer must not be null");
    assert(strideBytes >= impl_->info.width * 4 && "MediaFileReader::readNextFrame: stride smaller than a row");
    return readNextFrame(bgraTarget(bgra, strideBytes, impl_->info, bottomUp));
}

int64_t MediaFileReader::frameDueAt(double seconds) const {
    const Info& i = impl_->info;
    if (seconds <= 0.0 || i.frameRate <= 0.0) return 0;
    const int64_t n = static_cast<int64_t>(std::floor(seconds * i.frameRate + 1e-6));
    if (i.frameCount <= 0) return n;
    return impl_->looping ? n % i.frameCount : std::min<int64_t>(n, i.frameCount - 1);
}

MediaFileReader::ReadResult MediaFileReader::readFrameDueAt(double seconds, const FrameTarget& target) {
    Impl& d = *impl_;
    assert(target.pixels && "MediaFileReader::readFrameDueAt: the target needs memory");
    if (!d.open) { d.error = "readFrameDueAt: no file is open"; return ReadResult::Error; }
    const int64_t wanted = seconds <= 0.0 ? 0 : static_cast<int64_t>(std::floor(seconds * d.info.frameRate + 1e-6));
    if (wanted < d.delivered) return ReadResult::NoNewFrame;
    // After a long stall a looping file need not be decoded round after round:
    // whole rounds are counted as passed (position in the file is unchanged by them).
    const int64_t count = d.info.frameCount;
    if (d.looping && count > 0 && wanted - d.delivered > count) {
        int64_t skip = (wanted - d.delivered) / count * count;
        if (skip == wanted - d.delivered) skip -= count;
        d.delivered += skip;
    }
    // Decode and drop the frames whose time has passed; convert only the one due.
    while (d.delivered < wanted) {
        const ReadResult r = d.decodeFrame();
        if (r != ReadResult::Frame) return r;
        ++d.delivered;
    }
    const ReadResult r = d.decodeFrame();
    return r == ReadResult::Frame ? d.convert(target) : r;
}

MediaFileReader::ReadResult MediaFileReader::readFrameDueAt(double seconds, uint8_t* bgra, int strideBytes,
                                                            bool bottomUp) {
    assert(bgra && "MediaFileReader::readFrameDueAt: buffer must not be null");
    return readFrameDueAt(seconds, bgraTarget(bgra, strideBytes, impl_->info, bottomUp));
}

bool MediaFileReader::rewind() {
    Impl& d = *impl_;
    if (!d.open) return d.fail("rewind: no file is open");
    d.firstFramePending = false;
    d.delivered = 0;
    d.decodedInFile = 0;
    d.indexInFile = -1;
    const bool ok = d.video.seekToStart();
    rewindAudio();
    if (!ok) d.error = "'" + d.path + "': cannot seek back to the first frame";
    return ok;
}

bool MediaFileReader::rewindAudio() {
    Impl& d = *impl_;
    if (!d.open || !d.audio.codec) return false;
    const bool ok = d.audio.seekToStart();
    d.audioEnded = false;
    d.pcmRead = d.pcmAvailable = 0;
    d.audioFrames = 0;
    if (d.resampler) swr_init(d.resampler);  // drop buffered samples
    return ok;
}

void MediaFileReader::setAudioOutput(int sampleRate, int channels) {
    assert(sampleRate > 0 && (channels == 1 || channels == 2) && "MediaFileReader::setAudioOutput: bad format");
    Impl& d = *impl_;
    d.outRate = sampleRate;
    d.outChannels = channels;
    swr_free(&d.resampler);
    d.pcmRead = d.pcmAvailable = 0;
}

int MediaFileReader::audioSampleRate() const { return impl_->outRate; }
int MediaFileReader::audioChannels() const { return impl_->outChannels; }
int64_t MediaFileReader::audioFramesRead() const { return impl_->audioFrames; }

int MediaFileReader::readAudio(int16_t* interleaved, int maxFrames) {
    Impl& d = *impl_;
    assert((interleaved || maxFrames == 0) && "MediaFileReader::readAudio: buffer must not be null");
    if (!d.open || !d.audio.codec) return 0;
    int done = 0;
    while (done < maxFrames) {
        if (d.pcmRead >= d.pcmAvailable && !d.refillAudio()) break;
        const size_t frames = std::min<size_t>((d.pcmAvailable - d.pcmRead) / d.outChannels,
                                               static_cast<size_t>(maxFrames - done));
        std::memcpy(interleaved + static_cast<size_t>(done) * d.outChannels, d.pcm.data() + d.pcmRead,
                    frames * d.outChannels * sizeof(int16_t));
        d.pcmRead += frames * d.outChannels;
        done += static_cast<int>(frames);
    }
    d.audioFrames += done;
    return done;
}

}  // namespace media
}  // namespace vexa
