#include "XWindowDriver.h"

#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cctype>
#include <cstdio>
#include <sstream>
#include <thread>

bool WaitUntil(double seconds, const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done())
    {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

bool XWindowDriver::Picture::Save(const std::string& path) const
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    std::fprintf(file, "P6\n%d %d\n255\n", width, height);
    // An empty picture (none was taken) is a header alone.
    const bool ok = rgb.empty() || std::fwrite(rgb.data(), 1, rgb.size(), file) == rgb.size();
    return std::fclose(file) == 0 && ok;
}

namespace
{
// Windows of the program may go away between finding and asking about them
// (a dialog closing): such a request fails and is answered as "no window",
// instead of Xlib's default of ending the test program.
int ignoreGoneWindows(Display*, XErrorEvent*)
{
    return 0;
}
}

XWindowDriver::XWindowDriver(const std::string& displayName)
    : m_display(XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str()))
{
    if (!m_display) return;
    XSetErrorHandler(ignoreGoneWindows);
    int event, error, major, minor;
    m_xtest = XTestQueryExtension(m_display, &event, &error, &major, &minor) == True;
}

XWindowDriver::~XWindowDriver()
{
    if (m_display) XCloseDisplay(m_display);
}

long XWindowDriver::WindowPid(Window window)
{
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(m_display, window, XInternAtom(m_display, "_NET_WM_PID", False), 0, 1, False, XA_CARDINAL,
                           &type, &format, &count, &after, &data) == Success && data)
    {
        if (count == 1 && format == 32) pid = *reinterpret_cast<long*>(data);
        XFree(data);
    }
    return pid;
}

Window XWindowDriver::FindWindow(Window root, const std::string& title, long pid)
{
    Window parent, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(m_display, root, &root, &parent, &children, &count)) return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i)
    {
        char* name = nullptr;
        if (XFetchName(m_display, children[i], &name) && name)
        {
            if (title == name && WindowPid(children[i]) == pid) found = children[i];
            XFree(name);
        }
        if (!found) found = FindWindow(children[i], title, pid);
    }
    if (children) XFree(children);
    return found;
}

Window XWindowDriver::WaitForWindow(const std::string& title, long pid, double seconds)
{
    Window found = 0;
    WaitUntil(seconds, [&]() {
        found = FindWindow(DefaultRootWindow(m_display), title, pid);
        if (!found) return false;
        XWindowAttributes attributes;
        return XGetWindowAttributes(m_display, found, &attributes) && attributes.map_state == IsViewable;
    });
    return found;
}

void XWindowDriver::PointInto(Window window, double settle)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(m_display, window, &attributes)) return;
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(m_display, window, DefaultRootWindow(m_display), attributes.width / 2,
                          attributes.height / 2, &x, &y, &child);
    XTestFakeMotionEvent(m_display, DefaultScreen(m_display), x, y, CurrentTime);
    XSetInputFocus(m_display, window, RevertToPointerRoot, CurrentTime);
    XSync(m_display, False);
    std::this_thread::sleep_for(std::chrono::duration<double>(settle));
}

void XWindowDriver::Key(const std::string& keysym)
{
    const KeySym symbol = XStringToKeysym(keysym.c_str());
    const KeyCode code = XKeysymToKeycode(m_display, symbol);
    if (!code) return;
    XTestFakeKeyEvent(m_display, code, True, CurrentTime);
    XTestFakeKeyEvent(m_display, code, False, CurrentTime);
    XSync(m_display, False);
}

XWindowDriver::Picture XWindowDriver::Grab(Window window)
{
    Picture picture;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(m_display, window, &attributes)) return picture;
    XImage* image = XGetImage(m_display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image) return picture;
    picture.width = attributes.width;
    picture.height = attributes.height;
    picture.rgb.resize(static_cast<size_t>(picture.width) * picture.height * 3);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
        {
            const unsigned long pixel = XGetPixel(image, x, y);
            uint8_t* out = &picture.rgb[(static_cast<size_t>(y) * picture.width + x) * 3];
            out[0] = static_cast<uint8_t>((pixel & image->red_mask) >> __builtin_ctzl(image->red_mask));
            out[1] = static_cast<uint8_t>((pixel & image->green_mask) >> __builtin_ctzl(image->green_mask));
            out[2] = static_cast<uint8_t>((pixel & image->blue_mask) >> __builtin_ctzl(image->blue_mask));
        }
    XDestroyImage(image);
    return picture;
}

bool XWindowDriver::WaitForPicture(Window window, double seconds, const std::function<bool(const Picture&)>& accept,
                                   Picture& picture)
{
    return WaitUntil(seconds, [&]() {
        picture = Grab(window);
        return picture.width > 0 && accept(picture);
    });
}

void XWindowDriver::RequestClose(Window window)
{
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = window;
    ev.xclient.message_type = XInternAtom(m_display, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(XInternAtom(m_display, "WM_DELETE_WINDOW", False));
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(m_display, window, False, NoEventMask, &ev);
    XFlush(m_display);
}

void XWindowDriver::MoveTo(Window window, int x, int y)
{
    int rootX = 0, rootY = 0;
    Window child;
    XTranslateCoordinates(m_display, window, DefaultRootWindow(m_display), x, y, &rootX, &rootY, &child);
    XTestFakeMotionEvent(m_display, DefaultScreen(m_display), rootX, rootY, CurrentTime);
    XSync(m_display, False);
}

void XWindowDriver::Button(int button, bool down)
{
    XTestFakeButtonEvent(m_display, static_cast<unsigned int>(button), down ? True : False, CurrentTime);
    XSync(m_display, False);
}

void XWindowDriver::Click(Window window, int x, int y, int button)
{
    MoveTo(window, x, y);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    Button(button, true);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    Button(button, false);
}

void XWindowDriver::Drag(Window window, int x0, int y0, int x1, int y1, int steps, double pause)
{
    MoveTo(window, x0, y0);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    Button(1, true);
    for (int i = 1; i <= steps; ++i)
    {
        std::this_thread::sleep_for(std::chrono::duration<double>(pause));
        MoveTo(window, x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(pause));
    Button(1, false);
}

void XWindowDriver::Chord(const std::string& keys)
{
    std::vector<KeyCode> codes;
    std::stringstream parts(keys);
    std::string name;
    while (std::getline(parts, name, '+'))
    {
        // Modifier names as people write them: "Alt" is the left Alt key.
        std::string lower;
        for (char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lower == "alt") name = "Alt_L";
        else if (lower == "ctrl" || lower == "control") name = "Control_L";
        else if (lower == "shift") name = "Shift_L";
        const KeyCode code = XKeysymToKeycode(m_display, XStringToKeysym(name.c_str()));
        if (!code) return;
        codes.push_back(code);
    }
    for (KeyCode code : codes) XTestFakeKeyEvent(m_display, code, True, CurrentTime);
    for (auto it = codes.rbegin(); it != codes.rend(); ++it) XTestFakeKeyEvent(m_display, *it, False, CurrentTime);
    XSync(m_display, False);
}

bool XWindowDriver::Geometry(Window window, int& x, int& y, int& width, int& height)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(m_display, window, &attributes)) return false;
    Window child;
    XTranslateCoordinates(m_display, window, DefaultRootWindow(m_display), 0, 0, &x, &y, &child);
    width = attributes.width;
    height = attributes.height;
    return true;
}
