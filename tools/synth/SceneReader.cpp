#include "SceneReader.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <fstream>
#include <sstream>

#include "MarkerArt.h"

namespace vxsynth {

using vxtools::CommandLine;

namespace {

bool number(const std::string& key, const std::string& text, double lo, double hi, double& out, std::string& error) {
    double v = 0;
    if (!CommandLine::toDouble(text, v) || v < lo || v > hi) {
        std::ostringstream s;
        s << key << " expects a number in " << lo << ".." << hi << ", found '" << text << "'";
        error = s.str();
        return false;
    }
    out = v;
    return true;
}

// Reads "MIN:MAX" with lo <= MIN <= MAX <= hi.
bool range(const std::string& key, const std::string& text, double lo, double hi, double& a, double& b,
           std::string& error) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos ||
        !number(key, text.substr(0, colon), lo, hi, a, error) ||
        !number(key, text.substr(colon + 1), lo, hi, b, error) || a > b) {
        std::ostringstream s;
        s << key << " expects MIN:MAX with " << lo << " <= MIN <= MAX <= " << hi << ", found '" << text << "'";
        error = s.str();
        return false;
    }
    return true;
}

bool markerKey(const std::string& key, const std::string& val, MarkerSpec& m, std::string& error) {
    if (key == "width") return number("width", val, 1, 10000, m.widthMm, error);
    if (key == "card") return number("card", val, 1, 10, m.cardScale, error);
    if (key == "distance") return range("distance", val, 10, 1e6, m.distMin, m.distMax, error);
    if (key == "tilt") return number("tilt", val, 0, 85, m.tiltMaxDeg, error);
    if (key == "spin") return number("spin", val, 0, 3600, m.spinDegPerS, error);
    if (key == "px") return number("px", val, 4, 10000, m.markerPx, error);
    if (key == "box") {
        m.box = val;
        if (val == "auto" || val == "full" || std::count(val.begin(), val.end(), ':') == 2) return true;
        error = "box expects auto, full or X:Y:SIDE, found '" + val + "'";
        return false;
    }
    if (key == "path") {
        m.path = val;
        if (val == "drift" || val == "orbit" || val == "sweep" || val == "still") return true;
        error = "path expects drift, orbit, sweep or still, found '" + val + "'";
        return false;
    }
    error = "unknown marker setting '" + key +
            "' (expected width, card, box, distance, tilt, spin, px or path)";
    return false;
}

template <typename T>
bool scalar(const CommandLine& cl, const std::string& opt, T& out, double lo, double hi, std::string& error) {
    if (!cl.has(opt)) return true;
    double v = out;
    if (!number(opt, cl.value(opt), lo, hi, v, error)) return false;
    out = static_cast<T>(v);
    if (std::is_integral<T>::value && static_cast<double>(out) != v) {
        error = opt + " expects a whole number, found '" + cl.value(opt) + "'";
        return false;
    }
    return true;
}

bool applyGeometry(const CommandLine& cl, SynthScene& s, std::string& error) {
    if (cl.has("--size")) {
        double w, h;
        if (!number("--size", cl.value("--size", 0), 16, 8192, w, error) ||
            !number("--size", cl.value("--size", 1), 16, 8192, h, error))
            return false;
        s.width = static_cast<int>(w);
        s.height = static_cast<int>(h);
    }
    if (cl.has("--intrinsics")) {
        double v[4];
        for (size_t i = 0; i < 4; ++i)
            if (!number("--intrinsics", cl.value("--intrinsics", i), i < 2 ? 1 : -1e5, 1e5, v[i], error)) return false;
        s.camera.fx = v[0];
        s.camera.fy = v[1];
        s.camera.cx = v[2];
        s.camera.cy = v[3];
        s.centreSet = true;
    }
    if (cl.has("--distortion")) {
        double v[5];
        for (size_t i = 0; i < 5; ++i)
            if (!number("--distortion", cl.value("--distortion", i), -10, 10, v[i], error)) return false;
        s.camera.k1 = v[0];
        s.camera.k2 = v[1];
        s.camera.p1 = v[2];
        s.camera.p2 = v[3];
        s.camera.k3 = v[4];
    }
    if (cl.has("--distance") &&
        (!number("--distance", cl.value("--distance", 0), 10, 1e6, s.distMin, error) ||
         !number("--distance", cl.value("--distance", 1), s.distMin, 1e6, s.distMax, error)))
        return false;
    return true;
}

bool applyConditions(const CommandLine& cl, SynthScene& s, std::string& error) {
    if (cl.has("--background")) {
        s.background = cl.value("--background");
        if (s.background != "wood" && s.background != "cloth" && s.background != "flat") {
            error = "--background expects wood, cloth or flat, found '" + s.background + "'";
            return false;
        }
    }
    if (cl.has("--motion-blur") &&
        (!number("--motion-blur", cl.value("--motion-blur", 0), 0, 100, s.motionBlurPx, error) ||
         !number("--motion-blur", cl.value("--motion-blur", 1), -360, 360, s.motionBlurAngleDeg, error)))
        return false;
    if (cl.has("--lighting") &&
        (!number("--lighting", cl.value("--lighting", 0), 0, 4, s.lightMin, error) ||
         !number("--lighting", cl.value("--lighting", 1), 0, 4, s.lightMax, error) ||
         !number("--lighting", cl.value("--lighting", 2), -360, 360, s.lightAngleDeg, error)))
        return false;
    if (cl.has("--frame-code")) s.frameCode = true;
    return scalar(cl, "--noise", s.noiseSigma, 0, 128, error) && scalar(cl, "--blur", s.blurSigma, 0, 50, error) &&
           scalar(cl, "--shutter", s.shutter, 0, 1, error) && scalar(cl, "--occluders", s.occluders, 0, 64, error) &&
           scalar(cl, "--occlusion-limit", s.occlusionLimit, 0, 1, error) &&
           scalar(cl, "--quality", s.quality, 1, 100, error) && scalar(cl, "--threads", s.threads, 1, 64, error);
}

bool isAbsoluteOrDesign(const std::string& source) {
    return source.empty() || source[0] == '/' || source.compare(0, 7, "design:") == 0;
}

}  // namespace

const std::map<std::string, int>& SceneReader::arity() {
    static const std::map<std::string, int> table = {
        {"--size", 2},     {"--frames", 1},     {"--fps", 1},        {"--seed", 1},
        {"--intrinsics", 4}, {"--distortion", 5}, {"--marker", 1},   {"--distance", 2},
        {"--tilt", 1},     {"--spin", 1},       {"--speed", 1},      {"--marker-px", 1},
        {"--background", 1}, {"--lighting", 3}, {"--noise", 1},      {"--blur", 1},
        {"--shutter", 1},  {"--occluders", 1},  {"--occlusion-limit", 1}, {"--quality", 1},
        {"--threads", 1},  {"--motion-blur", 2}, {"--frame-code", 0},
    };
    return table;
}

bool SceneReader::parseMarker(const std::string& text, MarkerSpec& out, std::string& error) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : text + ",") {
        if (c == ',' || c == ' ' || c == '\t') {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    const size_t eq = parts.empty() ? std::string::npos : parts[0].find('=');
    if (eq == std::string::npos || eq == 0 || eq + 1 == parts[0].size()) {
        error = "marker expects NAME=PICTURE[,key=value...], found '" + text + "'";
        return false;
    }
    MarkerSpec m;
    m.name = parts[0].substr(0, eq);
    m.source = parts[0].substr(eq + 1);
    for (size_t i = 1; i < parts.size(); ++i) {
        const size_t e = parts[i].find('=');
        if (e == std::string::npos) {
            error = "marker setting expects key=value, found '" + parts[i] + "'";
            return false;
        }
        if (!markerKey(parts[i].substr(0, e), parts[i].substr(e + 1), m, error)) return false;
    }
    out = m;
    return true;
}

bool SceneReader::apply(const CommandLine& cl, SynthScene& s, std::string& error, const std::string& baseDir) {
    double seed = static_cast<double>(s.seed);
    if (!applyGeometry(cl, s, error) || !applyConditions(cl, s, error) ||
        !scalar(cl, "--frames", s.frames, 1, 1e6, error) || !scalar(cl, "--fps", s.fps, 0.1, 1000, error) ||
        !scalar(cl, "--seed", seed, 0, 4294967295.0, error) || !scalar(cl, "--tilt", s.tiltMaxDeg, 0, 85, error) ||
        !scalar(cl, "--spin", s.spinDegPerS, 0, 3600, error) || !scalar(cl, "--speed", s.speed, 0, 100, error) ||
        !scalar(cl, "--marker-px", s.markerPx, 0, 10000, error))
        return false;
    if (seed != std::floor(seed)) {
        error = "--seed expects a whole number, found '" + cl.value("--seed") + "'";
        return false;
    }
    s.seed = static_cast<uint64_t>(seed);
    for (const auto& occ : cl.all("--marker")) {
        MarkerSpec m;
        if (!parseMarker(occ[0], m, error)) return false;
        if (!isAbsoluteOrDesign(m.source)) m.source = baseDir + m.source;
        s.markers.push_back(m);
    }
    return true;
}

bool SceneReader::readFile(const std::string& path, SynthScene& scene, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot open scene file '" + path + "'";
        return false;
    }
    const size_t slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        const size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        std::replace(line.begin(), line.end(), '\r', ' ');  // files written on Windows
        std::istringstream words(line);
        std::vector<std::string> args;
        for (std::string w; words >> w;) args.push_back(args.empty() ? "--" + w : w);
        if (args.empty()) continue;
        if (args[0] == "--marker" && args.size() > 2) {  // "marker NAME=PIC key=value ..." on one line
            std::string joined = args[1];
            for (size_t i = 2; i < args.size(); ++i) joined += "," + args[i];
            args = {"--marker", joined};
        }
        const auto it = arity().find(args[0]);
        CommandLine cl;
        std::string err;
        if (it == arity().end()) {
            err = "unknown setting '" + args[0].substr(2) + "'";
        } else if (args.size() != static_cast<size_t>(it->second) + 1) {
            err = args[0].substr(2) + " expects " + std::to_string(it->second) + " value(s), found " +
                  std::to_string(args.size() - 1);
        } else if (cl.parse(args, arity(), err)) {
            apply(cl, scene, err, dir);
        }
        if (!err.empty()) {
            error = path + ":" + std::to_string(n) + ": " + err;
            return false;
        }
    }
    return true;
}

bool SceneReader::applyPreset(const std::string& name, SynthScene& s, std::string& error) {
    if (name != "demo") {
        error = "unknown preset '" + name + "' (expected demo)";
        return false;
    }
    s = SynthScene();
    s.width = 640;
    s.height = 480;
    s.frames = 250;
    s.fps = 25;
    s.seed = 2026;
    s.distMin = 450;
    s.distMax = 750;
    s.tiltMaxDeg = 40;
    s.spinDegPerS = 8;
    s.speed = 0.5;
    s.background = "wood";
    s.lightMin = 0.85;
    s.lightMax = 1.05;
    s.lightAngleDeg = 30;
    s.noiseSigma = 2;
    s.shutter = 0.3;
    const auto& names = vxtools::MarkerArt::names();
    for (size_t i = 0; i < 4; ++i) {
        MarkerSpec m;
        m.name = names[i];
        m.source = "design:" + names[i];
        s.markers.push_back(m);
    }
    return true;
}

}  // namespace vxsynth
