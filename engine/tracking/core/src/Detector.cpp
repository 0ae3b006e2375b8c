#include "vxt/Detector.h"

#include <cassert>
#include <chrono>
#include <cstdio>
#include <string>

#include "src/DebugImages.h"
#include "vxt/PatternImage.h"
#include "vxt/stages/PatternStage.h"

namespace vxt {

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point& t) {
    Clock::time_point now = Clock::now();
    double ms = std::chrono::duration<double, std::milli>(now - t).count();
    t = now;
    return ms;
}

Status checkFrame(const ImageView& f) {
    int bpp = bytesPerPixel(f.format);
    if (bpp == 0) return Status::failure("frame has an invalid pixel format");
    if (!f.data) return Status::failure("frame has no pixel data");
    if (f.width < 8 || f.height < 8 || f.width > 16384 || f.height > 16384)
        return Status::failure("frame size must be 8..16384 pixels per side, found " +
                               std::to_string(f.width) + " x " + std::to_string(f.height));
    if (f.stride != 0 && f.stride < f.width * bpp)
        return Status::failure("frame row stride " + std::to_string(f.stride) + " is shorter than a row of " +
                               std::to_string(f.width * bpp) + " bytes");
    if ((f.format == PixelFormat::UYVY || f.format == PixelFormat::YUYV) && (f.width & 1))
        return Status::failure("4:2:2 frames need an even width, found " + std::to_string(f.width));
    return Status::success();
}

}  // namespace

Detector::Detector(const CameraParams& camera) : Detector(camera.width(), camera.height()) {}

Detector::Detector(int width, int height) : width_(width), height_(height) {
    assert(width > 0 && height > 0 && "Detector: frame size must be positive");
    ws_.reserve(width, height);
}

bool Detector::setThreshold(int t) {
    if (t < 0 || t > 255) return false;
    params_.binarize.threshold = t;
    return true;
}

bool Detector::setLabelingMode(int mode) {
    if (mode < 0 || mode > 1) return false;
    params_.binarize.labelingMode = mode;
    return true;
}

bool Detector::setImageProcMode(int mode) {
    if (mode < 0 || mode > 1) return false;
    params_.luminance.imageProcMode = mode;
    return true;
}

bool Detector::setPatternDetectionMode(int mode) {
    if (mode < 0 || mode > 2) return false;
    params_.pattern.mode = mode;
    return true;
}

bool Detector::setDebugMode(int mode) {
    if (mode < 0 || mode > 1) return false;
    params_.debugMode = mode;
    return true;
}

bool Detector::setPixelFormat(int code) {
    if (!isValidPixelFormat(code)) return false;
    params_.pixelFormat = static_cast<PixelFormat>(code);
    return true;
}

Status Detector::setParams(const DetectorParams& p) {
    const BinarizeParams& b = p.binarize;
    const QuadParams& q = p.quad;
    if (p.luminance.imageProcMode < 0 || p.luminance.imageProcMode > 1)
        return Status::failure("image processing mode must be 0..1");
    if (b.threshold < 0 || b.threshold > 255) return Status::failure("threshold must be 0..255");
    if (b.labelingMode < 0 || b.labelingMode > 1) return Status::failure("labeling mode must be 0..1");
    if (b.tileSize < 4 || b.tileSize > 64 || b.tileRadius < 0 || b.tileRadius > 8 || b.minContrast < 0 ||
        b.minContrast > 255)
        return Status::failure("adaptive threshold settings out of range");
    if (p.label.minArea < 1) return Status::failure("label minimum area must be at least 1");
    if (q.minArea < 1 || !(q.maxAreaFraction > 0 && q.maxAreaFraction <= 1) || !(q.minFill >= 0) ||
        !(q.maxFill <= 1) || !(q.minFill < q.maxFill) || !(q.minSide >= 3) ||
        !(q.vertexTolerance >= 0.01 && q.vertexTolerance <= 0.3) ||
        !(q.searchRadius >= 1 && q.searchRadius <= 10) || q.maxEdgeSamples < 4 || q.maxEdgeSamples > 256 ||
        q.minEdgeContrast < 0 || !(q.maxCornerShift > 0))
        return Status::failure("candidate square settings out of range");
    if (p.pattern.mode < 0 || p.pattern.mode > 2 || !(p.pattern.minConfidence >= 0 && p.pattern.minConfidence <= 1))
        return Status::failure("pattern settings out of range");
    if (p.result.maxResults < 1 || p.result.maxResults > 1024) return Status::failure("maxResults must be 1..1024");
    if (!isValidPixelFormat(static_cast<int>(p.pixelFormat))) return Status::failure("invalid pixel format");
    if (p.debugMode < 0 || p.debugMode > 1) return Status::failure("debug mode must be 0..1");
    params_ = p;
    return Status::success();
}

Status Detector::detect(const unsigned char* pixels) {
    ImageView f;
    f.data = pixels;
    f.width = width_;
    f.height = height_;
    f.format = params_.pixelFormat;
    return detect(f);
}

Status Detector::detect(const ImageView& frame) {
    Status ok = checkFrame(frame);
    if (!ok) return ok;
    Clock::time_point t = Clock::now();

    // Step 1: luminance (and the half-size image in mode 1).
    luminanceStage(frame, params_.luminance, ws_.luminance);
    lastFrame_ = frame;
    haveFrame_ = true;
    lastProcMode_ = params_.luminance.imageProcMode;
    detectFromGrey(frame, msSince(t));
    return Status::success();
}

Status Detector::redetect() {
    if (!haveFrame_) return Status::failure("no frame to detect in again");
    if (lastProcMode_ != params_.luminance.imageProcMode) return detect(lastFrame_);
    detectFromGrey(lastFrame_, 0.0);
    return Status::success();
}

void Detector::detectFromGrey(const ImageView& frame, double luminanceMs) {
    Clock::time_point t = Clock::now();
    times_.ms[StageTimes::Luminance] = luminanceMs;

    // Step 2: binarise at the labeling threshold, then label components.
    binarizeStage(ws_.luminance.proc, params_.binarize, ws_.binary);
    times_.ms[StageTimes::Binarize] = msSince(t);
    labelStage(ws_.binary.mask, params_.label, ws_.labels);
    times_.ms[StageTimes::Label] = msSince(t);

    // Step 3: candidate squares with subpixel corners.
    QuadInput qi;
    qi.labels = &ws_.labels;
    qi.mask = ws_.binary.mask;
    qi.fullGrey = ws_.luminance.full;
    qi.scale = ws_.luminance.scale;
    quadStage(qi, params_.quad, ws_.quads);
    times_.ms[StageTimes::Quads] = msSince(t);

    // Step 4: identify each square against the active patterns.
    PatternInput pi;
    pi.frame = frame;
    pi.fullGrey = ws_.luminance.full;
    pi.patterns = patterns_;
    patternStage(pi, params_.pattern, ws_.quads.candidates);
    times_.ms[StageTimes::Pattern] = msSince(t);

    // Step 5: result list without nested duplicates.
    resultStage(ws_.quads.candidates, params_.result, ws_.results);
    times_.ms[StageTimes::Results] = msSince(t);
    times_.totalMs = 0.0;
    for (double ms : times_.ms) times_.totalMs += ms;

    if (params_.debugMode == 1 && !params_.debugFolder.empty()) dumpDebugImages();
}

void Detector::dumpDebugImages() const {
    const std::string& dir = params_.debugFolder;
    writePgm(dir + "/step1-grey.pgm", ws_.luminance.full);
    if (ws_.luminance.scale > 1) writePgm(dir + "/step1-half.pgm", ws_.luminance.proc);
    writePgm(dir + "/step2-mask.pgm", ws_.binary.mask);
    writeLabelPgm(dir + "/step2-labels.pgm", ws_.labels, ws_.binary.mask.width, ws_.binary.mask.height);
    writeQuadsPgm(dir + "/step3-candidates.pgm", ws_.luminance.full, ws_.quads.candidates);
    writeQuadsPgm(dir + "/step5-results.pgm", ws_.luminance.full, ws_.results);
}

Status Detector::savePattern(const ImageView& frame, const MarkerInfo& square, const std::string& path) {
    Status ok = checkFrame(frame);
    if (!ok) return ok;
    if (path.empty()) return Status::failure("no pattern file name given");
    // Colour sampling only reads the frame; the grey plane bounds the samples.
    PatternInput in;
    in.frame = frame;
    in.fullGrey.width = frame.width;
    in.fullGrey.height = frame.height;
    PatternSample s;
    samplePattern(in, square, square.id >= 0 ? square.dir : 0, s);
    PatternImage img;
    for (int i = 0; i < PatternImage::kBytes; ++i) {
        float v = s.colour[i] + 0.5f;
        img.rgb()[i] = static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
    }
    return img.save(path);
}

void FrameWorkspace::reserve(int width, int height) {
    std::size_t px = static_cast<std::size_t>(width) * height;
    luminance.fullBuffer.reserve(px);
    luminance.halfBuffer.reserve(px / 4);
    binary.buffer.reserve(px);
    labels.runs.reserve(px / 16 + 1024);
    labels.rowFirst.reserve(static_cast<std::size_t>(height) + 1);
    labels.compOfRoot.reserve(px / 16 + 1024);
    labels.components.reserve(px / 64 + 256);
    quads.candidates.reserve(256);
    quads.contour.reserve(4096);
    results.reserve(256);
}

}  // namespace vxt
