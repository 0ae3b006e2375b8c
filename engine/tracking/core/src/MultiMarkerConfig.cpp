#include "vxt/MultiMarkerConfig.h"

#include <cmath>
#include <cstdio>

#include "vxt/PatternSet.h"
#include "vxt/TagFile.h"
#include "vxt/TagWriter.h"

namespace vxt {

namespace {

// True when the 3x3 part is a rotation (orthonormal, determinant +1).
bool isRigid(const Pose34& p) {
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            double dot = p.m[0][i] * p.m[0][j] + p.m[1][i] * p.m[1][j] + p.m[2][i] * p.m[2][j];
            if (std::fabs(dot - (i == j ? 1.0 : 0.0)) > 1e-3) return false;
        }
    }
    double det = p.m[0][0] * (p.m[1][1] * p.m[2][2] - p.m[1][2] * p.m[2][1]) -
                 p.m[0][1] * (p.m[1][0] * p.m[2][2] - p.m[1][2] * p.m[2][0]) +
                 p.m[0][2] * (p.m[1][0] * p.m[2][1] - p.m[1][1] * p.m[2][0]);
    return det > 0;
}

bool fileExists(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::fclose(f);
    return true;
}

std::string resolvePattern(const std::string& file, const std::string& baseDir) {
    if (!file.empty() && file[0] != '/' && !baseDir.empty()) {
        std::string beside = baseDir + "/" + file;
        if (fileExists(beside)) return beside;
    }
    return file;
}

struct Pending {
    MultiMarkerConfig::SubMarker sub;
    bool haveWidth = false, havePlacement = false;
};

Status readValues(const TagFile::Line& line, int n, double* v, const std::string& name) {
    int found = static_cast<int>(line.tokens.size()) - 1;
    std::string where = name + ": line " + std::to_string(line.number) + ": ";
    if (found != n)
        return Status::failure(where + line.tokens[0] + " expects " + std::to_string(n) + " value" +
                               (n > 1 ? "s" : "") + ", found " + std::to_string(found));
    for (int i = 0; i < n; ++i)
        if (!parseDouble(line.tokens[i + 1], v[i]))
            return Status::failure(where + line.tokens[0] + " expects a finite number, found '" +
                                   line.tokens[i + 1] + "'");
    return Status::success();
}

}  // namespace

bool MultiMarkerConfig::addSubMarker(const std::string& patternFile, int patternId, double width,
                                     const double centre[2], const Pose34& placement) {
    if (count() >= kMaxSubMarkers || !(width > 0) || !isRigid(placement)) return false;
    SubMarker s;
    s.patternFile = patternFile;
    s.patternId = patternId;
    s.width = width;
    s.centre[0] = centre[0];
    s.centre[1] = centre[1];
    s.placement = placement;
    poseInverse(placement, s.inversePlacement);
    markers_.push_back(s);
    return true;
}

void MultiMarkerConfig::release(PatternSet& patterns) {
    for (const SubMarker& s : markers_)
        if (s.patternId >= 0) patterns.free(s.patternId);
    markers_.clear();
}

Status MultiMarkerConfig::parse(const std::string& text, const std::string& name, const std::string& baseDir,
                                PatternSet& patterns) {
    TagFile tf;
    tf.parse(text);
    std::vector<Pending> subs;
    bool inBlock = false, inMarker = false, ended = false;
    Pending cur;
    for (const TagFile::Line& line : tf.lines()) {
        if (line.tokens.empty() || ended) continue;
        const std::string& tag = line.tokens[0];
        std::string where = name + ": line " + std::to_string(line.number) + ": ";
        if (!inBlock) {
            inBlock = tag == "<MULTI_MARKER>";
            continue;
        }
        if (!inMarker) {
            if (tag == "</MULTI_MARKER>") ended = true;
            if (tag != "<MARKER>") continue;
            if (static_cast<int>(subs.size()) >= kMaxSubMarkers)
                return Status::failure(where + "more than " + std::to_string(kMaxSubMarkers) + " <MARKER> blocks");
            inMarker = true;
            cur = Pending();
            continue;
        }
        double v[12];
        Status s;
        if (tag == "</MARKER>") {
            if (cur.sub.patternFile.empty()) return Status::failure(where + "<MARKER> block without <PATTERN>");
            if (!cur.haveWidth) return Status::failure(where + "<MARKER> block without <WIDTH>");
            if (!cur.havePlacement) return Status::failure(where + "<MARKER> block without <PLACEMENT>");
            subs.push_back(cur);
            inMarker = false;
        } else if (tag == "<PATTERN>") {
            if (line.tokens.size() != 2) return Status::failure(where + "<PATTERN> expects one file name");
            cur.sub.patternFile = line.tokens[1];
        } else if (tag == "<WIDTH>") {
            s = readValues(line, 1, v, name);
            if (s && !(v[0] > 0 && v[0] < 1e6)) s = Status::failure(where + "<WIDTH> must be above 0 and below 1e6");
            if (s) { cur.sub.width = v[0]; cur.haveWidth = true; }
        } else if (tag == "<CENTER>") {
            s = readValues(line, 2, v, name);
            if (s) { cur.sub.centre[0] = v[0]; cur.sub.centre[1] = v[1]; }
        } else if (tag == "<PLACEMENT>") {
            s = readValues(line, 12, v, name);
            for (int i = 0; s && i < 12; ++i) cur.sub.placement.m[i / 4][i % 4] = v[i];
            if (s && !isRigid(cur.sub.placement))
                s = Status::failure(where + "<PLACEMENT> is not a rotation plus translation");
            if (s) cur.havePlacement = true;
        }
        if (!s) return s;
    }
    if (!inBlock) return Status::failure(name + ": expected a <MULTI_MARKER> block, found none");
    if (inMarker) return Status::failure(name + ": <MARKER> block not closed");
    if (subs.empty()) return Status::failure(name + ": no <MARKER> blocks");
    // Load every pattern; on any failure free the ones loaded so far.
    MultiMarkerConfig loaded;
    for (Pending& p : subs) {
        Status why;
        int id = patterns.load(resolvePattern(p.sub.patternFile, baseDir), &why);
        if (id < 0) {
            loaded.release(patterns);
            return Status::failure("Error; unable to load pattern '" + p.sub.patternFile +
                                   "' while setting up multi-marker '" + name + "'");
        }
        loaded.addSubMarker(p.sub.patternFile, id, p.sub.width, p.sub.centre, p.sub.placement);
    }
    *this = loaded;
    return Status::success();
}

Status MultiMarkerConfig::load(const std::string& path, PatternSet& patterns) {
    std::string text;
    Status s = TagFile::readText(path, 1u << 20, text);
    if (!s) return s;
    std::size_t slash = path.find_last_of('/');
    std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash);
    return parse(text, path, dir, patterns);
}

Status MultiMarkerConfig::save(const std::string& path) const {
    TagWriter w;
    w.tag("<MULTI_MARKER>").end();
    w.indent();
    w.tag("<VERSION>").value(1LL).end();
    for (const SubMarker& s : markers_) {
        w.tag("<MARKER>").end();
        w.indent();
        w.tag("<PATTERN>").value(s.patternFile).end();
        w.tag("<WIDTH>").value(s.width, 15).end();
        w.tag("<CENTER>").value(s.centre[0], 15).value(s.centre[1], 15).end();
        w.tag("<PLACEMENT>");
        for (int i = 0; i < 12; ++i) w.value(s.placement.m[i / 4][i % 4], 15);
        w.end();
        w.unindent();
        w.tag("</MARKER>").end();
    }
    w.unindent();
    w.tag("</MULTI_MARKER>").end();
    return w.save(path);
}

}  // namespace vxt
