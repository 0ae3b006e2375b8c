#include "FakeCamera.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace vexa {
namespace media {
namespace testing {

void FakeCamera::addFormat(uint32_t pixelFormat, const std::vector<VideoFrameSize>& sizes,
                           const std::vector<VideoFrameInterval>& intervals) {
    Format f;
    f.pixelFormat = pixelFormat;
    for (const VideoFrameSize& s : sizes) f.sizes.push_back({s, intervals});
    formats.push_back(f);
}

int FakeCamera::takeError(const std::string& op) {
    auto sticky = stickyErrors.find(op);
    if (sticky != stickyErrors.end()) return sticky->second;
    auto it = errors.find(op);
    if (it == errors.end() || it->second.empty()) return 0;
    const int e = it->second.front();
    it->second.pop_front();
    return e;
}

std::vector<uint8_t> yuyvTopBrightFrame(int width, int height) {
    std::vector<uint8_t> f(static_cast<size_t>(width) * height * 2);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &f[(static_cast<size_t>(y) * width + x) * 2];
            p[0] = y < height / 2 ? 235 : 16;  // luma
            p[1] = 128;                        // chroma: grey
        }
    return f;
}

std::vector<uint8_t> bgr24Frame(int width, int height, uint8_t b, uint8_t g, uint8_t r) {
    std::vector<uint8_t> f(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < f.size(); i += 3) {
        f[i] = b;
        f[i + 1] = g;
        f[i + 2] = r;
    }
    return f;
}

std::vector<uint8_t> mjpegFrame(int width, int height, const std::function<bool(int x, int y)>& bright) {
    std::vector<uint8_t> out;
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
    AVCodecContext* ctx = codec ? avcodec_alloc_context3(codec) : nullptr;
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    if (ctx && frame && packet) {
        ctx->width = width;
        ctx->height = height;
        ctx->pix_fmt = AV_PIX_FMT_YUVJ422P;
        ctx->time_base = AVRational{1, 30};
        frame->format = ctx->pix_fmt;
        frame->width = width;
        frame->height = height;
        if (avcodec_open2(ctx, codec, nullptr) == 0 && av_frame_get_buffer(frame, 0) == 0) {
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) frame->data[0][y * frame->linesize[0] + x] = bright(x, y) ? 235 : 16;
                for (int x = 0; x < width / 2; ++x) {
                    frame->data[1][y * frame->linesize[1] + x] = 128;
                    frame->data[2][y * frame->linesize[2] + x] = 128;
                }
            }
            frame->pts = 0;
            if (avcodec_send_frame(ctx, frame) == 0 && avcodec_receive_packet(ctx, packet) == 0)
                out.assign(packet->data, packet->data + packet->size);
        }
    }
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&ctx);
    return out;
}

std::vector<uint8_t> mjpegTopBrightFrame(int width, int height) {
    return mjpegFrame(width, height, [height](int, int y) { return y < height / 2; });
}

}  // namespace testing
}  // namespace media
}  // namespace vexa
