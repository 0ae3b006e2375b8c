#pragma once
// The view: a native child window whose X11 window id is the engine's host
// window. It owns the engine host and runs the frame loop on the user
// interface thread: one engine Update and Render per pass, the toolkit's
// events served in a 10 ms pause between passes, so menus, dialogs and keys
// work while the engine runs. Keys that are no menu accelerator, and the
// mouse, are handed to the engine's input.
//
// Life: created → engine initialised (OnInitialUpdate) → surface realised
// (first show) → loop running (the start-rendering event) → loop ends when
// the engine asks (its window gone, or the requested frames drawn; the main
// window is then closed) or when the window closes → engine cleaned up
// (ShutDown, run at the latest by the destructor).

#include <QTimer>
#include <QWidget>

#include <csignal>
#include <memory>

class CEngineHost;
class CMainFrame;
class CVexaBox;
class MyKeyboardMouseCallback;
class QPaintEngine;

class CVexamarkMFCView : public QWidget
{
public:
    explicit CVexamarkMFCView(CMainFrame* frame);
    ~CVexamarkMFCView() override;

    /// Creates the engine with the program's command line and queues the
    /// start of the frame loop.
    void OnInitialUpdate(int argc, char** argv);
    /// Logs the end, stops the loop and shuts the engine down; once.
    void ShutDown();
    /// A flag that, once set (by a signal handler), ends the loop as closing does.
    void SetStopFlag(const volatile std::sig_atomic_t* flag) { m_stopFlag = flag; }

    /// The engine, null before OnInitialUpdate and after ShutDown.
    CVexaBox* Engine() const;
    bool IsRealised() const { return m_realised; }
    bool IsRunning() const { return m_running; }
    bool QuitRequested() const { return m_quitRequested; }

    /// The engine draws into the window itself: the toolkit paints nothing.
    QPaintEngine* paintEngine() const override { return nullptr; }

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void StartRendering();
    void RunPass();
    void EndLoop();
    void TrackMouse();
    void PassSizeToEngine();
    /// The engine's keyboard and mouse input, null without an engine.
    MyKeyboardMouseCallback* Input() const;
    /// A key that is no accelerator, to the engine (as its X11 key symbol).
    void ForwardKey(QKeyEvent* event, bool down);
    void ForwardButton(QMouseEvent* event, bool down);
    /// The engine's pointer position: -1..1 across the view, y upwards.
    void Normalised(const QPointF& position, float& x, float& y) const;

    CMainFrame* m_frame;
    std::unique_ptr<CEngineHost> m_host;
    bool m_realised = false;       // the render surface is realised in the view
    bool m_mouseTracked = false;   // pointer tracking has been requested
    bool m_running = false;        // the frame loop runs
    bool m_quitRequested = false;  // the engine asked to end
    bool m_startPosted = false;
    bool m_inPass = false;         // a pass is under way (a dialog it opened serves events)
    QTimer m_pause;
    const volatile std::sig_atomic_t* m_stopFlag = nullptr;
};
