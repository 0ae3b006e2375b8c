#include "CX11Dialog.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <sstream>

namespace
{
const int kPadding = 16;    // pixels around the text
const int kButtonW = 80;    // pixels
const int kButtonH = 26;    // pixels
const int kLineGap = 4;     // pixels between text lines

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    if (lines.empty()) lines.push_back("");
    return lines;
}

struct Layout
{
    int width = 0, height = 0, lineH = 0, fieldY = 0, buttonsY = 0;
};

Layout computeLayout(XFontStruct* font, const std::vector<std::string>& lines, bool hasField,
                     size_t buttonCount)
{
    Layout l;
    l.lineH = font->ascent + font->descent + kLineGap;
    int textW = 0;
    for (const std::string& s : lines)
        textW = std::max(textW, XTextWidth(font, s.c_str(), static_cast<int>(s.size())));
    const int buttonsW = static_cast<int>(buttonCount) * (kButtonW + kPadding);
    l.width = std::max({textW + 2 * kPadding, buttonsW + kPadding, hasField ? 420 : 240});
    l.fieldY = kPadding + static_cast<int>(lines.size()) * l.lineH + kPadding / 2;
    l.buttonsY = l.fieldY + (hasField ? l.lineH + kPadding : 0);
    l.height = l.buttonsY + kButtonH + kPadding;
    return l;
}

int buttonX(const Layout& l, size_t index, size_t count)
{
    const int total = static_cast<int>(count) * kButtonW + static_cast<int>(count - 1) * kPadding;
    return (l.width - total) / 2 + static_cast<int>(index) * (kButtonW + kPadding);
}
}

CX11Dialog::Result CX11Dialog::Message(const std::string& caption, const std::string& text)
{
    Spec spec{caption, splitLines(text), {"OK"}, false};
    return Run(spec, nullptr);
}

CX11Dialog::Result CX11Dialog::Question(const std::string& caption, const std::string& text)
{
    Spec spec{caption, splitLines(text), {"Yes", "No"}, false};
    return Run(spec, nullptr);
}

CX11Dialog::Result CX11Dialog::AskText(const std::string& caption, const std::string& text,
                                       std::string& value)
{
    Spec spec{caption, splitLines(text), {"OK", "Cancel"}, true};
    return Run(spec, &value);
}

CX11Dialog::Result CX11Dialog::Run(const Spec& spec, std::string* field)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) return NoDisplay;
    XFontStruct* font = XLoadQueryFont(display, "fixed");
    if (!font)
    {
        XCloseDisplay(display);
        return NoDisplay;
    }
    const Layout l = computeLayout(font, spec.lines, spec.hasField, spec.buttons.size());
    const int screen = DefaultScreen(display);
    const int x = (DisplayWidth(display, screen) - l.width) / 2;
    const int y = (DisplayHeight(display, screen) - l.height) / 2;
    Window win = XCreateSimpleWindow(display, RootWindow(display, screen), x, y, l.width, l.height, 1,
                                     BlackPixel(display, screen), 0xE0E0E0);
    XStoreName(display, win, spec.caption.c_str());
    Atom deleteAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, win, &deleteAtom, 1);
    XSelectInput(display, win, ExposureMask | KeyPressMask | ButtonPressMask | StructureNotifyMask);
    XMapRaised(display, win);
    GC gc = XCreateGC(display, win, 0, nullptr);
    XSetFont(display, gc, font->fid);

    std::string text = field ? *field : std::string();
    Result result = Cancelled;
    bool done = false;
    auto redraw = [&]() {
        XClearWindow(display, win);
        XSetForeground(display, gc, BlackPixel(display, screen));
        int ty = kPadding + font->ascent;
        for (const std::string& s : spec.lines)
        {
            XDrawString(display, win, gc, kPadding, ty, s.c_str(), static_cast<int>(s.size()));
            ty += l.lineH;
        }
        if (spec.hasField)
        {
            XSetForeground(display, gc, WhitePixel(display, screen));
            XFillRectangle(display, win, gc, kPadding, l.fieldY, l.width - 2 * kPadding, l.lineH);
            XSetForeground(display, gc, BlackPixel(display, screen));
            XDrawRectangle(display, win, gc, kPadding, l.fieldY, l.width - 2 * kPadding, l.lineH);
            const std::string shown = text + "_";
            XDrawString(display, win, gc, kPadding + 4, l.fieldY + font->ascent + kLineGap / 2,
                        shown.c_str(), static_cast<int>(shown.size()));
        }
        for (size_t i = 0; i < spec.buttons.size(); ++i)
        {
            const int bx = buttonX(l, i, spec.buttons.size());
            XDrawRectangle(display, win, gc, bx, l.buttonsY, kButtonW, kButtonH);
            const std::string& b = spec.buttons[i];
            const int tw = XTextWidth(font, b.c_str(), static_cast<int>(b.size()));
            XDrawString(display, win, gc, bx + (kButtonW - tw) / 2, l.buttonsY + kButtonH / 2 + font->ascent / 2,
                        b.c_str(), static_cast<int>(b.size()));
        }
        XFlush(display);
    };

    while (!done)
    {
        XEvent ev;
        XNextEvent(display, &ev);
        switch (ev.type)
        {
        case Expose: redraw(); break;
        case ClientMessage:
            if (static_cast<Atom>(ev.xclient.data.l[0]) == deleteAtom) done = true;
            break;
        case DestroyNotify: done = true; break;
        case ButtonPress:
            for (size_t i = 0; i < spec.buttons.size(); ++i)
            {
                const int bx = buttonX(l, i, spec.buttons.size());
                if (ev.xbutton.x >= bx && ev.xbutton.x < bx + kButtonW && ev.xbutton.y >= l.buttonsY &&
                    ev.xbutton.y < l.buttonsY + kButtonH)
                {
                    result = i == 0 ? Accepted : Cancelled;
                    done = true;
                }
            }
            break;
        case KeyPress:
        {
            char buf[16] = {0};
            KeySym sym = 0;
            const int n = XLookupString(&ev.xkey, buf, sizeof(buf) - 1, &sym, nullptr);
            if (sym == XK_Return || sym == XK_KP_Enter) { result = Accepted; done = true; }
            else if (sym == XK_Escape) { result = Cancelled; done = true; }
            else if (spec.hasField && sym == XK_BackSpace) { if (!text.empty()) text.pop_back(); redraw(); }
            else if (spec.hasField && n > 0 && static_cast<unsigned char>(buf[0]) >= 0x20)
            {
                text.append(buf, static_cast<size_t>(n));
                redraw();
            }
            break;
        }
        default: break;
        }
    }
    if (field && result == Accepted) *field = text;
    XFreeGC(display, gc);
    XFreeFont(display, font);
    XDestroyWindow(display, win);
    XCloseDisplay(display);
    return result;
}
