// Per-frame cost of showing a video file as the engine does, on one core,
// under an X server (Xvfb will do):
//   decode + conversion  the camera-library path (frame-locked): the decoded
//                        frame converted once, straight into the stream's
//                        back buffer (BGR), made the image
//   upload               glTexSubImage2D of the frame into its power-of-two
//                        texture, finished (glFinish)
// for 640x480 and 1280x720 clips, and heap allocations per frame after the
// first: operator new (our C++ code and the engine) and the C allocator
// (FFmpeg). Prints figures only.
#include "CRenderSurface.h"
#include "CVideoStream.h"
#include "CamVidStream.h"

#include "MediaFileWriter.h"

#include <GL/gl.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <sched.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "AllocationCounting.h"

using Clock = std::chrono::steady_clock;

static double msSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// A moving gradient: something for the encoder and decoder to work on.
static bool makeClip(const std::string& path, int w, int h, int frames) {
    vexa::media::MediaFileWriter writer;
    vexa::media::MediaFileWriter::Settings s;
    s.width = w;
    s.height = h;
    s.frameRateNum = 25;
    if (!writer.open(path, s)) {
        std::printf("cannot write %s: %s\n", path.c_str(), writer.lastError().c_str());
        return false;
    }
    std::vector<uint8_t> px(static_cast<size_t>(w) * h * 4);
    for (int i = 0; i < frames; ++i) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                uint8_t* p = &px[(static_cast<size_t>(y) * w + x) * 4];
                p[0] = static_cast<uint8_t>(x + i * 3);
                p[1] = static_cast<uint8_t>(y + i * 2);
                p[2] = static_cast<uint8_t>((x + y) / 4);
                p[3] = 255;
            }
        writer.writeVideoFrame(px.data());
    }
    return writer.close();
}

struct Totals {
    double decodeMs = 0.0, uploadMs = 0.0;
    long news = 0, mallocs = 0;
};

// One frame: the stream decodes and shows the next frame, then it is uploaded.
static void showFrame(CVideoStream& stream, Totals* totals) {
    const long n0 = AllocationCounting::news(), m0 = AllocationCounting::mallocs();
    const auto t0 = Clock::now();
    stream.UpdateStream();
    const auto t1 = Clock::now();
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, stream.s(), stream.t(), stream.getPixelFormat(), GL_UNSIGNED_BYTE,
                    stream.data());
    glFinish();
    if (!totals) return;
    totals->decodeMs += std::chrono::duration<double, std::milli>(t1 - t0).count();
    totals->uploadMs += msSince(t1);
    totals->news += AllocationCounting::news() - n0;
    totals->mallocs += AllocationCounting::mallocs() - m0;
}

static void benchClip(const std::string& label, const std::string& path, int frames) {
    CamVidStream::SetFileFramesLocked(true);
    osg::ref_ptr<CamVidStream> stream = new CamVidStream("file " + path + " noloop");
    if (!stream->isValid()) {
        std::printf("%-12s cannot open %s\n", label.c_str(), path.c_str());
        return;
    }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    const GLsizei texW = static_cast<GLsizei>(CVideoStream::NextPowerOf2(static_cast<unsigned>(stream->s())));
    const GLsizei texH = static_cast<GLsizei>(CVideoStream::NextPowerOf2(static_cast<unsigned>(stream->t())));
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, texW, texH, 0, stream->getPixelFormat(), GL_UNSIGNED_BYTE, nullptr);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    stream->StartStream();
    showFrame(*stream, nullptr);  // first frame: allocations allowed
    Totals t;
    const int measured = frames - 1;
    for (int i = 0; i < measured; ++i) showFrame(*stream, &t);
    std::printf("%-12s %4d frames  decode+conv %7.3f ms  upload %6.3f ms  total %7.3f ms/frame  "
                "new/frame %.2f  malloc/frame %.2f  (texture %dx%d)\n",
                label.c_str(), measured, t.decodeMs / measured, t.uploadMs / measured,
                (t.decodeMs + t.uploadMs) / measured, static_cast<double>(t.news) / measured,
                static_cast<double>(t.mallocs) / measured, texW, texH);
    stream->CleanUp();
    glDeleteTextures(1, &texture);
}

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : 150;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(0, &one);
    if (sched_setaffinity(0, sizeof one, &one) != 0) std::printf("(could not pin to one core)\n");
    osg::ref_ptr<CRenderSurface> surface = new CRenderSurface;
    surface->setWindowName("video upload bench");
    surface->setWindowRectangle(0, 0, 320, 240);
    if (!surface->realize() || !surface->makeCurrent()) {
        std::printf("needs an X display (run under xvfb-run)\n");
        return 1;
    }
    char dirTemplate[] = "/tmp/vexa-upload-bench-XXXXXX";
    const char* dir = mkdtemp(dirTemplate);
    if (!dir) return 1;
    std::printf("Video upload bench: %d frames per clip, one core, frame-locked camera-library stream, GL %s\n",
                frames, reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    for (const auto& size : {std::pair<int, int>{640, 480}, std::pair<int, int>{1280, 720}}) {
        const std::string label = std::to_string(size.first) + "x" + std::to_string(size.second);
        const std::string path = std::string(dir) + "/" + label + ".mp4";
        if (makeClip(path, size.first, size.second, frames)) benchClip(label, path, frames);
        std::remove(path.c_str());
    }
    rmdir(dir);
    surface->stop();
    return 0;
}
