#include "HudPictures.h"

#include "HudCanvas.h"

#include <cmath>
#include <functional>
#include <map>
#include <string>

namespace hudpictures
{
namespace
{
const Rgba kFaceTop{0.170, 0.205, 0.250, 0.97};
const Rgba kFaceBottom{0.118, 0.145, 0.182, 0.97};
const Rgba kEdge{1.0, 1.0, 1.0, 0.13};
const Rgba kTopLight{1.0, 1.0, 1.0, 0.10};
const Rgba kAccent{0.180, 0.620, 0.920, 1.0};
const Rgba kAccentDark{0.110, 0.450, 0.720, 1.0};
const Rgba kGreen{0.200, 0.690, 0.430, 1.0};
const Rgba kGreenDark{0.130, 0.520, 0.310, 1.0};
const Rgba kRed{0.880, 0.300, 0.320, 1.0};
const Rgba kRedDark{0.680, 0.200, 0.220, 1.0};
const Rgba kGlyph{0.940, 0.955, 0.970, 1.0};
const Rgba kGlyphDim{0.560, 0.600, 0.650, 1.0};
const Rgba kField{0.060, 0.078, 0.100, 0.93};
const Rgba kShadow{0.0, 0.0, 0.0, 0.55};

using Glyph = std::function<void(HudCanvas&, double cx, double cy, double size, Rgba colour)>;

// A rounded face filling the picture less its shadow margin, with a glyph
// drawn in its middle.
osg::Image* face(int w, int h, double radiusShare, Rgba top, Rgba bottom, const Glyph& glyph = nullptr,
                 Rgba glyphColour = kGlyph)
{
    HudCanvas c(w, h);
    const double m = std::min(w, h) * 0.085;
    const double x = m, y = m * 0.8, fw = w - 2 * m, fh = h - 2 * m;
    const double r = std::min(fw, fh) * radiusShare;
    c.SoftShadow(
        [&](cairo_t* cr) {
            cairo_new_sub_path(cr);
            const double rr = std::min(r, std::min(fw, fh) / 2);
            cairo_arc(cr, x + fw - rr, y + rr, rr, -M_PI / 2, 0);
            cairo_arc(cr, x + fw - rr, y + fh - rr, rr, 0, M_PI / 2);
            cairo_arc(cr, x + rr, y + fh - rr, rr, M_PI / 2, M_PI);
            cairo_arc(cr, x + rr, y + rr, rr, M_PI, 3 * M_PI / 2);
            cairo_close_path(cr);
        },
        m * 0.9, 0, m * 0.35, kShadow);
    c.RoundedRect(x, y, fw, fh, r);
    c.FillVertical(y, y + fh, top, bottom);
    c.RoundedRect(x + 1, y + 1, fw - 2, fh - 2, r - 1);
    c.Stroke(kEdge, std::max(1.5, std::min(w, h) / 128.0));
    // A faint light along the top edge.
    cairo_t* cr = c.Cairo();
    cairo_move_to(cr, x + r, y + 2.5);
    cairo_line_to(cr, x + fw - r, y + 2.5);
    c.Stroke(kTopLight, std::max(1.5, std::min(w, h) / 100.0));
    if (glyph) glyph(c, w * 0.5, y + fh * 0.5, std::min(fw, fh), glyphColour);
    return c.ToImage();
}

osg::Image* disc(int size, Rgba top, Rgba bottom, const Glyph& glyph = nullptr, Rgba ring = kEdge)
{
    HudCanvas c(size, size);
    const double m = size * 0.09, r = size * 0.5 - m;
    c.SoftShadow([&](cairo_t* cr) { cairo_arc(cr, size * 0.5, size * 0.5, r, 0, 2 * M_PI); }, m * 0.9, 0, m * 0.35,
                 kShadow);
    cairo_t* cr = c.Cairo();
    cairo_arc(cr, size * 0.5, size * 0.5, r, 0, 2 * M_PI);
    c.FillVertical(size * 0.5 - r, size * 0.5 + r, top, bottom);
    cairo_arc(cr, size * 0.5, size * 0.5, r - size * 0.012, 0, 2 * M_PI);
    c.Stroke(ring, size * 0.024);
    if (glyph) glyph(c, size * 0.5, size * 0.5, 2 * r, kGlyph);
    return c.ToImage();
}

void roundStroke(HudCanvas& c, Rgba colour, double width)
{
    cairo_set_line_cap(c.Cairo(), CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(c.Cairo(), CAIRO_LINE_JOIN_ROUND);
    c.Stroke(colour, width);
}

// ---- glyphs: centred at (x, y) in a face `s` across ----
void chevron(HudCanvas& c, double x, double y, double s, Rgba colour, bool up)
{
    const double d = up ? -1 : 1, w = s * 0.2, h = s * 0.11;
    cairo_move_to(c.Cairo(), x - w, y - d * h);
    cairo_line_to(c.Cairo(), x, y + d * h);
    cairo_line_to(c.Cairo(), x + w, y - d * h);
    roundStroke(c, colour, s * 0.085);
}

void plusMinus(HudCanvas& c, double x, double y, double s, Rgba colour, bool plus)
{
    const double w = s * 0.22;
    cairo_move_to(c.Cairo(), x - w, y);
    cairo_line_to(c.Cairo(), x + w, y);
    if (plus)
    {
        cairo_move_to(c.Cairo(), x, y - w);
        cairo_line_to(c.Cairo(), x, y + w);
    }
    roundStroke(c, colour, s * 0.085);
}

void check(HudCanvas& c, double x, double y, double s, Rgba colour)
{
    cairo_move_to(c.Cairo(), x - s * 0.2, y + s * 0.01);
    cairo_line_to(c.Cairo(), x - s * 0.06, y + s * 0.15);
    cairo_line_to(c.Cairo(), x + s * 0.22, y - s * 0.14);
    roundStroke(c, colour, s * 0.09);
}

void cross(HudCanvas& c, double x, double y, double s, Rgba colour)
{
    const double w = s * 0.16;
    cairo_move_to(c.Cairo(), x - w, y - w);
    cairo_line_to(c.Cairo(), x + w, y + w);
    cairo_move_to(c.Cairo(), x + w, y - w);
    cairo_line_to(c.Cairo(), x - w, y + w);
    roundStroke(c, colour, s * 0.09);
}

void gear(HudCanvas& c, double x, double y, double s, Rgba colour)
{
    cairo_t* cr = c.Cairo();
    const int teeth = 8;
    const double outer = s * 0.30, inner = s * 0.235;
    for (int i = 0; i < teeth * 2; ++i)
    {
        const double a0 = (i - 0.5) * M_PI / teeth, a1 = (i + 0.5) * M_PI / teeth;
        const double r = i % 2 == 0 ? outer : inner;
        cairo_arc(cr, x, y, r, a0, a1);
    }
    cairo_close_path(cr);
    cairo_new_sub_path(cr);
    cairo_arc_negative(cr, x, y, s * 0.11, 2 * M_PI, 0);
    c.Fill(colour);
}

void eye(HudCanvas& c, double x, double y, double s, Rgba colour, bool slashed)
{
    cairo_t* cr = c.Cairo();
    const double w = s * 0.30, h = s * 0.17;
    cairo_move_to(cr, x - w, y);
    cairo_curve_to(cr, x - w * 0.5, y - h * 1.5, x + w * 0.5, y - h * 1.5, x + w, y);
    cairo_curve_to(cr, x + w * 0.5, y + h * 1.5, x - w * 0.5, y + h * 1.5, x - w, y);
    cairo_close_path(cr);
    roundStroke(c, colour, s * 0.06);
    cairo_arc(cr, x, y, s * 0.085, 0, 2 * M_PI);
    c.Fill(colour);
    if (slashed)
    {
        cairo_move_to(cr, x - w * 0.85, y + w * 0.85);
        cairo_line_to(cr, x + w * 0.85, y - w * 0.85);
        roundStroke(c, colour, s * 0.06);
    }
}

void contrast(HudCanvas& c, double x, double y, double s, Rgba colour)
{
    cairo_t* cr = c.Cairo();
    const double r = s * 0.25;
    cairo_arc(cr, x, y, r, 0, 2 * M_PI);
    roundStroke(c, colour, s * 0.055);
    cairo_arc(cr, x, y, r, M_PI / 2, 3 * M_PI / 2);
    cairo_close_path(cr);
    c.Fill(colour);
}

void camera(HudCanvas& c, double x, double y, double s, Rgba colour)
{
    cairo_t* cr = c.Cairo();
    c.RoundedRect(x - s * 0.28, y - s * 0.16, s * 0.44, s * 0.32, s * 0.06);
    roundStroke(c, colour, s * 0.055);
    cairo_move_to(cr, x + s * 0.16, y - s * 0.06);
    cairo_line_to(cr, x + s * 0.30, y - s * 0.14);
    cairo_line_to(cr, x + s * 0.30, y + s * 0.14);
    cairo_line_to(cr, x + s * 0.16, y + s * 0.06);
    cairo_close_path(cr);
    c.Fill(colour);
}

void cameraNext(HudCanvas& c, double x, double y, double s, Rgba colour)
{
    camera(c, x - s * 0.02, y - s * 0.06, s * 0.8, colour);
    cairo_t* cr = c.Cairo();
    cairo_arc(cr, x, y + s * 0.08, s * 0.27, M_PI * 0.2, M_PI * 0.8);
    roundStroke(c, colour, s * 0.045);
    const double ax = x + s * 0.27 * std::cos(M_PI * 0.2), ay = y + s * 0.08 + s * 0.27 * std::sin(M_PI * 0.2);
    cairo_move_to(cr, ax - s * 0.07, ay - s * 0.01);
    cairo_line_to(cr, ax + s * 0.01, ay - s * 0.01);
    cairo_line_to(cr, ax + s * 0.01, ay - s * 0.09);
    roundStroke(c, colour, s * 0.045);
}

void sliders(HudCanvas& c, double x, double y, double s, Rgba colour)
{
    cairo_t* cr = c.Cairo();
    const double knobs[3] = {-0.1, 0.12, -0.02};
    for (int i = 0; i < 3; ++i)
    {
        const double ly = y + (i - 1) * s * 0.17;
        cairo_move_to(cr, x - s * 0.27, ly);
        cairo_line_to(cr, x + s * 0.27, ly);
        roundStroke(c, colour, s * 0.045);
        cairo_arc(cr, x + knobs[i] * s * 1.6, ly, s * 0.06, 0, 2 * M_PI);
        c.Fill(colour);
    }
}

void radar(HudCanvas& c, double x, double y, double s, Rgba colour)
{
    cairo_t* cr = c.Cairo();
    for (double r : {0.09, 0.18, 0.27})
    {
        cairo_new_sub_path(cr);
        cairo_arc(cr, x, y, s * r, 0, 2 * M_PI);
        roundStroke(c, Rgba{colour.r, colour.g, colour.b, colour.a * (r < 0.2 ? 0.6 : 1.0)}, s * 0.04);
    }
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, x + s * 0.24, y - s * 0.15);
    roundStroke(c, colour, s * 0.055);
}

void pencil(HudCanvas& c, double x, double y, double s, Rgba colour)
{
    cairo_t* cr = c.Cairo();
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, -M_PI / 4);
    c.RoundedRect(-s * 0.22, -s * 0.07, s * 0.36, s * 0.14, s * 0.03);
    c.Fill(colour);
    cairo_move_to(cr, s * 0.17, -s * 0.07);
    cairo_line_to(cr, s * 0.30, 0);
    cairo_line_to(cr, s * 0.17, s * 0.07);
    cairo_close_path(cr);
    c.Fill(colour);
    cairo_restore(cr);
}

void info(HudCanvas& c, double x, double y, double s, Rgba colour)
{
    cairo_t* cr = c.Cairo();
    cairo_arc(cr, x, y - s * 0.17, s * 0.055, 0, 2 * M_PI);
    c.Fill(colour);
    c.RoundedRect(x - s * 0.045, y - s * 0.07, s * 0.09, s * 0.3, s * 0.04);
    c.Fill(colour);
}

void tiles(HudCanvas& c, double x, double y, double s, Rgba colour)
{
    const double t = s * 0.17, g = s * 0.05;
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
        {
            c.RoundedRect(x - t - g / 2 + i * (t + g), y - t - g / 2 + j * (t + g), t, t, s * 0.03);
            c.Fill(colour);
        }
}

void sparkle(HudCanvas& c, double x, double y, double s, Rgba colour)
{
    cairo_t* cr = c.Cairo();
    const double r = s * 0.26, k = s * 0.06;
    cairo_move_to(cr, x, y - r);
    cairo_curve_to(cr, x + k * 0.3, y - k, x + k, y - k * 0.3, x + r, y);
    cairo_curve_to(cr, x + k, y + k * 0.3, x + k * 0.3, y + k, x, y + r);
    cairo_curve_to(cr, x - k * 0.3, y + k, x - k, y + k * 0.3, x - r, y);
    cairo_curve_to(cr, x - k, y - k * 0.3, x - k * 0.3, y - k, x, y - r);
    c.Fill(colour);
}

void play(HudCanvas& c, double x, double y, double s, Rgba colour)
{
    cairo_t* cr = c.Cairo();
    cairo_move_to(cr, x - s * 0.08, y - s * 0.13);
    cairo_line_to(cr, x + s * 0.14, y);
    cairo_line_to(cr, x - s * 0.08, y + s * 0.13);
    cairo_close_path(cr);
    c.Fill(colour);
}


void arrow(HudCanvas& c, double x, double y, double s, Rgba colour, double angle)
{
    cairo_t* cr = c.Cairo();
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, angle);
    cairo_move_to(cr, -s * 0.2, 0);
    cairo_line_to(cr, s * 0.18, 0);
    cairo_move_to(cr, s * 0.04, -s * 0.14);
    cairo_line_to(cr, s * 0.2, 0);
    cairo_line_to(cr, s * 0.04, s * 0.14);
    roundStroke(c, colour, s * 0.08);
    cairo_restore(cr);
}

void house(HudCanvas& c, double x, double y, double s, Rgba colour)
{
    cairo_t* cr = c.Cairo();
    cairo_move_to(cr, x - s * 0.22, y - s * 0.01);
    cairo_line_to(cr, x, y - s * 0.22);
    cairo_line_to(cr, x + s * 0.22, y - s * 0.01);
    roundStroke(c, colour, s * 0.075);
    c.RoundedRect(x - s * 0.14, y - s * 0.04, s * 0.28, s * 0.22, s * 0.03);
    c.Fill(colour);
}

void expand(HudCanvas& c, double x, double y, double s, Rgba colour)
{
    for (int i = 0; i < 4; ++i)
        arrow(c, x + (i % 2 ? 1 : -1) * s * 0.09, y + (i / 2 ? 1 : -1) * s * 0.09, s * 0.55, colour,
              M_PI / 4 + (i == 0 ? M_PI : i == 1 ? -M_PI / 2 : i == 2 ? M_PI / 2 : 0.0));
}

// A short text centred at (x, y), `size` pixels high, in the HUD's sans face.
void caption(HudCanvas& c, double x, double y, double size, Rgba colour, const std::string& text)
{
    cairo_t* cr = c.Cairo();
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    // Long names shrink to fit the face's width.
    const double room = c.Width() * 0.78;
    if (e.width > room)
    {
        cairo_set_font_size(cr, size * room / e.width);
        cairo_text_extents(cr, text.c_str(), &e);
    }
    c.SetColour(colour);
    cairo_move_to(cr, x - e.width / 2 - e.x_bearing, y - e.height / 2 - e.y_bearing);
    cairo_show_text(cr, text.c_str());
}

void oneToOne(HudCanvas& c, double x, double y, double s, Rgba colour)
{
    caption(c, x, y, s * 0.3, colour, "1:1");
}

void orb(HudCanvas& c, double x, double y, double s, Rgba colour)
{
    cairo_t* cr = c.Cairo();
    cairo_arc(cr, x, y, s * 0.2, 0, 2 * M_PI);
    c.Fill(colour);
    cairo_arc(cr, x - s * 0.06, y - s * 0.07, s * 0.05, 0, 2 * M_PI);
    c.Fill(Rgba{1, 1, 1, 0.55});
}

void tree(HudCanvas& c, double x, double y, double s, Rgba colour)
{
    cairo_t* cr = c.Cairo();
    cairo_move_to(cr, x, y - s * 0.24);
    cairo_line_to(cr, x + s * 0.17, y + s * 0.08);
    cairo_line_to(cr, x - s * 0.17, y + s * 0.08);
    cairo_close_path(cr);
    c.Fill(colour);
    c.RoundedRect(x - s * 0.03, y + s * 0.08, s * 0.06, s * 0.12, s * 0.01);
    c.Fill(colour);
}

void rocket(HudCanvas& c, double x, double y, double s, Rgba colour)
{
    cairo_t* cr = c.Cairo();
    cairo_move_to(cr, x, y - s * 0.25);
    cairo_curve_to(cr, x + s * 0.12, y - s * 0.12, x + s * 0.09, y + s * 0.1, x + s * 0.07, y + s * 0.14);
    cairo_line_to(cr, x - s * 0.07, y + s * 0.14);
    cairo_curve_to(cr, x - s * 0.09, y + s * 0.1, x - s * 0.12, y - s * 0.12, x, y - s * 0.25);
    c.Fill(colour);
    cairo_move_to(cr, x - s * 0.07, y + s * 0.04);
    cairo_line_to(cr, x - s * 0.15, y + s * 0.2);
    cairo_line_to(cr, x - s * 0.05, y + s * 0.14);
    cairo_move_to(cr, x + s * 0.07, y + s * 0.04);
    cairo_line_to(cr, x + s * 0.15, y + s * 0.2);
    cairo_line_to(cr, x + s * 0.05, y + s * 0.14);
    c.Fill(colour);
}

void figure(HudCanvas& c, double x, double y, double s, Rgba colour)
{
    cairo_t* cr = c.Cairo();
    cairo_arc(cr, x, y - s * 0.16, s * 0.06, 0, 2 * M_PI);
    c.Fill(colour);
    cairo_move_to(cr, x, y - s * 0.08);
    cairo_line_to(cr, x, y + s * 0.07);
    cairo_move_to(cr, x - s * 0.13, y - s * 0.04);
    cairo_line_to(cr, x + s * 0.13, y - s * 0.04);
    cairo_move_to(cr, x - s * 0.1, y + s * 0.22);
    cairo_line_to(cr, x, y + s * 0.07);
    cairo_line_to(cr, x + s * 0.1, y + s * 0.22);
    roundStroke(c, colour, s * 0.06);
}

// ---- whole pictures ----
osg::Image* textBox()
{
    HudCanvas c(512, 128);
    const double m = 10;
    c.SoftShadow([&](cairo_t* cr) {
        cairo_rectangle(cr, m, m * 0.8, 512 - 2 * m, 128 - 2 * m);
    }, 8, 0, 3, Rgba{0, 0, 0, 0.45});
    c.RoundedRect(m, m * 0.8, 512 - 2 * m, 128 - 2 * m, 22);
    c.Fill(kField);
    c.RoundedRect(m + 1, m * 0.8 + 1, 512 - 2 * m - 2, 128 - 2 * m - 2, 21);
    c.Stroke(Rgba{1, 1, 1, 0.10}, 2);
    // The accent underline of an input field.
    c.RoundedRect(m + 22, 128 - m - 6, 512 - 2 * m - 44, 3.5, 1.75);
    c.Fill(Rgba{kAccent.r, kAccent.g, kAccent.b, 0.85});
    return c.ToImage();
}

osg::Image* bar()
{
    HudCanvas c(1024, 64);
    c.SoftShadow([&](cairo_t* cr) { cairo_rectangle(cr, 14, 16, 996, 30); }, 6, 0, 2, Rgba{0, 0, 0, 0.5});
    c.RoundedRect(10, 14, 1004, 34, 17);
    c.Fill(Rgba{0.05, 0.065, 0.085, 0.95});
    c.RoundedRect(11, 15, 1002, 32, 16);
    c.Stroke(Rgba{1, 1, 1, 0.09}, 2);
    c.RoundedRect(26, 29, 972, 5, 2.5);
    c.Fill(Rgba{kAccent.r, kAccent.g, kAccent.b, 0.75});
    return c.ToImage();
}

osg::Image* pill(Rgba fill)
{
    HudCanvas c(512, 256);
    c.SoftShadow([&](cairo_t* cr) { cairo_rectangle(cr, 40, 40, 432, 170); }, 22, 0, 8, kShadow);
    c.RoundedRect(24, 22, 464, 196, 98);
    c.Fill(fill);
    c.RoundedRect(26, 24, 460, 192, 96);
    c.Stroke(kEdge, 3);
    return c.ToImage();
}

osg::Image* ring(Rgba colour)
{
    HudCanvas c(256, 256);
    cairo_t* cr = c.Cairo();
    c.SoftShadow([&](cairo_t* s) { cairo_arc(s, 128, 128, 96, 0, 2 * M_PI); }, 26, 0, 0,
                 Rgba{colour.r, colour.g, colour.b, 0.55});
    cairo_arc(cr, 128, 128, 88, 0, 2 * M_PI);
    c.Stroke(colour, 16);
    cairo_arc(cr, 128, 128, 40, 0, 2 * M_PI);
    c.Fill(colour);
    return c.ToImage();
}

osg::Image* frame(int w, int h)
{
    HudCanvas c(w, h);
    // A video panel's frame is 1.06 times its picture's width: the opening
    // leaves a border of under 3 % each side.
    const double m = 4, r = 12, border = 8;
    auto outline = [&](cairo_t* cr) {
        cairo_rectangle(cr, m, m, w - 2 * m, h - 2 * m);
    };
    c.SoftShadow(outline, 4, 0, 1.5, kShadow);
    cairo_t* cr = c.Cairo();
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    c.RoundedRect(m, m * 0.8, w - 2 * m, h - 2 * m, r);
    c.RoundedRect(m + border, m * 0.8 + border, w - 2 * (m + border), h - 2 * (m + border), r * 0.4);
    c.FillVertical(m, h - m, kFaceTop, kFaceBottom);
    // The shadow inside the opening goes: the picture fills it.
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    c.RoundedRect(m + border + 1, m * 0.8 + border + 1, w - 2 * (m + border) - 2, h - 2 * (m + border) - 2, r * 0.4);
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    c.RoundedRect(m + 1, m * 0.8 + 1, w - 2 * m - 2, h - 2 * m - 2, r - 1);
    c.Stroke(kEdge, 2.5);
    return c.ToImage();
}

osg::Image* panel()
{
    HudCanvas c(512, 1024);
    const double m = 20;
    c.SoftShadow([&](cairo_t* cr) { cairo_rectangle(cr, m, m, 512 - 2 * m, 1024 - 2 * m); }, 18, 0, 6, kShadow);
    c.RoundedRect(m, m * 0.8, 512 - 2 * m, 1024 - 2 * m, 30);
    c.FillVertical(m, 1024 - m, Rgba{0.135, 0.165, 0.205, 0.94}, Rgba{0.095, 0.118, 0.150, 0.94});
    c.RoundedRect(m + 1, m * 0.8 + 1, 512 - 2 * m - 2, 1024 - 2 * m - 2, 29);
    c.Stroke(kEdge, 2.5);
    c.RoundedRect(m + 34, m * 0.8 + 30, 90, 8, 4);
    c.Fill(kAccent);
    return c.ToImage();
}

osg::Image* plane()
{
    return face(512, 384, 0.04, Rgba{0.09, 0.11, 0.14, 1.0}, Rgba{0.06, 0.075, 0.095, 1.0},
                [](HudCanvas& c, double x, double y, double s, Rgba colour) {
                    cairo_arc(c.Cairo(), x, y, s * 0.16, 0, 2 * M_PI);
                    c.Fill(Rgba{1, 1, 1, 0.12});
                    play(c, x + s * 0.015, y, s, colour);
                },
                kGlyphDim);
}

osg::Image* black()
{
    HudCanvas c(64, 64);
    cairo_rectangle(c.Cairo(), 0, 0, 64, 64);
    c.Fill(Rgba{0, 0, 0, 1});
    return c.ToImage();
}

Glyph glyph(void (*draw)(HudCanvas&, double, double, double, Rgba))
{
    return [draw](HudCanvas& c, double x, double y, double s, Rgba colour) { draw(c, x, y, s, colour); };
}

const std::map<std::string, std::function<osg::Image*()>>& catalogue()
{
    static const std::map<std::string, std::function<osg::Image*()>> pictures = {
        {"buttonRegion", [] { return face(256, 256, 0.2, kFaceTop, kFaceBottom); }},
        {"labelRegion", textBox},
        {"okReg", [] { return face(256, 256, 0.2, kGreen, kGreenDark, glyph(check)); }},
        {"cacelRegion", [] { return face(256, 256, 0.2, kRed, kRedDark, glyph(cross)); }},
        {"sliderEnd", [] { return disc(256, Rgba{0.96, 0.97, 0.98, 1}, Rgba{0.82, 0.85, 0.89, 1}, nullptr,
                                       Rgba{kAccent.r, kAccent.g, kAccent.b, 1}); }},
        {"sliderBar", bar},
        {"toggle", [] { return pill(Rgba{0.07, 0.09, 0.12, 0.94}); }},
        {"indicator", [] { return ring(kAccent); }},
        {"upButtonRegion", [] { return face(256, 256, 0.2, kFaceTop, kFaceBottom,
                                            [](HudCanvas& c, double x, double y, double s, Rgba k) { chevron(c, x, y, s, k, true); }); }},
        {"downButtonRegion", [] { return face(256, 256, 0.2, kFaceTop, kFaceBottom,
                                              [](HudCanvas& c, double x, double y, double s, Rgba k) { chevron(c, x, y, s, k, false); }); }},
        {"minus", [] { return disc(256, kFaceTop, kFaceBottom,
                                   [](HudCanvas& c, double x, double y, double s, Rgba k) { plusMinus(c, x, y, s, k, false); }); }},
        {"plus", [] { return disc(256, kAccent, kAccentDark,
                                  [](HudCanvas& c, double x, double y, double s, Rgba k) { plusMinus(c, x, y, s, k, true); }); }},
        {"basePlane", plane},
        {"videoPlane", plane},
        {"backgroundBlack", black},
        {"baseFrame", [] { return frame(512, 400); }},
        {"videoFrame", [] { return frame(512, 400); }},
        {"panelRight", panel},
        {"effectNode", [] { return disc(256, kFaceTop, kFaceBottom, glyph(sparkle)); }},
        {"editIcon", [] { return face(256, 256, 0.2, kFaceTop, kFaceBottom, glyph(pencil)); }},
        {"infoIcon", [] { return face(256, 256, 0.2, kFaceTop, kFaceBottom, glyph(info)); }},
        {"toggleBackDrop", [] { return pill(Rgba{0.10, 0.125, 0.16, 0.92}); }},
        {"menuButton", [] { return face(256, 256, 0.2, kFaceTop, kFaceBottom, glyph(tiles)); }},
        {"effectIndi", [] { return ring(Rgba{0.98, 0.78, 0.25, 1}); }},
        // The edit panel's video plane before an object's clip plays.
        {"infoPicture", [] {
             HudCanvas c(320, 240);
             cairo_rectangle(c.Cairo(), 0, 0, 320, 240);
             c.FillVertical(0, 240, Rgba{kFaceTop.r, kFaceTop.g, kFaceTop.b, 1}, Rgba{kFaceBottom.r, kFaceBottom.g, kFaceBottom.b, 1});
             info(c, 160, 100, 150, kGlyphDim);
             caption(c, 160, 190, 24, kGlyphDim, "No clip for this object");
             return c.ToImage();
         }},
        // The object menu's toolbar.
        {"menuUp", [] { return face(256, 256, 0.2, kFaceTop, kFaceBottom,
                                    [](HudCanvas& c, double x, double y, double s, Rgba k) { arrow(c, x, y, s, k, -M_PI / 2); }); }},
        {"menuClose", [] { return face(256, 256, 0.2, kRed, kRedDark, glyph(cross)); }},
        {"menuHome", [] { return face(256, 256, 0.2, kAccent, kAccentDark, glyph(house)); }},
        {"menuNext", [] { return face(256, 256, 0.2, kFaceTop, kFaceBottom,
                                      [](HudCanvas& c, double x, double y, double s, Rgba k) { arrow(c, x, y, s, k, 0.0); }); }},
        {"menuPrev", [] { return face(256, 256, 0.2, kFaceTop, kFaceBottom,
                                      [](HudCanvas& c, double x, double y, double s, Rgba k) { arrow(c, x, y, s, k, M_PI); }); }},
        {"menuScaleUp", [] { return face(256, 256, 0.2, kFaceTop, kFaceBottom,
                                         [](HudCanvas& c, double x, double y, double s, Rgba k) { plusMinus(c, x, y, s, k, true); }); }},
        {"menuScaleDown", [] { return face(256, 256, 0.2, kFaceTop, kFaceBottom,
                                           [](HudCanvas& c, double x, double y, double s, Rgba k) { plusMinus(c, x, y, s, k, false); }); }},
        {"menuSuperSize", [] { return face(256, 256, 0.2, kFaceTop, kFaceBottom, glyph(expand)); }},
        {"menuDefaultScale", [] { return face(256, 256, 0.2, kFaceTop, kFaceBottom, glyph(oneToOne)); }},
        {"menuLabel", [] { return face(256, 256, 0.5, kAccent, kAccentDark,
                                       [](HudCanvas& c, double x, double y, double s, Rgba k) { caption(c, x, y, s * 0.2, k, "VM"); }); }},
        // Icons: whole button faces; a switched-on state shows the accent.
        {"vSource", [] { return face(256, 256, 0.2, kFaceTop, kFaceBottom, glyph(cameraNext)); }},
        {"vSettings", [] { return face(256, 256, 0.2, kFaceTop, kFaceBottom, glyph(sliders)); }},
        {"threshTab", [] { return face(256, 256, 0.2, kFaceTop, kFaceBottom, glyph(contrast)); }},
        {"threshOff", [] { return face(256, 256, 0.2, kFaceTop, kFaceBottom, glyph(contrast), kGlyphDim); }},
        {"threshOn", [] { return face(256, 256, 0.2, kAccent, kAccentDark, glyph(contrast)); }},
        {"scan", [] { return face(256, 256, 0.2, kFaceTop, kFaceBottom, glyph(radar)); }},
        {"hiderOff", [] { return face(256, 256, 0.2, kFaceTop, kFaceBottom,
                                      [](HudCanvas& c, double x, double y, double s, Rgba k) { eye(c, x, y, s, k, true); },
                                      kGlyphDim); }},
        {"hiderOn", [] { return face(256, 256, 0.2, kAccent, kAccentDark,
                                     [](HudCanvas& c, double x, double y, double s, Rgba k) { eye(c, x, y, s, k, false); }); }},
        {"settings", [] { return face(256, 256, 0.2, kFaceTop, kFaceBottom, glyph(gear)); }},
    };
    return pictures;
}
}

osg::Image* MenuIcon(const std::string& text, const std::string& symbol, bool group)
{
    static const std::map<std::string, void (*)(HudCanvas&, double, double, double, Rgba)> symbols = {
        {"house", house}, {"tree", tree}, {"rocket", rocket}, {"figure", figure}, {"orb", orb},
        {"tiles", tiles}, {"sparkle", sparkle}, {"play", play}};
    const auto found = symbols.find(symbol);
    const auto draw = found == symbols.end() ? sparkle : found->second;
    return face(256, 256, 0.2, group ? kAccent : kFaceTop, group ? kAccentDark : kFaceBottom,
                [draw, text](HudCanvas& c, double x, double y, double s, Rgba k) {
                    draw(c, x, y - s * 0.1, s * 0.95, k);
                    caption(c, x, y + s * 0.3, s * 0.13, k, text);
                });
}

osg::Image* ByName(const std::string& name)
{
    const auto found = catalogue().find(name);
    return found == catalogue().end() ? nullptr : found->second();
}

std::vector<std::string> Names()
{
    std::vector<std::string> names;
    for (const auto& entry : catalogue()) names.push_back(entry.first);
    return names;
}
}
