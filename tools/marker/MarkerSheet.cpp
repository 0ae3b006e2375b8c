#include "MarkerSheet.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "AtomicFile.h"
#include "Resampler.h"

namespace vxtools {
namespace {

constexpr double kPt = 72.0 / 25.4;     // points per mm
constexpr double kPageMarginMm = 8.0;
constexpr double kGapMm = 0.0;  // neighbours share their cutting line
constexpr double kCell = 1.125;  // cell side / marker width: quiet zone of 1/16 of the width per side
constexpr double kLabelMm = 7.0;
constexpr double kFooterMm = 10.0;

double cellWidthMm(double w) { return w * kCell; }
double cellHeightMm(double w) { return w * kCell + kLabelMm; }

// Paints `img` into the square (x, y, side) in mm, pixels kept sharp.
void paintPicture(cairo_t* cr, const Image& img, double x, double y, double side) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, img.width(), img.height());
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int r = 0; r < img.height(); ++r)
        for (int c = 0; c < img.width(); ++c) {
            const uint8_t* p = img.pixel(c, r);
            *reinterpret_cast<uint32_t*>(data + r * stride + c * 4) =
                (0xFFu << 24) | (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
        }
    cairo_surface_mark_dirty(s);
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, side / img.width(), side / img.height());
    cairo_set_source_surface(cr, s, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_rectangle(cr, 0, 0, img.width(), img.height());
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_surface_destroy(s);
}

void centredText(cairo_t* cr, const std::string& text, double cx, double baseline, double sizeMm) {
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, sizeMm);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    cairo_move_to(cr, cx - e.x_advance / 2, baseline);
    cairo_show_text(cr, text.c_str());
}

void drawMarker(cairo_t* cr, const MarkerSheet::Entry& entry, double x, double y, double w) {
    const double q = w * (kCell - 1) / 2;
    cairo_set_source_rgb(cr, 0.75, 0.75, 0.75);  // cutting line around the quiet zone
    cairo_set_line_width(cr, 0.2);
    const double dash[] = {1.5, 1.5};
    cairo_set_dash(cr, dash, 2, 0);
    cairo_rectangle(cr, x, y, w * kCell, w * kCell);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_rectangle(cr, x + q, y + q, w, w);
    cairo_fill(cr);
    const Image& in = entry.inner;
    paintPicture(cr, in.width() == in.height() ? in : Resampler::fitSquare(in, std::max(in.width(), in.height())),
                 x + q + w / 4, y + q + w / 4, w / 2);
    cairo_set_source_rgb(cr, 0, 0, 0);
    centredText(cr, entry.name, x + w * kCell / 2, y + w * kCell + 5.0, 4.0);
}

std::string footerText(double w) {
    std::ostringstream s;
    s << "Vexamark markers - marker width " << w
      << " mm (outer edge of the black border). Print at 100 % scale, no fitting to the page.";
    return s.str();
}

}  // namespace

double MarkerSheet::maxWidthMm() {
    return std::min((kPageWidthMm - 2 * kPageMarginMm) / kCell,
                    (kPageHeightMm - 2 * kPageMarginMm - kFooterMm - kLabelMm) / kCell);
}

int MarkerSheet::columns() const {
    return static_cast<int>(std::floor((kPageWidthMm - 2 * kPageMarginMm + kGapMm) / (cellWidthMm(widthMm_) + kGapMm)));
}

int MarkerSheet::rows() const {
    return static_cast<int>(
        std::floor((kPageHeightMm - 2 * kPageMarginMm - kFooterMm + kGapMm) / (cellHeightMm(widthMm_) + kGapMm)));
}

int MarkerSheet::perPage() const {
    return widthMm_ > 0 ? std::max(0, columns()) * std::max(0, rows()) : 0;
}

bool MarkerSheet::write(const std::string& path, const std::vector<Entry>& entries, std::string& error) const {
    if (perPage() == 0) {
        std::ostringstream s;
        s << "a marker width of " << widthMm_ << " mm does not fit on an A4 page (expected at most "
          << std::floor(maxWidthMm()) << " mm)";
        error = s.str();
        return false;
    }
    return AtomicFile::write(path, [&](const std::string& tmp, std::string& err) {
        cairo_surface_t* pdf = cairo_pdf_surface_create(tmp.c_str(), kPageWidthMm * kPt, kPageHeightMm * kPt);
        cairo_t* cr = cairo_create(pdf);
        cairo_scale(cr, kPt, kPt);  // draw in mm
        const int cols = columns(), per = perPage();
        const double usedW = cols * cellWidthMm(widthMm_) + (cols - 1) * kGapMm;
        const double left = (kPageWidthMm - usedW) / 2;
        for (size_t i = 0; i < entries.size(); ++i) {
            const int slot = static_cast<int>(i % per);
            const double x = left + (slot % cols) * (cellWidthMm(widthMm_) + kGapMm);
            const double y = kPageMarginMm + (slot / cols) * (cellHeightMm(widthMm_) + kGapMm);
            drawMarker(cr, entries[i], x, y, widthMm_);
            if (slot == per - 1 || i + 1 == entries.size()) {
                cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
                centredText(cr, footerText(widthMm_), kPageWidthMm / 2, kPageHeightMm - kPageMarginMm, 3.0);
                cairo_show_page(cr);
            }
        }
        cairo_destroy(cr);
        cairo_surface_finish(pdf);
        const cairo_status_t st = cairo_surface_status(pdf);
        cairo_surface_destroy(pdf);
        if (st != CAIRO_STATUS_SUCCESS) {
            err = "cannot write '" + path + "': " + cairo_status_to_string(st);
            return false;
        }
        return true;
    }, error);
}

}  // namespace vxtools
