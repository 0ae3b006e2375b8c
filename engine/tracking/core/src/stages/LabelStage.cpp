#include "vxt/stages/LabelStage.h"

#include <emmintrin.h>

#include <algorithm>
#include <cassert>

namespace vxt {

namespace {

inline int findRoot(std::vector<Run>& runs, int i) {
    while (runs[i].parent != i) {
        runs[i].parent = runs[runs[i].parent].parent;  // path halving
        i = runs[i].parent;
    }
    return i;
}

inline void unite(std::vector<Run>& runs, int a, int b) {
    a = findRoot(runs, a);
    b = findRoot(runs, b);
    if (a < b)
        runs[b].parent = a;
    else if (b < a)
        runs[a].parent = b;
}

inline void addRun(std::vector<Run>& runs, int x0, int x1, int y) {
    int idx = static_cast<int>(runs.size());
    runs.push_back(Run{x0, x1, y, idx, 2 + 2 * (x1 - x0)});
}

// Appends the runs of one mask row, 16 pixels at a time.
void extractRuns(const std::uint8_t* row, int w, int y, std::vector<Run>& runs) {
    bool inRun = false;
    int start = 0;
    int x = 0;
    for (; x + 16 <= w; x += 16) {
        unsigned m = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x))));
        if ((!inRun && m == 0) || (inRun && m == 0xFFFFu)) continue;
        unsigned done = 0;  // bits already consumed
        for (;;) {
            unsigned look = (inRun ? ~m : m) & 0xFFFFu & ~done;
            if (!look) break;
            int b = __builtin_ctz(look);
            if (inRun) {
                addRun(runs, start, x + b, y);
            } else {
                start = x + b;
            }
            inRun = !inRun;
            done = (2u << b) - 1u;
        }
    }
    for (; x < w; ++x) {
        bool fg = row[x] != 0;
        if (fg && !inRun) {
            start = x;
            inRun = true;
        } else if (!fg && inRun) {
            addRun(runs, start, x, y);
            inRun = false;
        }
    }
    if (inRun) addRun(runs, start, w, y);
}

// Joins the runs of row y with those of row y-1 (8-connected).
void joinRows(std::vector<Run>& runs, int prevBegin, int prevEnd, int curBegin, int curEnd) {
    int i = prevBegin, j = curBegin;
    while (i < prevEnd && j < curEnd) {
        Run& p = runs[i];
        Run& c = runs[j];
        if (p.x0 <= c.x1 && c.x0 <= p.x1) {
            unite(runs, i, j);
            int overlap = std::min(p.x1, c.x1) - std::max(p.x0, c.x0);
            if (overlap > 0) c.perim -= 2 * overlap;
        }
        if (p.x1 < c.x1)
            ++i;
        else
            ++j;
    }
}

}  // namespace

void labelStage(const Plane& mask, const LabelParams& p, Labels& out) {
    assert(mask.data && mask.width > 0 && mask.height > 0 && "labelStage: empty mask");
    out.runs.clear();
    out.components.clear();
    out.rowFirst.resize(static_cast<std::size_t>(mask.height) + 1);
    for (int y = 0; y < mask.height; ++y) {
        out.rowFirst[y] = static_cast<int>(out.runs.size());
        extractRuns(mask.data + static_cast<std::size_t>(y) * mask.stride, mask.width, y, out.runs);
        if (y > 0)
            joinRows(out.runs, out.rowFirst[y - 1], out.rowFirst[y], out.rowFirst[y],
                     static_cast<int>(out.runs.size()));
    }
    out.rowFirst[mask.height] = static_cast<int>(out.runs.size());

    // Roots are the first run of each component in raster order; every link
    // points to a lower index, so one forward pass flattens all paths.
    const int n = static_cast<int>(out.runs.size());
    out.compOfRoot.resize(static_cast<std::size_t>(n));
    Run* runs = out.runs.data();
    for (int i = 0; i < n; ++i) runs[i].parent = runs[runs[i].parent].parent;
    for (int i = 0; i < n; ++i) {
        Run& r = runs[i];
        int root = r.parent;
        if (root == i) {
            out.compOfRoot[i] = static_cast<int>(out.components.size());
            out.components.push_back(Component{0, r.x0, r.y, r.x1 - 1, r.y, 0, r.x0, r.y});
        }
        Component& c = out.components[out.compOfRoot[root]];
        c.area += r.x1 - r.x0;
        c.minX = std::min(c.minX, r.x0);
        c.maxX = std::max(c.maxX, r.x1 - 1);
        c.maxY = r.y;
        c.perimeter += r.perim;
    }
    if (p.minArea > 1) {
        auto small = [&p](const Component& c) { return c.area < p.minArea; };
        out.components.erase(std::remove_if(out.components.begin(), out.components.end(), small),
                             out.components.end());
    }
}

}  // namespace vxt
