#include "vxt/PatternSet.h"

#include <cmath>

#include "src/PatternMath.h"

namespace vxt {

PatternSet::PatternSet() : slots_(kMaxPatterns) {}

namespace {

// Gaussian blur of a 16x16 grid of `ch` channels; outside the grid is the
// black border of the marker (0).
void blurCells(const float* in, int ch, float sigma, float* out) {
    const int n = PatternImage::kSize;
    if (sigma <= 0.0f) {
        for (int i = 0; i < n * n * ch; ++i) out[i] = in[i];
        return;
    }
    float k[7];
    float sum = 0;
    for (int i = -3; i <= 3; ++i) sum += k[i + 3] = std::exp(-0.5f * i * i / (sigma * sigma));
    for (float& v : k) v /= sum;
    float tmp[PatternSet::kCells * 3];
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c)
            for (int q = 0; q < ch; ++q) {
                float a = 0;
                for (int i = -3; i <= 3; ++i)
                    if (c + i >= 0 && c + i < n) a += k[i + 3] * in[(r * n + c + i) * ch + q];
                tmp[(r * n + c) * ch + q] = a;
            }
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c)
            for (int q = 0; q < ch; ++q) {
                float a = 0;
                for (int i = -3; i <= 3; ++i)
                    if (r + i >= 0 && r + i < n) a += k[i + 3] * tmp[((r + i) * n + c) * ch + q];
                out[(r * n + c) * ch + q] = a;
            }
}

}  // namespace

constexpr float PatternSet::kBlurSigma[PatternSet::kBlurLevels];

// The 8 x 8 templates from the full ones (normalised again).
void PatternSet::coarsen(Templates& t, int level, int d) {
    coarsenGrid(t.colour[level][d], 3, t.coarseColour[level][d]);
    coarsenGrid(t.grey[level][d], 1, t.coarseGrey[level][d]);
    coarsenGrid(t.flat[level][d], 1, t.coarseFlat[level][d]);
    normaliseVector(t.coarseColour[level][d], kCoarseCells * 3);
    normaliseVector(t.coarseGrey[level][d], kCoarseCells);
    normaliseVector(t.coarseFlat[level][d], kCoarseCells);
}

void PatternSet::buildTemplates(const PatternImage& image, Templates& out) {
    const int n = PatternImage::kSize;
    float colour[kCells * 3], grey[kCells], bc[kCells * 3], bg[kCells];
    for (int i = 0; i < kCells; ++i) {
        const std::uint8_t* c = image.rgb() + i * 3;
        colour[i * 3 + 0] = c[0];
        colour[i * 3 + 1] = c[1];
        colour[i * 3 + 2] = c[2];
        grey[i] = lumaOf(c[0], c[1], c[2]);
    }
    bool usable = true;
    out.hasColour = carriesColour(colour, kCells);
    for (int level = 0; level < kBlurLevels; ++level) {
        blurCells(colour, 3, kBlurSigma[level], bc);
        blurCells(grey, 1, kBlurSigma[level], bg);
        for (int d = 0; d < 4; ++d) {
            for (int r = 0; r < n; ++r) {
                for (int col = 0; col < n; ++col) {
                    int src = rotatedCell(r, col, d);
                    int dst = r * n + col;
                    for (int ch = 0; ch < 3; ++ch) out.colour[level][d][dst * 3 + ch] = bc[src * 3 + ch];
                    out.grey[level][d][dst] = bg[src];
                    out.flat[level][d][dst] = bg[src];
                }
            }
            usable = normaliseVector(out.colour[level][d], kCells * 3) && usable;
            usable = normaliseVector(out.grey[level][d], kCells) && usable;
            removeShading(out.flat[level][d]);
            usable = normaliseVector(out.flat[level][d], kCells) && usable;
            coarsen(out, level, d);
        }
    }
    out.usable = usable;
}

int PatternSet::add(const PatternImage& image) {
    for (int id = 0; id < kMaxPatterns; ++id) {
        Slot& s = slots_[id];
        if (s.loaded) continue;
        s.image = image;
        buildTemplates(image, s.templ);
        s.loaded = true;
        s.active = true;
        return id;
    }
    return -1;
}

int PatternSet::load(const std::string& path, Status* why) {
    if (count() >= kMaxPatterns) {
        if (why) *why = Status::failure("cannot load '" + path + "': all 50 pattern slots are in use");
        return -1;
    }
    PatternImage img;
    Status s = img.load(path);
    if (why) *why = s;
    if (!s) return -1;
    return add(img);
}

bool PatternSet::free(int id) {
    if (!isLoaded(id)) return false;
    slots_[id].loaded = false;
    slots_[id].active = false;
    return true;
}

bool PatternSet::activate(int id) {
    if (!isLoaded(id)) return false;
    slots_[id].active = true;
    return true;
}

bool PatternSet::deactivate(int id) {
    if (!isLoaded(id)) return false;
    slots_[id].active = false;
    return true;
}

bool PatternSet::isLoaded(int id) const { return id >= 0 && id < kMaxPatterns && slots_[id].loaded; }

bool PatternSet::isActive(int id) const { return isLoaded(id) && slots_[id].active; }

int PatternSet::count() const {
    int n = 0;
    for (const Slot& s : slots_) n += s.loaded ? 1 : 0;
    return n;
}

const PatternImage* PatternSet::image(int id) const { return isLoaded(id) ? &slots_[id].image : nullptr; }

const PatternSet::Templates* PatternSet::templates(int id) const {
    return isLoaded(id) ? &slots_[id].templ : nullptr;
}

}  // namespace vxt
