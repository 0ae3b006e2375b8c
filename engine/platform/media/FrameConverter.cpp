#include "FrameConverter.h"

#include "FfmpegText.h"
#include "VideoDeviceTypes.h"

#include <cstring>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/imgutils.h>
}

namespace vexa {
namespace media {

namespace {

const uint32_t kMjpg = fourcc('M', 'J', 'P', 'G');
const uint32_t kJpeg = fourcc('J', 'P', 'E', 'G');

AVPixelFormat rawFormat(uint32_t f) {
    if (f == fourcc('Y', 'U', 'Y', 'V')) return AV_PIX_FMT_YUYV422;
    if (f == fourcc('U', 'Y', 'V', 'Y')) return AV_PIX_FMT_UYVY422;
    if (f == fourcc('R', 'G', 'B', '3')) return AV_PIX_FMT_RGB24;
    if (f == fourcc('B', 'G', 'R', '3')) return AV_PIX_FMT_BGR24;
    if (f == fourcc('B', 'G', 'R', '4')) return AV_PIX_FMT_BGR0;  // bytes B, G, R, x
    if (f == fourcc('R', 'G', 'B', '4')) return AV_PIX_FMT_0RGB;  // bytes x, R, G, B
    if (f == fourcc('G', 'R', 'E', 'Y')) return AV_PIX_FMT_GRAY8;
    return AV_PIX_FMT_NONE;
}

// A whole JPEG starts with SOI (FF D8) and ends with EOI (FF D9), possibly followed
// by zero padding from the driver.
bool looksComplete(const uint8_t* d, size_t n) {
    if (n < 4 || d[0] != 0xFF || d[1] != 0xD8) return false;
    while (n > 2 && d[n - 1] == 0) --n;
    return d[n - 2] == 0xFF && d[n - 1] == 0xD9;
}

}  // namespace

struct FrameConverter::Codec {
    AVCodecContext* decoder = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    std::vector<uint8_t> padded;  // JPEG data with FFmpeg's required zero padding

    ~Codec() {
        avcodec_free_context(&decoder);
        av_frame_free(&frame);
        av_packet_free(&packet);
    }
};

FrameConverter::FrameConverter() : codec_(new Codec) {}
FrameConverter::~FrameConverter() = default;

bool FrameConverter::supports(uint32_t f) {
    return f == kMjpg || f == kJpeg || rawFormat(f) != AV_PIX_FMT_NONE;
}

bool FrameConverter::configure(uint32_t pixelFormat, int width, int height, int bytesPerLine) {
    quietFfmpegLog();
    configured_ = false;
    if (!supports(pixelFormat) || width <= 0 || height <= 0) return false;
    codec_.reset(new Codec);
    pixelFormat_ = pixelFormat;
    width_ = width;
    height_ = height;
    if (pixelFormat == kMjpg || pixelFormat == kJpeg) {
        const AVCodec* dec = avcodec_find_decoder(AV_CODEC_ID_MJPEG);
        codec_->decoder = dec ? avcodec_alloc_context3(dec) : nullptr;
        codec_->frame = av_frame_alloc();
        codec_->packet = av_packet_alloc();
        if (!codec_->decoder || !codec_->frame || !codec_->packet) return false;
        codec_->decoder->err_recognition = AV_EF_EXPLODE;
        codec_->decoder->thread_count = 1;
        if (avcodec_open2(codec_->decoder, dec, nullptr) < 0) return false;
        srcFormat_ = -1;
        bytesPerLine_ = 0;
        configured_ = true;
        return true;
    }
    const AVPixelFormat src = rawFormat(pixelFormat);
    srcFormat_ = src;
    const int packed = av_image_get_linesize(src, width, 0);
    bytesPerLine_ = bytesPerLine >= packed ? bytesPerLine : packed;
    configured_ = FrameWriter::writesDirectly(src);
    return configured_;
}

FrameConverter::Result FrameConverter::convert(const uint8_t* data, size_t bytesUsed, const FrameTarget& target) {
    if (!configured_) return Result::NotConfigured;
    if (!target.pixels) return Result::Skipped;
    if (srcFormat_ < 0) return convertMjpeg(data, bytesUsed, target);
    if (bytesUsed < static_cast<size_t>(bytesPerLine_) * static_cast<size_t>(height_ - 1) +
                        static_cast<size_t>(av_image_get_linesize(static_cast<AVPixelFormat>(srcFormat_), width_, 0)))
        return Result::Truncated;
    FrameWriter::Picture picture;
    picture.format = srcFormat_;
    picture.planes[0] = data;
    picture.strides[0] = bytesPerLine_;
    picture.width = width_;
    picture.height = height_;
    return writer_.write(picture, target) ? Result::Ok : Result::Corrupt;
}

FrameConverter::Result FrameConverter::convertMjpeg(const uint8_t* data, size_t bytesUsed, const FrameTarget& target) {
    if (!looksComplete(data, bytesUsed)) return Result::Truncated;
    Codec& c = *codec_;
    if (c.padded.size() < bytesUsed + AV_INPUT_BUFFER_PADDING_SIZE)
        c.padded.resize(bytesUsed + AV_INPUT_BUFFER_PADDING_SIZE);
    std::memcpy(c.padded.data(), data, bytesUsed);
    std::memset(c.padded.data() + bytesUsed, 0, AV_INPUT_BUFFER_PADDING_SIZE);
    c.packet->data = c.padded.data();
    c.packet->size = static_cast<int>(bytesUsed);
    int rc = avcodec_send_packet(c.decoder, c.packet);
    c.packet->data = nullptr;
    c.packet->size = 0;
    if (rc < 0) return Result::Corrupt;
    rc = avcodec_receive_frame(c.decoder, c.frame);
    if (rc < 0) return Result::Corrupt;
    AVFrame* f = c.frame;
    const bool damaged = f->decode_error_flags != 0 || (f->flags & AV_FRAME_FLAG_CORRUPT) != 0;
    Result result = Result::Corrupt;
    if (!damaged && f->width == width_ && f->height == height_) {
        FrameWriter::Picture picture;
        picture.format = f->format;
        for (int i = 0; i < 3; ++i) {
            picture.planes[i] = f->data[i];
            picture.strides[i] = f->linesize[i];
        }
        picture.width = width_;
        picture.height = height_;
        picture.fullRange = f->color_range == AVCOL_RANGE_JPEG;
        if (writer_.write(picture, target)) result = Result::Ok;
    }
    av_frame_unref(f);
    return result;
}

}  // namespace media
}  // namespace vexa
