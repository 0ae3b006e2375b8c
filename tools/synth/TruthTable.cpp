#include "TruthTable.h"

#include <cstdio>

namespace vxsynth {

std::string TruthTable::header() {
    return "frame,marker,visible,x0,y0,x1,y1,x2,y2,x3,y3,"
           "r00,r01,r02,r10,r11,r12,r20,r21,r22,tx,ty,tz,occluded\n";
}

void TruthTable::append(const Row& r, std::string& out) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "%d,", r.frame);
    out += buf;
    out += r.marker;
    out += r.visible ? ",1" : ",0";
    for (const auto& c : r.corners) {
        std::snprintf(buf, sizeof buf, ",%.6f,%.6f", c[0], c[1]);
        out += buf;
    }
    for (double v : r.pose.R) {
        std::snprintf(buf, sizeof buf, ",%.9f", v);
        out += buf;
    }
    for (double v : r.pose.t) {
        std::snprintf(buf, sizeof buf, ",%.6f", v);
        out += buf;
    }
    std::snprintf(buf, sizeof buf, ",%.4f\n", r.occluded);
    out += buf;
}

}  // namespace vxsynth
