#pragma once
// A picture being drawn for a HUD model or icon: a cairo surface (RGBA,
// rows top-down) with the few drawing steps the HUD's flat look needs:
// rounded shapes, soft shadows under them, simple strokes. Pictures are
// handed out as osg::Image in the scene graph's orientation (rows bottom-up),
// so texture coordinate (0, 0) is the picture's lower left corner.

#include <osg/Image>

#include <cairo.h>

#include <functional>

struct Rgba
{
    double r, g, b, a;
};

class HudCanvas
{
public:
    HudCanvas(int width, int height);
    ~HudCanvas();
    HudCanvas(const HudCanvas&) = delete;
    HudCanvas& operator=(const HudCanvas&) = delete;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    cairo_t* Cairo() const { return m_cairo; }

    /// A path of a rectangle with rounded corners (radius clamped to fit).
    void RoundedRect(double x, double y, double w, double h, double radius);
    /// A soft shadow of the shape that `path` traces: its silhouette blurred
    /// by `blur` pixels, moved by (dx, dy) and drawn in `colour`.
    void SoftShadow(const std::function<void(cairo_t*)>& path, double blur, double dx, double dy, Rgba colour);
    /// Fills the current path with a vertical gradient from `top` to `bottom`.
    void FillVertical(double y0, double y1, Rgba top, Rgba bottom);
    void Fill(Rgba colour);
    void Stroke(Rgba colour, double width);
    void SetColour(Rgba colour);

    /// The picture as an RGBA image, rows bottom-up, straight (not
    /// premultiplied) alpha.
    osg::Image* ToImage() const;

private:
    int m_width, m_height;
    cairo_surface_t* m_surface;
    cairo_t* m_cairo;
};
