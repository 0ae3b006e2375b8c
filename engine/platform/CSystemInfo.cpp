#include "CSystemInfo.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <vector>

bool CSystemInfo::GetPrimaryScreenSize(int& width, int& height)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    const int screen = DefaultScreen(display);
    width = DisplayWidth(display, screen);
    height = DisplayHeight(display, screen);
    XCloseDisplay(display);
    return true;
}

std::string CSystemInfo::GetCurrentFolder()
{
    std::vector<char> buf(4096);
    while (!::getcwd(buf.data(), buf.size()))
    {
        if (buf.size() > (1u << 20)) return std::string(".");
        buf.resize(buf.size() * 2);
    }
    return std::string(buf.data());
}
