#include "CRenderSurface.h"

#include "CKeyboardMouseCallback.h"
#include "CMessageLog.h"
#include "CSystemInfo.h"

#include <osgGA/EventQueue>
#include <osgGA/GUIEventAdapter>
#include <osgViewer/api/X11/GraphicsWindowX11>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace
{
// Xlib's default error handler ends the process. A window destroyed by
// another program makes the next requests on it fail; those failures are
// expected, so they are counted and otherwise ignored.
int g_xErrorCount = 0;

// The software renderer first tries shared-memory image transfers and falls
// back to plain ones when the server refuses them (as it does for off-screen
// buffers): those refusals are its business, not the user's. The extension's
// request code is looked up when the handler is installed, since a handler
// must not talk to the server.
int g_sharedMemoryOpcode = -1;

int absorbXError(Display*, XErrorEvent* event)
{
    if (event->request_code == g_sharedMemoryOpcode) return 0;
    ++g_xErrorCount;
    if (g_xErrorCount <= 3)
        std::fprintf(stderr, "Vexamark: X error %d (request %d) ignored\n", event->error_code,
                     event->request_code);
    return 0;
}

// The X server going away (it ended, or the connection broke) is a reason to
// end, not to crash: Xlib's default ends the process at once with code 1. The
// window's connection is marked lost instead, said once on standard error, and
// the next input poll finds the window gone, so the engine ends in order (its
// recording finished, its files closed) with the code of a closed window.
bool g_displayLost = false;

int reportLostDisplay(Display*)
{
    if (!g_displayLost)
    {
        const char* const said = "the connection to the X server was lost; the program ends";
        std::fprintf(stderr, "Vexamark: %s\n", said);
        CMessageLog::Instance()->WriteToLog(std::string("RenderSurface: ") + said);
    }
    g_displayLost = true;
    return 0;
}

void keepRunningWithoutDisplay(Display*, void*)
{
    g_displayLost = true;
}

void installXErrorHandler()
{
    static bool installed = false;
    if (installed) return;
    if (Display* display = XOpenDisplay(nullptr))
    {
        int opcode = 0, firstEvent = 0, firstError = 0;
        if (XQueryExtension(display, "MIT-SHM", &opcode, &firstEvent, &firstError)) g_sharedMemoryOpcode = opcode;
        XCloseDisplay(display);
    }
    XSetErrorHandler(absorbXError);
    XSetIOErrorHandler(reportLostDisplay);
    installed = true;
}

unsigned int mouseButtonNumber(int osgButtonMask)
{
    switch (osgButtonMask)
    {
    case osgGA::GUIEventAdapter::LEFT_MOUSE_BUTTON: return 1;
    case osgGA::GUIEventAdapter::MIDDLE_MOUSE_BUTTON: return 2;
    case osgGA::GUIEventAdapter::RIGHT_MOUSE_BUTTON: return 3;
    default: return 0;
    }
}

// Character keys reach keyPress, all other keys (0xFFxx symbols) specialKeyPress.
bool isSpecialKey(int key)
{
    return key >= 0xFF00;
}

osgViewer::GraphicsWindowX11* asX11(osg::GraphicsContext* gc)
{
    return dynamic_cast<osgViewer::GraphicsWindowX11*>(gc);
}
}

CRenderSurface::CRenderSurface() = default;

CRenderSurface::~CRenderSurface()
{
    stop();
}

void CRenderSurface::setWindowName(const std::string& name)
{
    m_name = name;
    if (auto* gw = dynamic_cast<osgViewer::GraphicsWindow*>(m_context.get())) gw->setWindowName(name);
}

void CRenderSurface::setWindowRectangle(int x, int y, unsigned int width, unsigned int height)
{
    m_x = x;
    m_y = y;
    m_width = width;
    m_height = height;
    applyWindowState();
}

void CRenderSurface::getWindowRectangle(int& x, int& y, unsigned int& width, unsigned int& height) const
{
    x = m_x;
    y = m_y;
    width = m_width;
    height = m_height;
}

void CRenderSurface::useBorder(bool flag)
{
    m_border = flag;
    applyWindowState();
}

void CRenderSurface::useCursor(bool flag)
{
    m_cursor = flag;
    if (auto* gw = dynamic_cast<osgViewer::GraphicsWindow*>(m_context.get())) gw->useCursor(flag);
}

void CRenderSurface::fullScreen(bool flag)
{
    m_fullScreen = flag;
    applyWindowState();
}

void CRenderSurface::effectiveRectangle(int& x, int& y, int& w, int& h) const
{
    x = m_x;
    y = m_y;
    w = static_cast<int>(m_width);
    h = static_cast<int>(m_height);
    if (!m_fullScreen) return;
    // Full screen covers the primary screen from its top-left corner.
    x = 0;
    y = 0;
    CSystemInfo::GetPrimaryScreenSize(w, h);
}

void CRenderSurface::applyWindowState()
{
    auto* gw = dynamic_cast<osgViewer::GraphicsWindow*>(m_context.get());
    if (!gw || !gw->isRealized() || m_hostWindow) return;
    int x, y, w, h;
    effectiveRectangle(x, y, w, h);
    gw->setWindowDecoration(m_border && !m_fullScreen);
    gw->setWindowRectangle(x, y, w, h);
}

bool CRenderSurface::realize()
{
    if (isRealized()) return true;
    osg::ref_ptr<osg::GraphicsContext::Traits> traits = new osg::GraphicsContext::Traits;
    traits->readDISPLAY();
    traits->setUndefinedScreenDetailsToDefaultScreen();
    int x, y, w, h;
    effectiveRectangle(x, y, w, h);
    traits->x = x;
    traits->y = y;
    traits->width = w;
    traits->height = h;
    traits->windowName = m_name;
    traits->windowDecoration = m_border && !m_fullScreen && !m_offScreen;
    traits->pbuffer = m_offScreen;
    traits->useCursor = m_cursor;
    traits->doubleBuffer = m_visual.doubleBuffer;
    traits->alpha = m_visual.rgba ? 8 : 0;
    traits->depth = static_cast<unsigned int>(m_visual.depthBits);
    traits->sharedContext = nullptr;
    if (m_hostWindow) traits->inheritedWindowData = new osgViewer::GraphicsWindowX11::WindowData(m_hostWindow);

    // Without a display OSG's window factory prints its own complaint; keep
    // that away from unattended runs and simply report failure.
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return false;

    osg::ref_ptr<osg::GraphicsContext> gc = osg::GraphicsContext::createGraphicsContext(traits.get());
    if (!gc.valid()) return false;
    installXErrorHandler();
    if (!gc->realize() || !gc->isRealized()) return false;
    m_context = gc;
    // The window talks to the server through two connections, one for drawing
    // and one for its events.
    if (osgViewer::GraphicsWindowX11* x11 = asX11(gc.get()))
        for (Display* display : {x11->getDisplay(), x11->getEventDisplay()})
            if (display) XSetIOErrorExitHandler(display, keepRunningWithoutDisplay, nullptr);
    if (!m_hostWindow && !m_offScreen) announceProcess();
    return true;
}

unsigned int CRenderSurface::drawBuffer() const
{
    const osg::GraphicsContext::Traits* t = m_context.valid() ? m_context->getTraits() : nullptr;
    return t && !t->doubleBuffer ? GL_FRONT : GL_BACK;
}

void CRenderSurface::announceProcess()
{
    // Window managers and session tools find the owning process through
    // _NET_WM_PID (to offer "force quit" on a hung window, for instance).
    osgViewer::GraphicsWindowX11* x11 = asX11(m_context.get());
    if (!x11 || !x11->getDisplayToUse()) return;
    Display* display = x11->getDisplayToUse();
    const long pid = static_cast<long>(::getpid());
    XChangeProperty(display, x11->getWindow(), XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    XFlush(display);
}

bool CRenderSurface::isRealized() const
{
    return m_context.valid() && m_context->isRealized() && m_context->valid();
}

unsigned int CRenderSurface::getWindowWidth() const
{
    const osg::GraphicsContext::Traits* t = m_context.valid() ? m_context->getTraits() : nullptr;
    return t ? static_cast<unsigned int>(t->width) : m_width;
}

unsigned int CRenderSurface::getWindowHeight() const
{
    const osg::GraphicsContext::Traits* t = m_context.valid() ? m_context->getTraits() : nullptr;
    return t ? static_cast<unsigned int>(t->height) : m_height;
}

bool CRenderSurface::makeCurrent()
{
    return isRealized() && m_context->makeCurrent();
}

void CRenderSurface::releaseContext()
{
    if (isRealized()) m_context->releaseContext();
}

void CRenderSurface::swapBuffers()
{
    if (isRealized()) m_context->swapBuffers();
}

void CRenderSurface::stop()
{
    if (!m_context.valid()) return;
    // Closing a context whose window vanished still talks to the X server;
    // the absorbing error handler keeps that harmless.
    m_context->close(true);
    m_context = nullptr;
}

bool CRenderSurface::windowVanished() const
{
    osgViewer::GraphicsWindowX11* x11 = asX11(m_context.get());
    if (!x11 || m_hostWindow) return false;
    Display* display = x11->getDisplayToUse();
    if (!display || g_displayLost) return true;
    XWindowAttributes attributes;
    const int before = g_xErrorCount;
    const Status ok = XGetWindowAttributes(display, x11->getWindow(), &attributes);
    return !ok || g_xErrorCount != before;
}

void CRenderSurface::pollInput(CKeyboardMouseCallback& callback)
{
    auto* gw = dynamic_cast<osgViewer::GraphicsWindow*>(m_context.get());
    if (!gw || !isRealized()) return;
    if (windowVanished())
    {
        stop();
        return;
    }
    gw->checkEvents();
    osgGA::EventQueue::Events events;
    gw->getEventQueue()->takeEvents(events);
    bool closeRequested = false;
    for (const osg::ref_ptr<osgGA::Event>& base : events)
    {
        const osgGA::GUIEventAdapter* ev = base->asGUIEventAdapter();
        if (!ev) continue;
        const float x = ev->getXnormalized();
        const float y = ev->getYnormalized();
        switch (ev->getEventType())
        {
        case osgGA::GUIEventAdapter::PUSH: callback.buttonPress(x, y, mouseButtonNumber(ev->getButton())); break;
        case osgGA::GUIEventAdapter::RELEASE: callback.buttonRelease(x, y, mouseButtonNumber(ev->getButton())); break;
        case osgGA::GUIEventAdapter::MOVE:
        case osgGA::GUIEventAdapter::DRAG: callback.mouseMotion(x, y); break;
        case osgGA::GUIEventAdapter::KEYDOWN:
            if (isSpecialKey(ev->getKey())) callback.specialKeyPress(ev->getKey());
            else callback.keyPress(ev->getKey());
            break;
        case osgGA::GUIEventAdapter::KEYUP:
            if (isSpecialKey(ev->getKey())) callback.specialKeyRelease(ev->getKey());
            else callback.keyRelease(ev->getKey());
            break;
        case osgGA::GUIEventAdapter::CLOSE_WINDOW:
        case osgGA::GUIEventAdapter::QUIT_APPLICATION: closeRequested = true; break;
        default: break;
        }
    }
    if (closeRequested || !gw->isRealized()) stop();
}
