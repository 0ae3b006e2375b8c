#include "HudCanvas.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
// One pass of a box blur of radius r over an 8-bit channel, along rows
// (step 1) or columns (step = stride).
void boxBlur(std::vector<float>& values, int width, int height, int radius, bool alongRows)
{
    std::vector<float> out(values.size());
    const int lines = alongRows ? height : width, length = alongRows ? width : height;
    for (int line = 0; line < lines; ++line)
    {
        auto at = [&](int i) -> float& {
            return alongRows ? values[static_cast<size_t>(line) * width + i] : values[static_cast<size_t>(i) * width + line];
        };
        auto put = [&](int i) -> float& {
            return alongRows ? out[static_cast<size_t>(line) * width + i] : out[static_cast<size_t>(i) * width + line];
        };
        float sum = 0.f;
        for (int i = -radius; i <= radius; ++i) sum += at(std::clamp(i, 0, length - 1));
        for (int i = 0; i < length; ++i)
        {
            put(i) = sum / (2 * radius + 1);
            sum += at(std::min(i + radius + 1, length - 1)) - at(std::max(i - radius, 0));
        }
    }
    values.swap(out);
}
}

HudCanvas::HudCanvas(int width, int height)
    : m_width(width),
      m_height(height),
      m_surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      m_cairo(cairo_create(m_surface))
{
    cairo_set_antialias(m_cairo, CAIRO_ANTIALIAS_BEST);
}

HudCanvas::~HudCanvas()
{
    cairo_destroy(m_cairo);
    cairo_surface_destroy(m_surface);
}

void HudCanvas::RoundedRect(double x, double y, double w, double h, double radius)
{
    const double r = std::max(0.0, std::min(radius, std::min(w, h) * 0.5));
    cairo_new_sub_path(m_cairo);
    cairo_arc(m_cairo, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(m_cairo, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(m_cairo, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(m_cairo, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(m_cairo);
}

void HudCanvas::SoftShadow(const std::function<void(cairo_t*)>& path, double blur, double dx, double dy,
                           Rgba colour)
{
    // The silhouette on a surface of its own, blurred three times (close to
    // a Gaussian), then laid under what comes next.
    cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, m_width, m_height);
    cairo_t* cr = cairo_create(mask);
    cairo_translate(cr, dx, dy);
    path(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_flush(mask);
    const int stride = cairo_image_surface_get_stride(mask);
    unsigned char* data = cairo_image_surface_get_data(mask);
    std::vector<float> values(static_cast<size_t>(m_width) * m_height);
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x) values[static_cast<size_t>(y) * m_width + x] = data[y * stride + x];
    const int radius = std::max(1, static_cast<int>(std::lround(blur / 3.0)));
    for (int pass = 0; pass < 3; ++pass)
    {
        boxBlur(values, m_width, m_height, radius, true);
        boxBlur(values, m_width, m_height, radius, false);
    }
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
            data[y * stride + x] =
                static_cast<unsigned char>(std::clamp(values[static_cast<size_t>(y) * m_width + x], 0.f, 255.f));
    cairo_surface_mark_dirty(mask);
    cairo_set_source_rgba(m_cairo, colour.r, colour.g, colour.b, colour.a);
    cairo_mask_surface(m_cairo, mask, 0, 0);
    cairo_surface_destroy(mask);
}

void HudCanvas::FillVertical(double y0, double y1, Rgba top, Rgba bottom)
{
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, y0, 0, y1);
    cairo_pattern_add_color_stop_rgba(gradient, 0, top.r, top.g, top.b, top.a);
    cairo_pattern_add_color_stop_rgba(gradient, 1, bottom.r, bottom.g, bottom.b, bottom.a);
    cairo_set_source(m_cairo, gradient);
    cairo_fill(m_cairo);
    cairo_pattern_destroy(gradient);
}

void HudCanvas::Fill(Rgba colour)
{
    SetColour(colour);
    cairo_fill(m_cairo);
}

void HudCanvas::Stroke(Rgba colour, double width)
{
    SetColour(colour);
    cairo_set_line_width(m_cairo, width);
    cairo_stroke(m_cairo);
}

void HudCanvas::SetColour(Rgba colour)
{
    cairo_set_source_rgba(m_cairo, colour.r, colour.g, colour.b, colour.a);
}

osg::Image* HudCanvas::ToImage() const
{
    cairo_surface_flush(m_surface);
    const int stride = cairo_image_surface_get_stride(m_surface);
    const unsigned char* data = cairo_image_surface_get_data(m_surface);
    osg::ref_ptr<osg::Image> image = new osg::Image;
    image->allocateImage(m_width, m_height, 1, GL_RGBA, GL_UNSIGNED_BYTE);
    for (int y = 0; y < m_height; ++y)
    {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        unsigned char* out = image->data(0, m_height - 1 - y);
        for (int x = 0; x < m_width; ++x)
        {
            // Cairo keeps premultiplied ARGB in native words.
            const uint32_t p = row[x];
            const unsigned a = p >> 24;
            auto straight = [a](unsigned c) { return a ? static_cast<unsigned char>(std::min(255u, c * 255u / a)) : 0; };
            out[x * 4 + 0] = straight((p >> 16) & 0xff);
            out[x * 4 + 1] = straight((p >> 8) & 0xff);
            out[x * 4 + 2] = straight(p & 0xff);
            out[x * 4 + 3] = static_cast<unsigned char>(a);
        }
    }
    return image.release();
}
