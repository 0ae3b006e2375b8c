#include "CVexamarkMFCView.h"

#include "CEngineHost.h"
#include "CMainFrame.h"

#include "CMessageLog.h"
#include "CRenderSurface.h"
#include "CVexaBox.h"
#include "MyKeyboardMouseCallback.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace
{
// The event that starts the frame loop once the engine is initialised.
const QEvent::Type kStartRendering = static_cast<QEvent::Type>(QEvent::registerEventType());
const int kPauseMs = 10;  // between two passes of the frame loop

// X11 key symbols of the keys: character keys are their character, others 0xFFxx.
bool isSpecialKey(unsigned int keysym)
{
    return keysym >= 0xFF00;
}

// The engine's button numbers: 1 left, 2 middle, 3 right.
unsigned int buttonNumber(Qt::MouseButton button)
{
    switch (button)
    {
    case Qt::LeftButton: return 1;
    case Qt::MiddleButton: return 2;
    case Qt::RightButton: return 3;
    default: return 0;
    }
}
}

CVexamarkMFCView::CVexamarkMFCView(CMainFrame* frame) : QWidget(frame), m_frame(frame)
{
    // A window of its own, never painted by the toolkit, that the engine's
    // GL context draws into.
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    m_pause.setSingleShot(true);
    connect(&m_pause, &QTimer::timeout, this, [this]() { RunPass(); });
    m_host = std::make_unique<CEngineHost>("VexamarkMFC", static_cast<CRenderSurface::WindowHandle>(winId()));
}

CVexamarkMFCView::~CVexamarkMFCView()
{
    ShutDown();
}

CVexaBox* CVexamarkMFCView::Engine() const
{
    return m_host ? m_host->Engine() : nullptr;
}

void CVexamarkMFCView::OnInitialUpdate(int argc, char** argv)
{
    if (!m_host || m_host->Engine()) return;
    m_host->Start(argc, argv);
    if (m_startPosted) return;
    m_startPosted = true;
    QCoreApplication::postEvent(this, new QEvent(kStartRendering));
    window()->raise();
    window()->activateWindow();
}

bool CVexamarkMFCView::event(QEvent* event)
{
    if (event->type() != kStartRendering) return QWidget::event(event);
    StartRendering();
    return true;
}

void CVexamarkMFCView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    CVexaBox* engine = Engine();
    if (!engine || m_realised) return;
    engine->RealiseWnd();
    m_realised = true;
    TrackMouse();
    PassSizeToEngine();
    window()->raise();
    window()->activateWindow();
    setFocus();
}

void CVexamarkMFCView::paintEvent(QPaintEvent*)
{
    // Nothing is painted or erased: the engine's next frame covers the view.
}

void CVexamarkMFCView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PassSizeToEngine();
}

void CVexamarkMFCView::PassSizeToEngine()
{
    // The engine's window is ours: it learns of size changes from us, as the
    // window system tells only the window's owner.
    CVexaBox* engine = Engine();
    CRenderSurface* surface = engine ? engine->GetRenderSurface() : nullptr;
    if (!surface || !surface->isRealized() || !surface->getGraphicsContext()) return;
    const qreal ratio = devicePixelRatioF();
    surface->getGraphicsContext()->resized(0, 0, static_cast<int>(width() * ratio), static_cast<int>(height() * ratio));
}

void CVexamarkMFCView::TrackMouse()
{
    if (m_mouseTracked) return;
    setMouseTracking(true);
    m_mouseTracked = true;
}

void CVexamarkMFCView::StartRendering()
{
    if (m_running || !Engine()) return;
    m_running = true;
    m_quitRequested = false;
    RunPass();
}

void CVexamarkMFCView::RunPass()
{
    // A message box opened inside a pass serves events: no second pass then.
    if (m_inPass || !m_running) return;
    m_inPass = true;
    CVexaBox* engine = Engine();
    if (m_stopFlag && *m_stopFlag)
    {
        m_running = false;
        m_quitRequested = true;
    }
    else if (engine)
    {
        if (!engine->Update(1.0f))
        {
            m_running = false;
            m_quitRequested = true;
        }
        engine->Render();
    }
    else
    {
        m_running = false;
    }
    m_inPass = false;
    if (m_running) m_pause.start(kPauseMs);
    else EndLoop();
}

void CVexamarkMFCView::EndLoop()
{
    if (!m_quitRequested) return;
    QWidget* main = window();
    QMetaObject::invokeMethod(main, [main]() { main->close(); }, Qt::QueuedConnection);
}

void CVexamarkMFCView::ShutDown()
{
    if (!m_host) return;
    CMessageLog::Instance()->WriteToLog("Destory Vexamark Viewer");
    m_running = false;
    m_pause.stop();
    m_host->CleanUp();
    m_host.reset();
}

MyKeyboardMouseCallback* CVexamarkMFCView::Input() const
{
    CVexaBox* engine = Engine();
    return engine ? engine->GetKeyboardMouseCallback() : nullptr;
}

void CVexamarkMFCView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
    {
        if (m_frame->IsFullScreen()) m_frame->ToggleFullScreen();
        return;
    }
    if (event->key() == Qt::Key_Space)
    {
        m_frame->ToggleFullScreen();
        return;
    }
    ForwardKey(event, true);
}

void CVexamarkMFCView::keyReleaseEvent(QKeyEvent* event)
{
    if (event->isAutoRepeat()) return QWidget::keyReleaseEvent(event);
    ForwardKey(event, false);
}

void CVexamarkMFCView::ForwardKey(QKeyEvent* event, bool down)
{
    MyKeyboardMouseCallback* input = Input();
    const unsigned int keysym = event->nativeVirtualKey();
    if (!input || !keysym)
    {
        event->ignore();
        return;
    }
    const int key = static_cast<int>(keysym);
    if (isSpecialKey(keysym)) down ? input->specialKeyPress(key) : input->specialKeyRelease(key);
    else down ? input->keyPress(key) : input->keyRelease(key);
}

void CVexamarkMFCView::Normalised(const QPointF& position, float& x, float& y) const
{
    const qreal w = std::max(1, width()), h = std::max(1, height());
    x = static_cast<float>(position.x() / w * 2.0 - 1.0);
    y = static_cast<float>(1.0 - position.y() / h * 2.0);
}

void CVexamarkMFCView::mouseMoveEvent(QMouseEvent* event)
{
    TrackMouse();
    float x = 0.f, y = 0.f;
    Normalised(event->position(), x, y);
    if (MyKeyboardMouseCallback* input = Input()) input->mouseMotion(x, y);
    QWidget::mouseMoveEvent(event);
}

void CVexamarkMFCView::mousePressEvent(QMouseEvent* event)
{
    setFocus();
    ForwardButton(event, true);
}

void CVexamarkMFCView::mouseReleaseEvent(QMouseEvent* event)
{
    ForwardButton(event, false);
}

void CVexamarkMFCView::ForwardButton(QMouseEvent* event, bool down)
{
    MyKeyboardMouseCallback* input = Input();
    const unsigned int button = buttonNumber(event->button());
    if (!input || !button) return;
    float x = 0.f, y = 0.f;
    Normalised(event->position(), x, y);
    if (down) input->buttonPress(x, y, button);
    else input->buttonRelease(x, y, button);
}
