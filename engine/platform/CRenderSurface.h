#pragma once
// The engine's window: a named, placed OpenGL window with a border, cursor and
// full-screen state, either of its own or bound to a host's native window.
// Built on OpenSceneGraph's graphics windows (X11/GLX). All calls come from
// the thread that owns the engine; input is polled, never pushed.
//
// Closing the window (the window manager's close button, or the window being
// destroyed by another program) makes isRealized() false; X errors about a
// vanished window are absorbed rather than ending the process.

#include <osg/GraphicsContext>
#include <osg/Referenced>
#include <osg/ref_ptr>

#include <string>

class CKeyboardMouseCallback;

class CRenderSurface : public osg::Referenced
{
public:
    /// An X11 window id; 0 means the surface opens a window of its own.
    using WindowHandle = unsigned long;

    struct VisualRequest
    {
        bool rgba = true;
        bool doubleBuffer = true;
        int depthBits = 24;  // bits
    };

    CRenderSurface();

    void setWindowName(const std::string& name);
    const std::string& getWindowName() const { return m_name; }

    /// Position of the top-left corner and size, in screen pixels.
    void setWindowRectangle(int x, int y, unsigned int width, unsigned int height);
    void getWindowRectangle(int& x, int& y, unsigned int& width, unsigned int& height) const;

    void useBorder(bool flag);
    bool usesBorder() const { return m_border; }
    void useCursor(bool flag);
    bool usesCursor() const { return m_cursor; }
    /// Full screen covers the primary screen without a border.
    void fullScreen(bool flag);
    bool isFullScreen() const { return m_fullScreen; }

    /// Render into the host's window instead of opening one (before realize).
    void setWindow(WindowHandle handle) { m_hostWindow = handle; }
    WindowHandle getWindow() const { return m_hostWindow; }
    void setVisualRequest(const VisualRequest& request) { m_visual = request; }
    /// Contexts are never shared between surfaces; kept for hosts that ask.
    void setShareContexts(bool) {}
    /// Draw into an off-screen buffer of the window's size instead of a
    /// window (before realize). It still needs an X server; it has no input
    /// and is never closed by anyone but its owner.
    void setOffScreen(bool flag) { m_offScreen = flag; }
    bool isOffScreen() const { return m_offScreen; }
    /// The buffer that holds a frame drawn and not yet swapped (GL_BACK, or
    /// GL_FRONT for a single-buffered surface).
    unsigned int drawBuffer() const;

    /// Opens the window and its GL context; false when no window could be made
    /// (no display, no suitable visual, bad host window).
    bool realize();
    bool isRealized() const;

    /// Current drawable size in pixels (follows resizes by the user).
    unsigned int getWindowWidth() const;
    unsigned int getWindowHeight() const;

    bool makeCurrent();
    void releaseContext();
    void swapBuffers();

    /// Closes the window; the surface can be realised again afterwards.
    void stop();

    /// Reads all pending window events without blocking and hands keyboard and
    /// mouse input to `callback`. A close request closes the surface.
    void pollInput(CKeyboardMouseCallback& callback);

    osg::GraphicsContext* getGraphicsContext() { return m_context.get(); }

protected:
    ~CRenderSurface() override;

private:
    void applyWindowState();
    void effectiveRectangle(int& x, int& y, int& w, int& h) const;
    bool windowVanished() const;
    void announceProcess();

    std::string m_name = "Vexamark";
    int m_x = 0, m_y = 0;
    unsigned int m_width = 640, m_height = 480;
    bool m_offScreen = false;
    bool m_border = true, m_cursor = true, m_fullScreen = false;
    WindowHandle m_hostWindow = 0;
    VisualRequest m_visual;
    osg::ref_ptr<osg::GraphicsContext> m_context;
};
