#include "src/DebugImages.h"

#include <cmath>
#include <cstdio>

namespace vxt {

bool writePgm(const std::string& path, const Plane& p) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fprintf(f, "P5\n%d %d\n255\n", p.width, p.height);
    bool ok = true;
    for (int y = 0; y < p.height && ok; ++y)
        ok = std::fwrite(p.data + static_cast<std::size_t>(y) * p.stride, 1, p.width, f) ==
             static_cast<std::size_t>(p.width);
    return std::fclose(f) == 0 && ok;
}

bool writeLabelPgm(const std::string& path, const Labels& labels, int width, int height) {
    std::vector<std::uint8_t> img(static_cast<std::size_t>(width) * height, 0);
    for (const Run& r : labels.runs) {
        int root = r.parent;
        while (labels.runs[root].parent != root) root = labels.runs[root].parent;
        auto v = static_cast<std::uint8_t>(56 + (root * 53) % 200);
        for (int x = r.x0; x < r.x1; ++x) img[static_cast<std::size_t>(r.y) * width + x] = v;
    }
    Plane p{img.data(), width, height, width};
    return writePgm(path, p);
}

bool writeQuadsPgm(const std::string& path, const Plane& grey, const std::vector<MarkerInfo>& quads) {
    std::vector<std::uint8_t> img(static_cast<std::size_t>(grey.width) * grey.height);
    for (int y = 0; y < grey.height; ++y)
        for (int x = 0; x < grey.width; ++x) img[static_cast<std::size_t>(y) * grey.width + x] = grey.at(x, y);
    auto dot = [&](double x, double y, std::uint8_t v) {
        int ix = static_cast<int>(std::lround(x)), iy = static_cast<int>(std::lround(y));
        if (ix >= 0 && iy >= 0 && ix < grey.width && iy < grey.height)
            img[static_cast<std::size_t>(iy) * grey.width + ix] = v;
    };
    for (const MarkerInfo& q : quads) {
        for (int e = 0; e < 4; ++e) {
            const double* a = q.vertex[e];
            const double* b = q.vertex[(e + 1) & 3];
            int n = static_cast<int>(std::hypot(b[0] - a[0], b[1] - a[1])) + 1;
            for (int i = 0; i <= n; ++i) dot(a[0] + (b[0] - a[0]) * i / n, a[1] + (b[1] - a[1]) * i / n, 255);
        }
        int first = q.id >= 0 ? q.dir : 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) dot(q.vertex[first][0] + dx, q.vertex[first][1] + dy, 0);
    }
    Plane p{img.data(), grey.width, grey.height, grey.width};
    return writePgm(path, p);
}

}  // namespace vxt
