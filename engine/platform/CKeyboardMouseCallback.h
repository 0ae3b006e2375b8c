#pragma once
// Receiver of the render surface's keyboard and mouse input. The surface calls
// these synchronously from CRenderSurface::pollInput on the polling thread.
// Pointer positions are normalised to -1..1 across the window, x to the right
// and y upwards. Key codes are X11 key symbols: a character key's code is its
// character, other keys use the 0xFFxx codes (0xFF51 left arrow, 0xFF1B Escape).

class CKeyboardMouseCallback
{
public:
    virtual ~CKeyboardMouseCallback() = default;

    virtual void mouseMotion(float /*x*/, float /*y*/) {}
    virtual void buttonPress(float /*x*/, float /*y*/, unsigned int /*button*/) {}
    virtual void buttonRelease(float /*x*/, float /*y*/, unsigned int /*button*/) {}
    virtual void keyPress(int /*key*/) {}
    virtual void keyRelease(int /*key*/) {}
    virtual void specialKeyPress(int /*key*/) {}
    virtual void specialKeyRelease(int /*key*/) {}
    virtual void shutdown() {}
};
