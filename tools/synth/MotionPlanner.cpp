#include "MotionPlanner.h"

#include <algorithm>
#include <cmath>

#include "Random.h"

namespace vxsynth {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMaxViewAngle = 80.0 * kPi / 180.0;

}  // namespace

MotionPlanner::MotionPlanner(const SynthScene& scene, const std::vector<double>& cardHalfMm) : scene_(scene) {
    for (size_t i = 0; i < scene.markers.size(); ++i) tracks_.push_back(makeTrack(i, cardHalfMm[i]));
    Random rng(Random::mix(scene.seed, 0x0CC1));
    for (int j = 0; j < scene.occluders; ++j)
        occluders_.push_back({rng.uniform(0, 2 * kPi), rng.uniform(-0.4, 0.4), rng.uniform(0.2, 0.5),
                              rng.uniform(0, 2 * kPi)});
}

MotionPlanner::Track MotionPlanner::makeTrack(size_t i, double cardHalfMm) const {
    const MarkerSpec& m = scene_.markers[i];
    const size_t n = scene_.markers.size();
    const int cols = std::max(1, static_cast<int>(std::lround(std::sqrt(n * double(scene_.width) / scene_.height))));
    const int rows = static_cast<int>((n + cols - 1) / cols);
    const double cw = double(scene_.width) / cols, ch = double(scene_.height) / rows;
    Random rng(Random::mix(scene_.seed, i + 1));
    const double sp = scene_.speed;
    Track k;
    k.uc = cw * (i % cols + 0.5);
    k.vc = ch * (i / cols + 0.5);
    k.ax = 0.2 * cw;
    k.ay = 0.2 * ch;
    k.fu = rng.uniform(0.04, 0.12) * sp;
    k.fv = rng.uniform(0.04, 0.12) * sp;
    k.pu = rng.uniform(0, 2 * kPi);
    k.pv = rng.uniform(0, 2 * kPi);
    double dMin = m.distMin > 0 ? m.distMin : scene_.distMin, dMax = m.distMax > 0 ? m.distMax : scene_.distMax;
    const double px = m.markerPx > 0 ? m.markerPx : scene_.markerPx;
    if (px > 0) {
        dMin = scene_.camera.fx * m.widthMm / px * 0.97;
        dMax = scene_.camera.fx * m.widthMm / px * 1.03;
    } else {  // keep the card inside its cell
        const double fit = scene_.camera.fx * 2 * cardHalfMm / (0.7 * std::min(cw, ch));
        dMin = std::max(dMin, fit);
        dMax = std::max(dMax, dMin);
    }
    // Wander only as far as the card (at its nearest) stays within the cell.
    const double cardPx = scene_.camera.fx * 2 * cardHalfMm / dMin;
    k.ax = std::clamp((cw - cardPx) / 2, 0.0, 0.2 * cw);
    k.ay = std::clamp((ch - cardPx) / 2, 0.0, 0.2 * ch);
    k.zMid = (dMin + dMax) / 2;
    k.zAmp = (dMax - dMin) / 2;
    k.fz = rng.uniform(0.03, 0.08) * sp;
    k.pz = rng.uniform(0, 2 * kPi);
    k.tiltMax = (m.tiltMaxDeg >= 0 ? m.tiltMaxDeg : scene_.tiltMaxDeg) * kPi / 180;
    k.ft = rng.uniform(0.05, 0.1) * sp;
    k.pt = rng.uniform(0, 2 * kPi);
    k.axis0 = rng.uniform(0, 2 * kPi);
    k.fa = rng.uniform(-0.06, 0.06) * sp;
    k.spin0 = rng.uniform(0, 2 * kPi);
    k.spinRate = (m.spinDegPerS >= 0 ? m.spinDegPerS : scene_.spinDegPerS) * kPi / 180 * rng.uniform(-1, 1);
    k.path = m.path == "orbit" ? 1 : m.path == "sweep" ? 2 : m.path == "still" ? 3 : 0;
    return k;
}

bool MotionPlanner::Capsule::contains(double u, double v) const {
    const double dx = x1 - x0, dy = y1 - y0;
    const double len2 = dx * dx + dy * dy;
    const double s = len2 > 0 ? std::clamp(((u - x0) * dx + (v - y0) * dy) / len2, 0.0, 1.0) : 0.0;
    const double ex = u - (x0 + s * dx), ey = v - (y0 + s * dy);
    return ex * ex + ey * ey <= radius * radius;
}

Pose MotionPlanner::markerPose(size_t i, double t) const {
    const Track& k = tracks_.at(i);
    if (k.path == 3) t = 0;
    const double w = 2 * kPi;
    double u = k.uc + k.ax * std::sin(w * k.fu * t + k.pu), v = k.vc + k.ay * std::sin(w * k.fv * t + k.pv);
    if (k.path == 1) {
        u = k.uc + k.ax * std::cos(w * k.fu * t + k.pu);
        v = k.vc + k.ay * std::sin(w * k.fu * t + k.pu);
    } else if (k.path == 2) {
        const double duration = std::max(1.0, double(scene_.frames - 1)) / scene_.fps;
        u = -0.25 * scene_.width + 1.5 * scene_.width * t / duration;
        v = k.vc;
    }
    const double z = k.zMid + k.zAmp * std::sin(w * k.fz * t + k.pz);
    const double pos[3] = {(u - scene_.camera.cx) / scene_.camera.fx * z, (v - scene_.camera.cy) / scene_.camera.fy * z, z};
    double tilt = k.tiltMax * (0.5 + 0.5 * std::sin(w * k.ft * t + k.pt));
    const double axis = k.axis0 + w * k.fa * t, spin = k.spin0 + k.spinRate * t;
    Pose p = Pose::build(tilt, axis, spin, pos);
    const double len = std::sqrt(pos[0] * pos[0] + pos[1] * pos[1] + pos[2] * pos[2]);
    for (int guard = 0; guard < 60; ++guard) {  // never let the card turn edge-on
        const double c = -(p.R[2] * pos[0] + p.R[5] * pos[1] + p.R[8] * pos[2]) / len;
        if (c >= std::cos(kMaxViewAngle)) break;
        tilt *= 0.95;
        p = Pose::build(tilt, axis, spin, pos);
    }
    return p;
}

MotionPlanner::Capsule MotionPlanner::occluder(size_t j, double t) const {
    const OccluderTrack& o = occluders_.at(j);
    const size_t target = j % scene_.markers.size();
    const Pose p = markerPose(target, t);
    double cu, cv;
    scene_.camera.project(p.t, cu, cv);
    const double sizePx = scene_.camera.fx * scene_.markers[target].widthMm / p.t[2];
    const double angle = o.angle0 + o.turnRate * t, reach = sizePx * (0.65 + 0.3 * std::sin(2 * kPi * o.fr * t + o.pr));
    Capsule c;
    c.x0 = cu + reach * std::cos(angle);
    c.y0 = cv + reach * std::sin(angle);
    c.x1 = c.x0 + 4 * sizePx * std::cos(angle);
    c.y1 = c.y0 + 4 * sizePx * std::sin(angle);
    c.radius = 0.16 * sizePx;
    c.colour[0] = 184.f;  // skin-like brightness, 0..255
    c.colour[1] = 133.f;
    c.colour[2] = 107.f;
    return c;
}

}  // namespace vxsynth
