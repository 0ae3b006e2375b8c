#include "TestScene.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace vxttest {

TestPatterns::TestPatterns(int n, bool colour) {
    for (int i = 0; i < n; ++i) {
        images.push_back(vxtbench::makeTestPattern(static_cast<unsigned>(i + 1), colour));
        set.add(images.back());
    }
}

const vxt::MarkerInfo* findResult(const vxt::Detector& d, const Truth& t, double maxDist) {
    double cx = 0, cy = 0;
    for (auto& c : t.corners) {
        cx += c[0] / 4;
        cy += c[1] / 4;
    }
    const vxt::MarkerInfo* best = nullptr;
    double bestD = maxDist;
    for (int i = 0; i < d.markerCount(); ++i) {
        const vxt::MarkerInfo& m = d.markers()[i];
        double dist = std::hypot(m.pos[0] - cx, m.pos[1] - cy);
        if (dist < bestD) {
            bestD = dist;
            best = &m;
        }
    }
    return best;
}

double cornerError(const vxt::MarkerInfo& m, const Truth& t) {
    double worst = 0;
    for (int k = 0; k < 4; ++k) {
        const double* v = m.vertex[(m.dir + k) & 3];
        worst = std::max(worst, std::hypot(v[0] - t.corners[k][0], v[1] - t.corners[k][1]));
    }
    return worst;
}

TempDir::TempDir() {
    char tmpl[] = "/tmp/vxt-test-XXXXXX";
    char* p = mkdtemp(tmpl);
    path = p ? p : "/tmp";
}

TempDir::~TempDir() {
    std::string cmd = "rm -rf '" + path + "'";
    if (path != "/tmp") (void)std::system(cmd.c_str());
}

void TempDir::write(const std::string& name, const std::string& text) const {
    std::ofstream f(file(name), std::ios::binary);
    f << text;
}

std::string readFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

}  // namespace vxttest
