#include "CardTexture.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "CommandLine.h"
#include "PrintedMarker.h"

namespace vxsynth {
namespace {

// Bounding box of the pixels darker than half grey; false when there are none.
bool darkBox(const vxtools::Image& img, int& x0, int& y0, int& x1, int& y1) {
    x0 = img.width();
    y0 = img.height();
    x1 = y1 = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const uint8_t* p = img.pixel(x, y);
            if (p[0] + p[1] + p[2] < 3 * 128) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
        }
    return x1 >= 0;
}

bool parseBox(const std::string& text, char sep, double& x0, double& y0, double& side) {
    std::string t = text;
    std::replace(t.begin(), t.end(), sep, ' ');
    std::istringstream in(t);
    std::string a, b, c, rest;
    in >> a >> b >> c;
    return !(in >> rest) && vxtools::CommandLine::toDouble(a, x0) && vxtools::CommandLine::toDouble(b, y0) &&
           vxtools::CommandLine::toDouble(c, side) && side > 0;
}

}  // namespace

bool CardTexture::findBox(const vxtools::Image& pic, const vxtools::PngFile::TextChunks& text, const std::string& box,
                          double& x0, double& y0, double& side, std::string& error) const {
    if (box == "full") {
        x0 = y0 = 0;
        side = pic.width();
    } else if (box != "auto") {
        if (!parseBox(box, ':', x0, y0, side)) {
            error = "box expects X:Y:SIDE with a positive SIDE, found '" + box + "'";
            return false;
        }
    } else if (text.count(vxtools::PrintedMarker::kBoxKey)) {
        if (!parseBox(text.at(vxtools::PrintedMarker::kBoxKey), ' ', x0, y0, side)) {
            error = "the picture's marker box '" + text.at(vxtools::PrintedMarker::kBoxKey) +
                    "' is malformed (expected X Y SIDE)";
            return false;
        }
    } else {
        int bx0, by0, bx1, by1;
        if (!darkBox(pic, bx0, by0, bx1, by1)) {
            error = "the picture has no dark marker border (expected a black square; give box=full or box=X:Y:SIDE)";
            return false;
        }
        if (std::abs((bx1 - bx0) - (by1 - by0)) > 1) {
            std::ostringstream s;
            s << "the dark area of the picture is " << bx1 - bx0 + 1 << "x" << by1 - by0 + 1
              << " pixels (expected a square marker; give box=X:Y:SIDE)";
            error = s.str();
            return false;
        }
        x0 = bx0;
        y0 = by0;
        side = std::max(bx1 - bx0, by1 - by0) + 1;
    }
    if (x0 < 0 || y0 < 0 || x0 + side > pic.width() + 1e-9 || y0 + side > pic.height() + 1e-9) {
        std::ostringstream s;
        s << "marker box " << x0 << ":" << y0 << ":" << side << " lies outside the " << pic.width() << "x"
          << pic.height() << " picture";
        error = s.str();
        return false;
    }
    return true;
}

bool CardTexture::build(const vxtools::Image& pic, const vxtools::PngFile::TextChunks& text, const std::string& box,
                        double widthMm, double cardScale, std::string& error) {
    double x0, y0, side;
    if (!findBox(pic, text, box, x0, y0, side, error)) return false;
    width_ = pic.width();
    height_ = pic.height();
    texels_.resize(size_t(width_) * height_ * 3);
    for (size_t i = 0; i < texels_.size(); ++i) texels_[i] = 255.0f * kInk + (kPaper - kInk) * pic.data()[i];
    widthMm_ = widthMm;
    texPerMm_ = side / widthMm;
    boxCx_ = x0 + side / 2;
    boxCy_ = y0 + side / 2;
    // The card covers the whole picture and at least cardScale marker widths.
    const double reach = std::max({boxCx_, width_ - boxCx_, boxCy_, height_ - boxCy_}) / texPerMm_;
    cardHalfMm_ = std::max(cardScale * widthMm / 2, reach);
    cardS0_ = boxCx_ - cardHalfMm_ * texPerMm_;
    cardS1_ = boxCx_ + cardHalfMm_ * texPerMm_;
    cardT0_ = boxCy_ - cardHalfMm_ * texPerMm_;
    cardT1_ = boxCy_ + cardHalfMm_ * texPerMm_;
    innerS0_ = boxCx_ - side / 4;
    innerS1_ = boxCx_ + side / 4;
    innerT0_ = boxCy_ - side / 4;
    innerT1_ = boxCy_ + side / 4;
    return true;
}

}  // namespace vxsynth
