#include "vxt/PatternSet.h"

#include <cmath>

#include "src/PatternMath.h"

namespace vxt {

PatternSet::PatternSet() : slots_(kMaxPatterns) {}

void PatternSet::buildTemplates(const PatternImage& image, Templates& out) {
    const int n = PatternImage::kSize;
    float colour[kCells * 3], grey[kCells];
    for (int i = 0; i < kCells; ++i) {
        const std::uint8_t* c = image.rgb() + i * 3;
        colour[i * 3 + 0] = c[0];
        colour[i * 3 + 1] = c[1];
        colour[i * 3 + 2] = c[2];
        grey[i] = lumaOf(c[0], c[1], c[2]);
    }
    bool usable = true;
    for (int d = 0; d < 4; ++d) {
        for (int r = 0; r < n; ++r) {
            for (int col = 0; col < n; ++col) {
                int src = rotatedCell(r, col, d);
                int dst = r * n + col;
                for (int ch = 0; ch < 3; ++ch) out.colour[d][dst * 3 + ch] = colour[src * 3 + ch];
                out.grey[d][dst] = grey[src];
                out.flat[d][dst] = grey[src];
            }
        }
        usable = normaliseVector(out.colour[d], kCells * 3) && usable;
        usable = normaliseVector(out.grey[d], kCells) && usable;
        removeShading(out.flat[d]);
        usable = normaliseVector(out.flat[d], kCells) && usable;
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
