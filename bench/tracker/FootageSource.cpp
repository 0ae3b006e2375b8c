#include "FootageSource.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

namespace vxtbench {

namespace {

// Reads a PNG as 8-bit RGB.
bool readPng(const std::string& path, int& w, int& h, std::vector<std::uint8_t>& rgb) {
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&img, path.c_str())) return false;
    img.format = PNG_FORMAT_RGB;
    w = static_cast<int>(img.width);
    h = static_cast<int>(img.height);
    rgb.resize(PNG_IMAGE_SIZE(img));
    bool ok = png_image_finish_read(&img, nullptr, rgb.data(), 0, nullptr) != 0;
    png_image_free(&img);
    return ok;
}

class FootageSource : public FrameSource {
public:
    bool open(const FootageSettings& settings, std::string& error) {
        name_ = "footage " + settings.folder;
        vxt::Status s = cam_.load(settings.cameraFile);
        if (!s) return fail(error, s.message());
        std::map<std::string, int> ids;
        for (const FootageSettings::Marker& m : settings.markers) {
            vxt::PatternImage p;
            s = p.load(m.patternFile);
            if (!s) return fail(error, s.message());
            ids[m.name] = static_cast<int>(patterns_.size());
            widths_.push_back(m.width);
            patterns_.push_back(p);
        }
        std::ifstream csv(settings.folder + "/truth.csv");
        if (!csv) return fail(error, "cannot open '" + settings.folder + "/truth.csv'");
        std::string line;
        std::getline(csv, line);  // header
        std::map<int, std::vector<TruthMarker>> truth;
        while (std::getline(csv, line)) {
            std::vector<std::string> f;
            std::stringstream ss(line);
            std::string cell;
            while (std::getline(ss, cell, ',')) f.push_back(cell);
            if (f.size() != 24) continue;
            auto it = ids.find(f[1]);
            if (it == ids.end() || f[2] != "1" || std::atof(f[23].c_str()) > settings.maxOccluded) continue;
            TruthMarker t;
            t.patternId = it->second;
            t.width = widths_[it->second];
            for (int k = 0; k < 8; ++k) t.corners[k / 2][k % 2] = std::atof(f[3 + k].c_str());
            for (int k = 0; k < 9; ++k) t.pose.m[k / 3][k % 3] = std::atof(f[11 + k].c_str());
            for (int k = 0; k < 3; ++k) t.pose.m[k][3] = std::atof(f[20 + k].c_str());
            truth[std::atoi(f[0].c_str())].push_back(t);
        }
        for (int i = 0; i < settings.maxFrames; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "/frame_%06d.png", i);
            std::vector<std::uint8_t> rgb;
            int w = 0, h = 0;
            if (!readPng(settings.folder + name, w, h, rgb)) break;
            if (w != cam_.width() || h != cam_.height()) cam_ = cam_.rescaled(w, h);
            width_ = w;
            height_ = h;
            pixels_.push_back(std::move(rgb));
            truth_.push_back(truth[i]);
        }
        if (pixels_.empty()) return fail(error, "no frames '" + settings.folder + "/frame_000000.png' ...");
        return true;
    }
    std::string name() const override { return name_; }
    const vxt::CameraParams& camera() const override { return cam_; }
    const std::vector<vxt::PatternImage>& patterns() const override { return patterns_; }
    int frameCount() const override { return static_cast<int>(pixels_.size()); }
    void frame(int i, BenchFrame& out) override {
        out.image = vxt::ImageView{pixels_[i].data(), width_, height_, 0, vxt::PixelFormat::RGB};
        out.truth = truth_[i];
    }

private:
    static bool fail(std::string& error, const std::string& what) {
        error = what;
        return false;
    }
    std::string name_;
    vxt::CameraParams cam_;
    std::vector<vxt::PatternImage> patterns_;
    std::vector<double> widths_;
    int width_ = 0, height_ = 0;
    std::vector<std::vector<std::uint8_t>> pixels_;
    std::vector<std::vector<TruthMarker>> truth_;
};

}  // namespace

std::unique_ptr<FrameSource> makeFootageSource(const FootageSettings& settings, std::string& error) {
    std::unique_ptr<FootageSource> s(new FootageSource);
    if (!s->open(settings, error)) return nullptr;
    return std::unique_ptr<FrameSource>(s.release());
}

}  // namespace vxtbench
