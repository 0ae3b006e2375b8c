#include "vxt/CameraParams.h"

#include <cassert>
#include <cmath>

#include "vxt/TagFile.h"
#include "vxt/TagWriter.h"

namespace vxt {

namespace {

const int kMaxSide = 16384;  // pixels

// Reads exactly `n` numbers after the tag of `line`.
Status readNumbers(const TagFile::Line& line, int n, double* out, const std::string& name) {
    const std::string& tag = line.tokens[0];
    int found = static_cast<int>(line.tokens.size()) - 1;
    if (found != n)
        return Status::failure(name + ": line " + std::to_string(line.number) + ": " + tag +
                               " expects " + std::to_string(n) + " value" + (n > 1 ? "s" : "") +
                               ", found " + std::to_string(found));
    for (int i = 0; i < n; ++i) {
        if (!parseDouble(line.tokens[i + 1], out[i]))
            return Status::failure(name + ": line " + std::to_string(line.number) + ": " + tag +
                                   " expects a finite number, found '" + line.tokens[i + 1] + "'");
    }
    return Status::success();
}

}  // namespace

CameraParams::CameraParams(int width, int height, double fx, double fy, double cx, double cy)
    : width_(width), height_(height), fx_(fx), fy_(fy), cx_(cx), cy_(cy) {}

void CameraParams::setDistortion(double k1, double k2, double p1, double p2, double k3) {
    dist_[0] = k1;
    dist_[1] = k2;
    dist_[2] = p1;
    dist_[3] = p2;
    dist_[4] = k3;
}

bool CameraParams::hasDistortion() const {
    for (double d : dist_)
        if (d != 0.0) return true;
    return false;
}

Status CameraParams::validate() const {
    if (width_ < 1 || height_ < 1 || width_ > kMaxSide || height_ > kMaxSide)
        return Status::failure("image size must be 1.." + std::to_string(kMaxSide) +
                               " pixels per side, found " + std::to_string(width_) + " x " +
                               std::to_string(height_));
    if (!(fx_ > 0.0 && fy_ > 0.0 && fx_ < 1e6 && fy_ < 1e6))
        return Status::failure("focal lengths must be positive and below 1e6 pixels");
    if (!(std::fabs(cx_) < 4.0 * width_ && std::fabs(cy_) < 4.0 * height_))
        return Status::failure("principal point lies far outside the image");
    for (double d : dist_)
        if (!(std::fabs(d) < 1e3)) return Status::failure("distortion coefficients must be below 1000");
    return Status::success();
}

Status CameraParams::parse(const std::string& text, const std::string& name) {
    TagFile tf;
    tf.parse(text);
    CameraParams c;
    bool inBlock = false, ended = false;
    bool have[6] = {false, false, false, false, false, false};  // size fx fy cx cy dist
    for (const TagFile::Line& line : tf.lines()) {
        if (line.tokens.empty() || ended) continue;
        const std::string& tag = line.tokens[0];
        if (!inBlock) {
            if (tag == "<CAMERA_PARAM>") inBlock = true;
            continue;
        }
        double v[5];
        Status s;
        if (tag == "</CAMERA_PARAM>") {
            ended = true;
        } else if (tag == "<SIZE>") {
            s = readNumbers(line, 2, v, name);
            if (s && (v[0] != std::floor(v[0]) || v[1] != std::floor(v[1]) || v[0] < 1 ||
                      v[1] < 1 || v[0] > kMaxSide || v[1] > kMaxSide))
                s = Status::failure(name + ": line " + std::to_string(line.number) +
                                    ": <SIZE> expects two whole numbers 1.." +
                                    std::to_string(kMaxSide));
            if (s) { c.width_ = static_cast<int>(v[0]); c.height_ = static_cast<int>(v[1]); have[0] = true; }
        } else if (tag == "<FX>" || tag == "<FY>" || tag == "<CX>" || tag == "<CY>") {
            s = readNumbers(line, 1, v, name);
            int k = tag == "<FX>" ? 1 : tag == "<FY>" ? 2 : tag == "<CX>" ? 3 : 4;
            double* dst[5] = {nullptr, &c.fx_, &c.fy_, &c.cx_, &c.cy_};
            if (s) { *dst[k] = v[0]; have[k] = true; }
        } else if (tag == "<DISTORTION>") {
            s = readNumbers(line, 5, v, name);
            if (s) { c.setDistortion(v[0], v[1], v[2], v[3], v[4]); have[5] = true; }
        }
        if (!s) return s;
    }
    if (!inBlock) return Status::failure(name + ": expected a <CAMERA_PARAM> block, found none");
    const char* tags[5] = {"<SIZE>", "<FX>", "<FY>", "<CX>", "<CY>"};
    for (int k = 0; k < 5; ++k)
        if (!have[k]) return Status::failure(name + ": missing " + tags[k]);
    Status v = c.validate();
    if (!v) return Status::failure(name + ": " + v.message());
    *this = c;
    return Status::success();
}

Status CameraParams::load(const std::string& path) {
    std::string text;
    Status s = TagFile::readText(path, 1u << 20, text);
    if (!s) return s;
    return parse(text, "'" + path + "'");
}

Status CameraParams::save(const std::string& path, int digits) const {
    Status v = validate();
    if (!v) return v;
    TagWriter w;
    w.tag("<CAMERA_PARAM>").end();
    w.indent();
    w.tag("<VERSION>").value(1LL).end();
    w.tag("<SIZE>").value(static_cast<long long>(width_)).value(static_cast<long long>(height_)).end();
    w.tag("<FX>").value(fx_, digits).end();
    w.tag("<FY>").value(fy_, digits).end();
    w.tag("<CX>").value(cx_, digits).end();
    w.tag("<CY>").value(cy_, digits).end();
    w.tag("<DISTORTION>");
    for (double d : dist_) w.value(d, digits);
    w.end();
    w.unindent();
    w.tag("</CAMERA_PARAM>").end();
    return w.save(path);
}

CameraParams CameraParams::rescaled(int width, int height) const {
    assert(width > 0 && height > 0 && "rescaled: size must be positive");
    assert(width_ > 0 && height_ > 0 && "rescaled: camera has no size");
    CameraParams c = *this;
    double sx = static_cast<double>(width) / width_;
    double sy = static_cast<double>(height) / height_;
    c.width_ = width;
    c.height_ = height;
    c.fx_ = fx_ * sx;
    c.fy_ = fy_ * sy;
    // Continuous pixel coordinates: the image edge is at 0.
    c.cx_ = cx_ * sx;
    c.cy_ = cy_ * sy;
    return c;
}

void CameraParams::projectionMatrix(double n, double f, double out[16]) const {
    assert(n > 0 && f > n && "projectionMatrix: need 0 < near < far");
    // Image edges lie at 0 and width (height).
    const double w = width_, h = height_;
    const double ccx = cx_, ccy = cy_;
    for (int i = 0; i < 16; ++i) out[i] = 0.0;
    out[0] = 2.0 * fx_ / w;
    out[5] = 2.0 * fy_ / h;
    out[8] = 1.0 - 2.0 * ccx / w;
    out[9] = 2.0 * ccy / h - 1.0;
    out[10] = -(f + n) / (f - n);
    out[11] = -1.0;
    out[14] = -2.0 * f * n / (f - n);
}

void CameraParams::idealToObserved(double ix, double iy, double& ox, double& oy) const {
    double x = (ix - cx_) / fx_, y = (iy - cy_) / fy_;
    double r2 = x * x + y * y;
    double radial = 1.0 + r2 * (dist_[0] + r2 * (dist_[1] + r2 * dist_[4]));
    double dx = 2.0 * dist_[2] * x * y + dist_[3] * (r2 + 2.0 * x * x);
    double dy = dist_[2] * (r2 + 2.0 * y * y) + 2.0 * dist_[3] * x * y;
    ox = (x * radial + dx) * fx_ + cx_;
    oy = (y * radial + dy) * fy_ + cy_;
}

void CameraParams::observedToIdeal(double ox, double oy, double& ix, double& iy) const {
    double xd = (ox - cx_) / fx_, yd = (oy - cy_) / fy_;
    double x = xd, y = yd;
    if (hasDistortion()) {
        // Fixed-point inversion of the lens model.
        for (int it = 0; it < 30; ++it) {
            double r2 = x * x + y * y;
            double radial = 1.0 + r2 * (dist_[0] + r2 * (dist_[1] + r2 * dist_[4]));
            double dx = 2.0 * dist_[2] * x * y + dist_[3] * (r2 + 2.0 * x * x);
            double dy = dist_[2] * (r2 + 2.0 * y * y) + 2.0 * dist_[3] * x * y;
            if (!(std::fabs(radial) > 1e-9)) break;
            double nx = (xd - dx) / radial, ny = (yd - dy) / radial;
            bool done = std::fabs(nx - x) < 1e-12 && std::fabs(ny - y) < 1e-12;
            x = nx;
            y = ny;
            if (done) break;
        }
    }
    ix = x * fx_ + cx_;
    iy = y * fy_ + cy_;
}

}  // namespace vxt
