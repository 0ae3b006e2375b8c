#include "MarkerArt.h"

#include <cairo.h>

#include <cassert>
#include <cmath>
#include <functional>
#include <map>

#include "PngFile.h"

namespace vxtools {
namespace {

using Painter = std::function<void(cairo_t*)>;

// All painters draw in a unit square, y down, on white.
void rect(cairo_t* cr, double x, double y, double w, double h) {
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
}

void disc(cairo_t* cr, double x, double y, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, y, r, 0, 2 * M_PI);
    cairo_fill(cr);
}

void polygon(cairo_t* cr, std::initializer_list<double> xy) {
    const double* p = xy.begin();
    cairo_move_to(cr, p[0], p[1]);
    for (size_t i = 2; i + 1 < xy.size(); i += 2) cairo_line_to(cr, p[i], p[i + 1]);
    cairo_close_path(cr);
    cairo_fill(cr);
}

// A bold letter scaled to fill 84 % of the square, centred on its ink.
void letter(cairo_t* cr, const char* text, double r, double g, double b) {
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 1.0);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text, &e);
    const double s = 0.84 / std::max(e.width, e.height);
    cairo_translate(cr, 0.5, 0.5);
    cairo_scale(cr, s, s);
    cairo_move_to(cr, -e.x_bearing - e.width / 2, -e.y_bearing - e.height / 2);
    cairo_set_source_rgb(cr, r, g, b);
    cairo_text_path(cr, text);
    cairo_fill(cr);
}

void corvane(cairo_t* cr) {
    cairo_set_source_rgb(cr, 0.08, 0.12, 0.38);  // dark blue bird
    disc(cr, 0.40, 0.42, 0.27);
    polygon(cr, {0.30, 0.60, 0.62, 0.58, 0.22, 0.86, 0.10, 0.80});
    cairo_set_source_rgb(cr, 0.93, 0.50, 0.05);  // orange beak pointing right
    polygon(cr, {0.62, 0.30, 0.96, 0.44, 0.62, 0.54});
    cairo_set_source_rgb(cr, 1, 1, 1);
    disc(cr, 0.47, 0.33, 0.065);
    cairo_set_source_rgb(cr, 0.08, 0.08, 0.08);  // perch, lower right
    rect(cr, 0.50, 0.84, 0.44, 0.10);
}

void steps(cairo_t* cr) {
    cairo_set_source_rgb(cr, 0, 0, 0);
    rect(cr, 0.06, 0.66, 0.28, 0.28);
    rect(cr, 0.36, 0.40, 0.28, 0.54);
    rect(cr, 0.66, 0.12, 0.28, 0.82);
    disc(cr, 0.45, 0.17, 0.11);
}

void arrow(cairo_t* cr) {
    cairo_set_source_rgb(cr, 0.0, 0.42, 0.16);  // green arrow pointing up
    polygon(cr, {0.40, 0.05, 0.72, 0.40, 0.52, 0.40, 0.52, 0.94, 0.28, 0.94, 0.28, 0.40, 0.08, 0.40});
    cairo_set_source_rgb(cr, 0.70, 0.05, 0.08);  // red block, lower right
    rect(cr, 0.64, 0.62, 0.30, 0.32);
}

void sail(cairo_t* cr) {
    cairo_set_source_rgb(cr, 0.05, 0.20, 0.62);  // blue right triangle, lower left
    polygon(cr, {0.06, 0.94, 0.06, 0.30, 0.70, 0.94});
    cairo_set_source_rgb(cr, 0.78, 0.10, 0.10);  // red sun, upper left
    disc(cr, 0.30, 0.20, 0.15);
    cairo_set_source_rgb(cr, 0.05, 0.20, 0.62);  // blue bar, right edge
    rect(cr, 0.80, 0.06, 0.14, 0.40);
}

void quad(cairo_t* cr) {
    cairo_set_source_rgb(cr, 0, 0, 0);
    rect(cr, 0.06, 0.06, 0.40, 0.40);              // large square, top left
    disc(cr, 0.76, 0.24, 0.14);                    // disc, top right
    polygon(cr, {0.06, 0.56, 0.06, 0.94, 0.44, 0.94});  // triangle, bottom left; bottom right empty
}

const std::map<std::string, Painter>& painters() {
    static const std::map<std::string, Painter> table = {
        {"corvane", corvane},
        {"glyph-f", [](cairo_t* cr) { letter(cr, "F", 0, 0, 0); }},
        {"glyph-r", [](cairo_t* cr) { letter(cr, "R", 0.62, 0.04, 0.10); }},
        {"glyph-k", [](cairo_t* cr) { letter(cr, "K", 0.05, 0.16, 0.55); }},
        {"steps", steps},
        {"arrow", arrow},
        {"sail", sail},
        {"quad", quad},
    };
    return table;
}

Image fromSurface(cairo_surface_t* s, int size) {
    cairo_surface_flush(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    Image out(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const uint32_t p = *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4);
            out.set(x, y, (p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
        }
    return out;
}

}  // namespace

const std::vector<std::string>& MarkerArt::names() {
    static const std::vector<std::string> order = {"corvane", "glyph-f", "arrow", "sail",
                                                   "glyph-r", "glyph-k", "steps", "quad"};
    return order;
}

bool MarkerArt::draw(const std::string& name, int size, Image& out, std::string& error) {
    assert(size > 0 && "MarkerArt::draw: size must be positive");
    const auto it = painters().find(name);
    if (it == painters().end()) {
        std::string known;
        for (const auto& n : names()) known += (known.empty() ? "" : ", ") + n;
        error = "unknown design '" + name + "' (expected one of: " + known + ")";
        return false;
    }
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, size, size);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_scale(cr, size, size);
    it->second(cr);
    cairo_destroy(cr);
    out = fromSurface(s, size);
    cairo_surface_destroy(s);
    return true;
}

bool MarkerArt::load(const std::string& source, int designSize, Image& out, std::string& error) {
    static const std::string prefix = "design:";
    if (source.compare(0, prefix.size(), prefix) == 0)
        return draw(source.substr(prefix.size()), designSize, out, error);
    return PngFile::read(source, out, error);
}

}  // namespace vxtools
