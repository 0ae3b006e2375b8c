#include "MediaFileWriter.h"

#include "FfmpegText.h"

#include <cassert>
#include <cstdio>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace vexa {
namespace media {

namespace {

std::string extensionOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string ext = path.substr(dot);
    for (char& c : ext) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return ext;
}

// "<dir>/<stem>.partial<ext>": same folder, so the final rename never crosses devices.
std::string temporarySibling(const std::string& path) {
    const std::string ext = extensionOf(path);
    return path.substr(0, path.size() - ext.size()) + ".partial" + ext;
}

}  // namespace

struct MediaFileWriter::Impl {
    Settings settings;
    std::string finalPath;
    std::string tempPath;
    std::string error;
    AVFormatContext* format = nullptr;
    AVCodecContext* video = nullptr;
    AVCodecContext* audio = nullptr;
    AVStream* videoStream = nullptr;
    AVStream* audioStream = nullptr;
    AVFrame* videoFrame = nullptr;
    AVFrame* audioFrame = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* scaler = nullptr;
    SwrContext* resampler = nullptr;
    AVAudioFifo* fifo = nullptr;
    std::vector<int16_t> audioChunk;  // one encoder frame of interleaved s16
    int audioFrameSize = 0;           // samples per channel per encoded audio frame
    int64_t videoPts = 0;        // the time of the next frame, in frames
    int64_t framesWritten = 0;
    int64_t audioPts = 0;
    bool headerWritten = false;
    std::string codecName;

    bool fail(const std::string& message) {
        error = message;
        return false;
    }

    bool openVideo(const std::string& ext);
    bool openAudio(const std::string& ext);
    bool encode(AVCodecContext* ctx, AVStream* stream, AVFrame* frame);
    bool encodeAudioChunks(bool flushAll);
    void release();
};

bool MediaFileWriter::Impl::openVideo(const std::string& ext) {
    const AVCodec* codec = nullptr;
    if (settings.preferH264 && ext != ".avi") codec = avcodec_find_encoder_by_name("libx264");
    if (!codec) codec = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
    if (!codec) return fail("no H.264 or MPEG-4 video encoder in this FFmpeg build");
    videoStream = avformat_new_stream(format, nullptr);
    video = avcodec_alloc_context3(codec);
    if (!videoStream || !video) return fail("out of memory creating the video encoder");
    video->width = settings.width;
    video->height = settings.height;
    video->time_base = AVRational{settings.frameRateDen, settings.frameRateNum};
    video->framerate = AVRational{settings.frameRateNum, settings.frameRateDen};
    video->pix_fmt = AV_PIX_FMT_YUV420P;
    video->gop_size = 12;
    video->thread_count = 1;
    const int q = settings.quality < 1 ? 1 : (settings.quality > 100 ? 100 : settings.quality);
    if (codec->id == AV_CODEC_ID_H264) {
        av_opt_set(video->priv_data, "preset", "veryfast", 0);
        av_opt_set_double(video->priv_data, "crf", 40.0 - (q - 1) * 28.0 / 99.0, 0);
    } else {
        video->flags |= AV_CODEC_FLAG_QSCALE;
        video->global_quality = static_cast<int>(FF_QP2LAMBDA * (31.0 - (q - 1) * 29.0 / 99.0));
        video->max_b_frames = 0;
    }
    if (format->oformat->flags & AVFMT_GLOBALHEADER) video->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    codecName = codec->name;
    int rc = avcodec_open2(video, codec, nullptr);
    if (rc < 0) return fail("cannot open video encoder " + std::string(codec->name) + ": " + ffmpegErrorText(rc));
    avcodec_parameters_from_context(videoStream->codecpar, video);
    videoStream->time_base = video->time_base;
    videoStream->avg_frame_rate = video->framerate;

    videoFrame = av_frame_alloc();
    if (!videoFrame) return fail("out of memory allocating a video frame");
    videoFrame->format = video->pix_fmt;
    videoFrame->width = video->width;
    videoFrame->height = video->height;
    if (av_frame_get_buffer(videoFrame, 0) < 0) return fail("out of memory allocating a video frame");
    const AVPixelFormat in = settings.layout == PixelLayout::BGRA ? AV_PIX_FMT_BGRA : AV_PIX_FMT_RGB24;
    scaler = sws_getContext(settings.width, settings.height, in, settings.width, settings.height,
                            AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!scaler) return fail("cannot create the colour converter");
    return true;
}

bool MediaFileWriter::Impl::openAudio(const std::string& ext) {
    const bool mp4 = ext == ".mp4" || ext == ".mov" || ext == ".m4v";
    const AVCodec* codec = avcodec_find_encoder(mp4 ? AV_CODEC_ID_AAC : AV_CODEC_ID_PCM_S16LE);
    if (!codec) return fail("no audio encoder for " + ext);
    audioStream = avformat_new_stream(format, nullptr);
    audio = avcodec_alloc_context3(codec);
    if (!audioStream || !audio) return fail("out of memory creating the audio encoder");
    audio->sample_rate = settings.audioSampleRate;
    av_channel_layout_default(&audio->ch_layout, settings.audioChannels);
    audio->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    audio->bit_rate = mp4 ? 64000 * settings.audioChannels : 0;
    audio->time_base = AVRational{1, settings.audioSampleRate};
    if (format->oformat->flags & AVFMT_GLOBALHEADER) audio->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    int rc = avcodec_open2(audio, codec, nullptr);
    if (rc < 0) return fail("cannot open audio encoder " + std::string(codec->name) + ": " + ffmpegErrorText(rc));
    avcodec_parameters_from_context(audioStream->codecpar, audio);
    audioStream->time_base = audio->time_base;

    audioFrameSize = audio->frame_size > 0 ? audio->frame_size : 1024;
    audioFrame = av_frame_alloc();
    if (!audioFrame) return fail("out of memory allocating an audio frame");
    audioFrame->format = audio->sample_fmt;
    audioFrame->nb_samples = audioFrameSize;
    av_channel_layout_copy(&audioFrame->ch_layout, &audio->ch_layout);
    audioFrame->sample_rate = audio->sample_rate;
    if (av_frame_get_buffer(audioFrame, 0) < 0) return fail("out of memory allocating an audio frame");

    rc = swr_alloc_set_opts2(&resampler, &audio->ch_layout, audio->sample_fmt, audio->sample_rate,
                             &audio->ch_layout, AV_SAMPLE_FMT_S16, audio->sample_rate, 0, nullptr);
    if (rc < 0 || swr_init(resampler) < 0) return fail("cannot create the audio sample converter");
    // Room for a second of sound; writing larger blocks at once grows it.
    fifo = av_audio_fifo_alloc(AV_SAMPLE_FMT_S16, settings.audioChannels, settings.audioSampleRate);
    if (!fifo) return fail("out of memory allocating the audio queue");
    audioChunk.resize(static_cast<size_t>(audioFrameSize) * settings.audioChannels);
    return true;
}

bool MediaFileWriter::Impl::encode(AVCodecContext* ctx, AVStream* stream, AVFrame* frame) {
    int rc = avcodec_send_frame(ctx, frame);
    if (rc < 0 && rc != AVERROR_EOF) return fail("encoder rejected a frame: " + ffmpegErrorText(rc));
    for (;;) {
        rc = avcodec_receive_packet(ctx, packet);
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
        if (rc < 0) return fail("encoding failed: " + ffmpegErrorText(rc));
        av_packet_rescale_ts(packet, ctx->time_base, stream->time_base);
        packet->stream_index = stream->index;
        rc = av_interleaved_write_frame(format, packet);  // takes the packet's data
        if (rc < 0) return fail("cannot write to '" + tempPath + "': " + ffmpegErrorText(rc));
    }
}

bool MediaFileWriter::Impl::encodeAudioChunks(bool flushAll) {
    while (av_audio_fifo_size(fifo) >= audioFrameSize || (flushAll && av_audio_fifo_size(fifo) > 0)) {
        void* chunk = audioChunk.data();
        const int n = av_audio_fifo_read(fifo, &chunk, audioFrameSize);
        if (av_frame_make_writable(audioFrame) < 0) return fail("out of memory in the audio encoder");
        const uint8_t* in = reinterpret_cast<const uint8_t*>(audioChunk.data());
        const int out = swr_convert(resampler, audioFrame->data, audioFrameSize, &in, n);
        if (out < 0) return fail("audio sample conversion failed");
        audioFrame->nb_samples = out;
        audioFrame->pts = audioPts;
        audioPts += out;
        if (!encode(audio, audioStream, audioFrame)) return false;
        audioFrame->nb_samples = audioFrameSize;
    }
    return true;
}

void MediaFileWriter::Impl::release() {
    if (format && !(format->oformat->flags & AVFMT_NOFILE) && format->pb) avio_closep(&format->pb);
    avformat_free_context(format);
    format = nullptr;
    avcodec_free_context(&video);
    avcodec_free_context(&audio);
    av_frame_free(&videoFrame);
    av_frame_free(&audioFrame);
    av_packet_free(&packet);
    sws_freeContext(scaler);
    scaler = nullptr;
    swr_free(&resampler);
    if (fifo) av_audio_fifo_free(fifo);
    fifo = nullptr;
    videoStream = audioStream = nullptr;
    headerWritten = false;
}

MediaFileWriter::MediaFileWriter() : impl_(new Impl) {}

MediaFileWriter::~MediaFileWriter() { abandon(); }

bool MediaFileWriter::hasH264Encoder() { return avcodec_find_encoder_by_name("libx264") != nullptr; }

bool MediaFileWriter::open(const std::string& path, const Settings& s) {
    assert(s.width > 0 && s.height > 0 && "MediaFileWriter::open: size must be positive");
    assert(s.frameRateNum > 0 && s.frameRateDen > 0 && "MediaFileWriter::open: frame rate must be positive");
    assert((s.audioSampleRate == 0 || (s.audioChannels == 1 || s.audioChannels == 2)) &&
           "MediaFileWriter::open: audio needs 1 or 2 channels");
    quietFfmpegLog();
    abandon();
    Impl& d = *impl_;
    d.settings = s;
    d.error.clear();
    d.videoPts = d.audioPts = 0;
    d.framesWritten = 0;
    d.finalPath = path;
    d.tempPath = temporarySibling(path);
    if ((s.width | s.height) & 1) return d.fail("frame size must be even, got " + std::to_string(s.width) + "x" + std::to_string(s.height));
    const std::string ext = extensionOf(path);
    const AVOutputFormat* of = av_guess_format(nullptr, path.c_str(), nullptr);
    if (!of || ext.empty()) return d.fail("unknown video container for '" + path + "' (use .mp4, .mkv or .avi)");
    if (avformat_alloc_output_context2(&d.format, of, nullptr, d.tempPath.c_str()) < 0 || !d.format)
        return d.fail("cannot create a container for '" + path + "'");
    d.packet = av_packet_alloc();
    if (!d.packet || !d.openVideo(ext)) { d.release(); return false; }
    if (s.audioSampleRate > 0 && !d.openAudio(ext)) { d.release(); return false; }
    int rc = avio_open(&d.format->pb, d.tempPath.c_str(), AVIO_FLAG_WRITE);
    if (rc < 0) { d.release(); return d.fail("cannot create '" + d.tempPath + "': " + ffmpegErrorText(rc)); }
    rc = avformat_write_header(d.format, nullptr);
    if (rc < 0) { abandon(); return d.fail("cannot write the header of '" + path + "': " + ffmpegErrorText(rc)); }
    d.headerWritten = true;
    return true;
}

bool MediaFileWriter::writeVideoFrame(const uint8_t* pixels, int strideBytes, int64_t pts) {
    Impl& d = *impl_;
    assert(pixels && "MediaFileWriter::writeVideoFrame: pixels must not be null");
    if (!d.headerWritten) return d.fail("writeVideoFrame: no file is open");
    if (pts >= 0 && pts < d.videoPts)
        return d.fail("writeVideoFrame: frame time " + std::to_string(pts) + " is not after the last one");
    const int bpp = d.settings.layout == PixelLayout::BGRA ? 4 : 3;
    const int stride = strideBytes != 0 ? strideBytes : d.settings.width * bpp;
    if (av_frame_make_writable(d.videoFrame) < 0) return d.fail("out of memory in the video encoder");
    // Bottom-up rows: start at the top row (the last one stored) and step back.
    const uint8_t* top = stride > 0 ? pixels : pixels + static_cast<ptrdiff_t>(-stride) * (d.settings.height - 1);
    const uint8_t* src[1] = {top};
    const int srcStride[1] = {stride};
    sws_scale(d.scaler, src, srcStride, 0, d.settings.height, d.videoFrame->data, d.videoFrame->linesize);
    d.videoFrame->pts = pts >= 0 ? pts : d.videoPts;
    d.videoPts = d.videoFrame->pts + 1;
    ++d.framesWritten;
    return d.encode(d.video, d.videoStream, d.videoFrame);
}

bool MediaFileWriter::writeAudio(const int16_t* samples, int frameCount) {
    Impl& d = *impl_;
    assert((samples || frameCount == 0) && "MediaFileWriter::writeAudio: samples must not be null");
    if (!d.headerWritten) return d.fail("writeAudio: no file is open");
    if (!d.audio) return d.fail("writeAudio: the file was opened without an audio track");
    void* in = const_cast<int16_t*>(samples);
    if (av_audio_fifo_write(d.fifo, &in, frameCount) < frameCount) return d.fail("out of memory queueing audio");
    return d.encodeAudioChunks(false);
}

bool MediaFileWriter::close() {
    Impl& d = *impl_;
    if (!d.headerWritten) return d.fail("close: no file is open");
    bool ok = true;
    if (d.audio) ok = d.encodeAudioChunks(true) && d.encode(d.audio, d.audioStream, nullptr);
    ok = ok && d.encode(d.video, d.videoStream, nullptr);
    if (ok) {
        const int rc = av_write_trailer(d.format);
        if (rc < 0) ok = d.fail("cannot finish '" + d.tempPath + "': " + ffmpegErrorText(rc));
    }
    d.release();  // closes the file
    if (ok && std::rename(d.tempPath.c_str(), d.finalPath.c_str()) != 0)
        ok = d.fail("cannot rename '" + d.tempPath + "' to '" + d.finalPath + "'");
    if (!ok) std::remove(d.tempPath.c_str());
    return ok;
}

void MediaFileWriter::abandon() {
    Impl& d = *impl_;
    const bool hadFile = d.format != nullptr && d.format->pb != nullptr;
    d.release();
    if (hadFile) std::remove(d.tempPath.c_str());
}

bool MediaFileWriter::isOpen() const { return impl_->headerWritten; }
const std::string& MediaFileWriter::lastError() const { return impl_->error; }
std::string MediaFileWriter::videoCodecName() const {
    return impl_->codecName;
}
int64_t MediaFileWriter::framesWritten() const { return impl_->framesWritten; }

}  // namespace media
}  // namespace vexa
