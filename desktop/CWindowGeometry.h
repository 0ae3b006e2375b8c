#pragma once
// Where the main window goes: the outer rectangle of a frame window whose
// client area (the view, below the menu bar) has a wanted size, either
// centred on the screen or placed so that the client area's corner is the
// screen's corner (the full-screen rectangle, with caption, menu and frame
// outside the screen). Pure arithmetic on the frame's decoration sizes.

#include <QRect>
#include <QSize>

class CWindowGeometry
{
public:
    /// The sizes the window system adds around a client area, in pixels.
    struct Decoration
    {
        int frameWidth = 0;     // each side
        int frameHeight = 0;    // top and bottom
        int captionHeight = 0;
        int menuHeight = 0;
    };

    /// The outer rectangle for a client area of `client` on a screen of `screen`.
    static QRect OuterRect(const QSize& client, const Decoration& decoration, const QSize& screen, bool centred);
    /// The client area inside an outer rectangle.
    static QRect ClientRect(const QRect& outer, const Decoration& decoration);
};
