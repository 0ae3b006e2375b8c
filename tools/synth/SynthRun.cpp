#include "SynthRun.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <numeric>

#include "AtomicFile.h"
#include "FrameCode.h"
#include "MarkerArt.h"
#include "PngFile.h"
#include "PrintedMarker.h"

#ifdef VEXAMARK_HAVE_MEDIA
#include "MediaFileWriter.h"
#endif

namespace vxsynth {
namespace {

constexpr int kDesignMarkerPx = 512;  // built-in pictures are printed at this marker width
constexpr double kVisibleMarginPx = 1.0;

bool loadPicture(const MarkerSpec& m, vxtools::Image& pic, vxtools::PngFile::TextChunks& text, std::string& error) {
    if (m.source.compare(0, 7, "design:") == 0) {
        vxtools::Image inner;
        if (!vxtools::MarkerArt::draw(m.source.substr(7), kDesignMarkerPx / 2, inner, error)) return false;
        pic = vxtools::PrintedMarker::compose(inner, kDesignMarkerPx);
        text = vxtools::PrintedMarker::textChunks(kDesignMarkerPx);
        return true;
    }
    return vxtools::PngFile::read(m.source, pic, error, &text);
}

bool makeDirs(const std::string& dir, std::string& error) {
    for (size_t pos = 1; pos <= dir.size(); ++pos) {
        if (pos != dir.size() && dir[pos] != '/') continue;
        const std::string part = dir.substr(0, pos);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
            error = "cannot create folder '" + part + "': " + std::strerror(errno);
            return false;
        }
    }
    struct stat st {};
    if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        error = "cannot use '" + dir + "' as the frame folder: it is not a folder";
        return false;
    }
    return true;
}

bool nameIsPlain(const std::string& n) {
    return !n.empty() && std::all_of(n.begin(), n.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.';
    });
}

}  // namespace

SynthRun::SynthRun(const SynthScene& scene) : scene_(scene) {
    if (!scene_.centreSet) {
        scene_.camera.cx = scene_.width / 2.0;
        scene_.camera.cy = scene_.height / 2.0;
    }
}

SynthRun::~SynthRun() = default;

bool SynthRun::videoAvailable() {
#ifdef VEXAMARK_HAVE_MEDIA
    return true;
#else
    return false;
#endif
}

bool SynthRun::prepare(std::string& error) {
    if (scene_.markers.empty()) {
        error = "no markers in the scene (expected at least one --marker NAME=PICTURE or a preset)";
        return false;
    }
    textures_.resize(scene_.markers.size());
    std::vector<double> halves;
    for (size_t i = 0; i < scene_.markers.size(); ++i) {
        const MarkerSpec& m = scene_.markers[i];
        if (!nameIsPlain(m.name)) {
            error = "marker name '" + m.name + "' must be letters, digits, '-', '_' or '.'";
            return false;
        }
        vxtools::Image pic;
        vxtools::PngFile::TextChunks text;
        if (!loadPicture(m, pic, text, error) ||
            !textures_[i].build(pic, text, m.box, m.widthMm, m.cardScale, error)) {
            error = "marker '" + m.name + "': " + error;
            return false;
        }
        halves.push_back(textures_[i].cardHalfMm());
    }
    planner_ = std::make_unique<MotionPlanner>(scene_, halves);
    renderer_ = std::make_unique<FrameRenderer>(scene_.camera, scene_.width, scene_.height);
    renderer_->setThreads(scene_.threads);
    sensor_ = std::make_unique<SensorModel>(scene_);
    background_ = BackgroundTexture::render(scene_.background, scene_.seed, scene_.width, scene_.height);
    return true;
}

void SynthRun::truthRow(size_t marker, double t, size_t order, const std::vector<FrameRenderer::Card>& cards,
                        const std::vector<MotionPlanner::Capsule>& occ, TruthTable::Row& row) const {
    const double h = scene_.markers[marker].widthMm / 2;
    row.marker = scene_.markers[marker].name;
    row.pose = planner_->markerPose(marker, t);
    const double corners[4][3] = {{-h, h, 0}, {h, h, 0}, {h, -h, 0}, {-h, -h, 0}};  // as printed: TL TR BR BL
    bool inside = true;
    for (int k = 0; k < 4; ++k) {
        double c[3];
        row.pose.apply(corners[k], c);
        inside = scene_.camera.project(c, row.corners[k][0], row.corners[k][1]) && inside;
        inside = inside && row.corners[k][0] >= kVisibleMarginPx && row.corners[k][1] >= kVisibleMarginPx &&
                 row.corners[k][0] <= scene_.width - kVisibleMarginPx &&
                 row.corners[k][1] <= scene_.height - kVisibleMarginPx;
    }
    int covered = 0;
    const int n = 16;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {  // cell centres of a 16 x 16 grid over the marker square
            const double m[3] = {-h + 2 * h * (i + 0.5) / n, h - 2 * h * (j + 0.5) / n, 0};
            double c[3], u, v;
            row.pose.apply(m, c);
            if (!scene_.camera.project(c, u, v)) continue;
            bool hidden = std::any_of(occ.begin(), occ.end(), [&](const auto& o) { return o.contains(u, v); });
            for (size_t k = 0; k < order && !hidden; ++k)
                hidden = renderer_->onCard(cards[k], cards[k].poses.size() / 2, u, v);
            covered += hidden ? 1 : 0;
        }
    row.occluded = double(covered) / (n * n);
    row.visible = inside && row.occluded <= scene_.occlusionLimit;
}

void SynthRun::renderFrame(int index, vxtools::Image& picture, std::vector<TruthTable::Row>& rows) {
    const auto start = std::chrono::steady_clock::now();
    const double t = index / scene_.fps;
    const int instants = scene_.shutter > 0 ? FrameRenderer::kMaxInstants : 1;
    const size_t n = scene_.markers.size();
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::vector<Pose> mid(n);
    for (size_t i = 0; i < n; ++i) mid[i] = planner_->markerPose(i, t);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return mid[a].t[2] < mid[b].t[2]; });
    std::vector<FrameRenderer::Card> cards(n);
    for (size_t k = 0; k < n; ++k) {
        cards[k].texture = &textures_[order[k]];
        for (int s = 0; s < instants; ++s) {
            const double dt = instants == 1 ? 0.0 : ((s + 0.5) / instants - 0.5) * scene_.shutter / scene_.fps;
            cards[k].poses.push_back(planner_->markerPose(order[k], t + dt));
        }
    }
    std::vector<MotionPlanner::Capsule> occ;
    for (int j = 0; j < scene_.occluders; ++j) occ.push_back(planner_->occluder(size_t(j), t));
    renderer_->render(background_, cards, occ, frame_);
    sensor_->develop(frame_, index, picture);
    if (scene_.frameCode) FrameCode::draw(picture, index);
    rows.assign(n, TruthTable::Row());
    for (size_t k = 0; k < n; ++k) {
        rows[order[k]].frame = index;
        truthRow(order[k], t, k, cards, occ, rows[order[k]]);
    }
    renderSeconds_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool SynthRun::run(const Outputs& out, std::string& error) {
    if (!out.pngDir.empty() && !makeDirs(out.pngDir, error)) return false;
    if (!out.video.empty() && !videoAvailable()) {
        error = "video output is not available in this build (no media layer); use --png-dir DIR";
        return false;
    }
#ifdef VEXAMARK_HAVE_MEDIA
    vexa::media::MediaFileWriter writer;
    if (!out.video.empty()) {
        vexa::media::MediaFileWriter::Settings s;
        s.width = scene_.width;
        s.height = scene_.height;
        s.frameRateNum = int(std::lround(scene_.fps * 1000));
        s.frameRateDen = 1000;
        s.layout = vexa::media::MediaFileWriter::PixelLayout::RGB;
        s.quality = scene_.quality;
        if (!writer.open(out.video, s)) {
            error = "cannot write video '" + out.video + "': " + writer.lastError();
            return false;
        }
    }
#endif
    std::string csv = TruthTable::header();
    vxtools::Image picture;
    std::vector<TruthTable::Row> rows;
    for (int f = 0; f < scene_.frames; ++f) {
        renderFrame(f, picture, rows);
        for (const auto& r : rows) TruthTable::append(r, csv);
        if (!out.pngDir.empty()) {
            char name[32];
            std::snprintf(name, sizeof name, "/frame_%06d.png", f);
            if (!vxtools::PngFile::write(out.pngDir + name, picture, error)) return false;
        }
#ifdef VEXAMARK_HAVE_MEDIA
        if (!out.video.empty() && !writer.writeVideoFrame(picture.data().data())) {
            error = "cannot write video '" + out.video + "': " + writer.lastError();
            return false;
        }
#endif
        if (!out.quiet && (f + 1) % 25 == 0)
            std::cerr << "vexamark-synth: frame " << f + 1 << " of " << scene_.frames << "\n";
    }
#ifdef VEXAMARK_HAVE_MEDIA
    if (!out.video.empty() && !writer.close()) {
        error = "cannot write video '" + out.video + "': " + writer.lastError();
        return false;
    }
#endif
    return out.csv.empty() || vxtools::AtomicFile::writeBytes(out.csv, csv, error);
}

}  // namespace vxsynth
